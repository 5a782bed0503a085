// The process-wide choice of backend, the application's name and its own message box.
#include "platform/ui/Dialog.h"
#include "platform/ui/UiBackend.h"
#include "platform/ui/headless/HeadlessBackend.h"

namespace {
std::u16string applicationName;
IUiBackend* installedBackend = nullptr;

IUiBackend& DefaultBackend() {
    static CHeadlessBackend backend;
    return backend;
}
}  // namespace

IUiBackend& TheUiBackend() {
    return installedBackend != nullptr ? *installedBackend : DefaultBackend();
}

void InstallUiBackend(IUiBackend* backend) {
    installedBackend = backend;
}

void SetApplicationName(std::u16string_view name) {
    applicationName = name;
}

std::u16string ApplicationName() {
    return applicationName;
}

int AppMessageBox(std::u16string_view text, unsigned type) {
    return TheUiBackend().MessageBox(nullptr, text, applicationName, type);
}
