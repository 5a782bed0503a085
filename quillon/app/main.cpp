// Quillon's entry point: chooses the platform services once (Qt windows, the USB bridge library
// named by the environment, the real clock and shell) and runs the application object.
#include <QApplication>

#include "platform/shell/Shell.h"
#include "platform/ui/qt/QtBackend.h"
#include "platform/usblink/UsbBridgeFactory.h"
#include "quillon/app/QuillonApp.h"

namespace {
CQuillonApp theApp;
}  // namespace

int main(int argc, char* argv[]) {
    QApplication qtApplication(argc, argv);
    CQtUiBackend ui(&MapWindowsPath);
    InstallUiBackend(&ui);
    const std::unique_ptr<IUsbBridgeLibrary> library = CreateUsbBridgeLibrary();
    InstallUsbBridge(library.get());
    theApp.InitInstance();
    InstallUsbBridge(nullptr);
    InstallUiBackend(nullptr);
    return 0;
}
