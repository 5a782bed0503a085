// The About box and its "Check for Updates" link.
#include "quillon/app/AboutDlg.h"

#include <array>

#include "platform/shell/Shell.h"
#include "quillon/app/Resources.h"

namespace {
const std::array ABOUT_MESSAGE_MAP = {
    OnNotify(IDC_UPDATES_LINK, Notify::LinkClick, &CAboutDlg::OnNMClickSyslink),
};
}  // namespace

CAboutDlg::CAboutDlg() : CDialog(ABOUT_DIALOG_TEMPLATE) {}

void CAboutDlg::DoDataExchange(bool saveAndValidate) {
    CDialog::DoDataExchange(saveAndValidate);
}

std::span<const MessageMapEntry> CAboutDlg::GetMessageMap() const {
    return ABOUT_MESSAGE_MAP;
}

// Opens the firmware page; the About box stays open.
void CAboutDlg::OnNMClickSyslink() {
    TheShell().OpenAddress(std::u16string(FIRMWARE_PAGE_ADDRESS));
}
