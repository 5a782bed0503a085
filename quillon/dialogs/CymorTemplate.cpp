// Dialog template 140 of the generic updater, in dialog units.
#include <array>

#include "quillon/dialogs/Cymor.h"

namespace {
constexpr std::array YMOR_CONTROLS = {
    ControlTemplate{IDOK, ControlKind::PushButton, u"OK", CS_DEFAULT | CS_HIDDEN | CS_TABSTOP, 50,
                    47, 50, 14},
    ControlTemplate{IDCANCEL, ControlKind::PushButton, u"Cancel", CS_HIDDEN | CS_TABSTOP, 112, 47,
                    50, 14},
    ControlTemplate{IDC_STATIC, ControlKind::GroupBox, u"Version Numbers", CS_NONE, 7, 7, 155, 40},
    ControlTemplate{IDC_STATIC, ControlKind::Static, u"Bootloader:", CS_NONE, 18, 18, 38, 8},
    ControlTemplate{IDC_BOOTLOADER_BOX, ControlKind::Edit, u"",
                    CS_READONLY | CS_BORDER | CS_AUTOHSCROLL, 16, 27, 40, 14},
    ControlTemplate{IDC_STATIC, ControlKind::Static, u"Firmware:", CS_NONE, 68, 17, 33, 8},
    ControlTemplate{IDC_FIRMWARE_BOX, ControlKind::Edit, u"",
                    CS_READONLY | CS_BORDER | CS_AUTOHSCROLL, 66, 27, 40, 14},
    ControlTemplate{IDC_NOTE_TEXT, ControlKind::Static, u"Static", CS_NONE, 123, 29, 19, 8},
    ControlTemplate{IDC_UPDATE_FIRMWARE, ControlKind::PushButton, u"Update Firmware", CS_TABSTOP,
                    49, 53, 70, 14},
    ControlTemplate{IDC_LOG_BOX, ControlKind::Edit, u"",
                    CS_MULTILINE | CS_READONLY | CS_VSCROLL | CS_BORDER, 7, 75, 156, 85},
    ControlTemplate{IDC_PROGRESS_BAR, ControlKind::ProgressBar, u"", CS_BORDER, 7, 169, 156, 14},
};
}  // namespace

const DialogTemplate ymorDialogTemplate{IDD_YMOR_DIALOG,
                                        u"yMOR Updater ",
                                        u"MS Shell Dlg",
                                        8,
                                        169,
                                        191,
                                        DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
                                        YMOR_CONTROLS};
