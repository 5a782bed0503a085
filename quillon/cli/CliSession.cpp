// The script of a quillon-cli run: Connect, type the model, Go; read the versions; for an
// update, Update Firmware with the file as the chooser's answer until the session is over;
// then Escape out of both windows.
#include "quillon/cli/CliSession.h"

#include <ostream>

#include "platform/text/WideText.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/usblink/UsbBridgeLibrary.h"
#include "quillon/app/QuillonApp.h"
#include "quillon/app/QuillonDlg.h"
#include "quillon/app/Resources.h"
#include "quillon/cli/CliOutcome.h"
#include "quillon/cli/ConsoleObserver.h"
#include "quillon/cli/DeviceSelection.h"
#include "quillon/dialogs/Cymor.h"

namespace {
bool IsUpdater(const CDialog& dialog) {
    return dialog.Template().id == IDD_YMOR_DIALOG;
}

void PrintVersions(CConsoleObserver& console, const CDialog& updater) {
    console.PrintLine("Bootloader: " + ToUtf8(updater.GetDlgItemText(IDC_BOOTLOADER_BOX)));
    console.PrintLine("Firmware: " + ToUtf8(updater.GetDlgItemText(IDC_FIRMWARE_BOX)));
}

// Swaps the process's USB library for the chosen-device view of it, and back.
class CInstalledSelection {
public:
    explicit CInstalledSelection(int device) : previous(UsbBridge()), selection(previous, device) {
        InstallUsbBridge(&selection);
    }
    ~CInstalledSelection() { InstallUsbBridge(&previous); }

private:
    IUsbBridgeLibrary& previous;
    CDeviceSelection selection;
};

class CInstalledBackend {
public:
    explicit CInstalledBackend(CHeadlessBackend& backend) { InstallUiBackend(&backend); }
    ~CInstalledBackend() { InstallUiBackend(nullptr); }
};
}  // namespace

int RunCli(const CliOptions& options, CHeadlessBackend& backend, std::ostream& out,
           std::ostream& err, bool terminal) {
    CInstalledSelection selection(options.device);
    CInstalledBackend installed(backend);
    CConsoleObserver console(out, err, terminal);
    backend.SetObserver(&console);
    CliFacts facts;
    facts.command = options.command;

    CScriptedUser& user = backend.User();
    user.Click(IDC_CONNECT)
        .Do([&](CDialog& main) {
            // A dongle that did not connect, or wants its configuration updated (the
            // question answered No), ends the run here.
            if (main.IsDlgButtonChecked(IDC_CONNECTED_CHECK) == 0 ||
                !backend.MessageBoxes().empty()) {
                main.EndDialog(IDCANCEL);
                return;
            }
            console.PrintLine("Serial number: " + ToUtf8(main.GetDlgItemText(IDC_SERIAL_BOX)));
        })
        .TypeText(IDC_MODEL_COMBO, options.model)
        .Click(IDC_GO)
        .Do([&](CDialog& top) {
            // Go returns at once when it warns or the updater refused the target.
            if (!IsUpdater(top)) {
                top.EndDialog(IDCANCEL);
                return;
            }
            facts.updaterOpened = true;
            PrintVersions(console, top);
        });
    if (options.command == CliCommand::Update) {
        user.AnswerChooser(FromUtf8(options.file))
            .Click(IDC_UPDATE_FIRMWARE)
            .WaitUntil([&] {
                const auto* updater = dynamic_cast<const Cymor*>(backend.TopDialog());
                return updater == nullptr || updater->busy == 0;
            })
            .Do([&](CDialog& top) {
                console.Finish();
                if (IsUpdater(top)) {
                    PrintVersions(console, top);
                }
            });
    }
    user.PressEscape().PressEscape();

    CQuillonApp app;
    app.InitInstance();
    console.Finish();
    backend.SetObserver(nullptr);

    for (const MessageBoxRecord& box : backend.MessageBoxes()) {
        facts.messageBoxes.push_back(box.text);
    }
    facts.log = console.Log();
    facts.limitHit = backend.LimitHit();
    if (facts.limitHit) {
        err << "quillon-cli: " << backend.LimitReason() << "\n";
    }
    return ExitCodeFor(facts);
}
