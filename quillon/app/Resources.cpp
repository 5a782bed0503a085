// The templates of the main window and the About box, in dialog units.
#include "quillon/app/Resources.h"

#include <array>

namespace {

constexpr std::array QUILLON_CONTROLS = {
    ControlTemplate{IDC_BRAMLET_GROUP, ControlKind::GroupBox, u"Bramlet", CS_NONE, 7, 7, 123, 65},
    ControlTemplate{IDC_CONNECT, ControlKind::PushButton, u"Connect", CS_TABSTOP, 17, 21, 50, 14},
    ControlTemplate{IDC_RESET, ControlKind::PushButton, u"Reset", CS_TABSTOP, 75, 20, 50, 14},
    ControlTemplate{IDC_CONNECTED_CHECK, ControlKind::CheckBox, u"Connected",
                    CS_DISABLED | CS_LEFTTEXT, 19, 39, 51, 10},
    ControlTemplate{IDC_SERIAL_BOX, ControlKind::Edit, u"",
                    CS_READONLY | CS_BORDER | CS_AUTOHSCROLL, 18, 53, 106, 14},
    ControlTemplate{IDC_INTERFACE_GROUP, ControlKind::GroupBox, u"Interface select", CS_NONE, 139,
                    7, 126, 45},
    ControlTemplate{IDC_MODEL_COMBO, ControlKind::ComboBox, u"",
                    CS_DROPDOWN | CS_SORT | CS_VSCROLL | CS_TABSTOP, 145, 21, 63, 59},
    ControlTemplate{IDC_GO, ControlKind::PushButton, u"Go", CS_TABSTOP, 220, 20, 37, 14},
    ControlTemplate{1, ControlKind::PushButton, u"OK", CS_DEFAULT | CS_HIDDEN | CS_TABSTOP, 153, 58,
                    50, 14},
    ControlTemplate{2, ControlKind::PushButton, u"Cancel", CS_TABSTOP, 207, 58, 50, 14},
};

constexpr std::array ABOUT_CONTROLS = {
    ControlTemplate{IDC_STATIC, ControlKind::Picture, u"", CS_SUNKEN | CS_BORDER, 6, 7, 88, 52,
                    IDB_ABOUT_BITMAP},
    ControlTemplate{IDC_STATIC, ControlKind::Static, u"Quillon, Version 1.1.7", CS_CENTER, 101, 14,
                    106, 8},
    ControlTemplate{1, ControlKind::PushButton, u"OK", CS_DEFAULT | CS_HIDDEN | CS_TABSTOP, 157, 45,
                    50, 14},
    ControlTemplate{IDC_UPDATES_LINK, ControlKind::Link, u"Check for Updates", CS_TABSTOP, 121, 38,
                    65, 8},
};

}  // namespace

const DialogTemplate QUILLON_DIALOG_TEMPLATE{
    IDD_QUILLON_DIALOG,
    u"Quillon",
    u"MS Shell Dlg",
    8,
    272,
    79,
    DS_CAPTION | DS_SYSMENU | DS_MINIMIZEBOX | DS_MODALFRAME | DS_APPWINDOW,
    QUILLON_CONTROLS};

const DialogTemplate ABOUT_DIALOG_TEMPLATE{IDD_ABOUTBOX,
                                           u"About Quillon",
                                           u"MS Shell Dlg",
                                           8,
                                           214,
                                           66,
                                           DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
                                           ABOUT_CONTROLS};

std::u16string_view LoadResourceString(int id) {
    return id == IDS_ABOUTBOX ? ABOUT_MENU_TEXT : std::u16string_view{};
}
