// The About box: program name and version, and a link to the maker's firmware page.
#pragma once

#include "platform/ui/Dialog.h"

// Where "Check for Updates" leads: the maker's firmware page.
constexpr std::u16string_view FIRMWARE_PAGE_ADDRESS = u"https://www.vellmar.com/firmware";

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    void OnNMClickSyslink();

protected:
    void DoDataExchange(bool saveAndValidate) override;
    std::span<const MessageMapEntry> GetMessageMap() const override;
};
