// Dialog templates as data: the dialog and its controls in dialog units, as the resources
// describe them. Backends build windows from these; nothing else places controls.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

enum class ControlKind {
    PushButton,
    CheckBox,
    Edit,
    GroupBox,
    Static,
    ComboBox,
    ProgressBar,
    Picture,
    Link,
};

// Style flags of a control.
enum ControlStyle : std::uint32_t {
    CS_NONE = 0,
    CS_TABSTOP = 1u << 0,
    CS_DISABLED = 1u << 1,
    CS_HIDDEN = 1u << 2,   // not visible
    CS_DEFAULT = 1u << 3,  // the default push button (Enter)
    CS_READONLY = 1u << 4,
    CS_BORDER = 1u << 5,
    CS_AUTOHSCROLL = 1u << 6,
    CS_MULTILINE = 1u << 7,
    CS_VSCROLL = 1u << 8,
    CS_LEFTTEXT = 1u << 9,   // check box: text left of the box
    CS_SORT = 1u << 10,      // combo box: the control sorts its list
    CS_DROPDOWN = 1u << 11,  // combo box: drop-down list with an editable field
    CS_CENTER = 1u << 12,    // static text centred
    CS_SUNKEN = 1u << 13,
};

// Style flags of a dialog window.
enum DialogStyle : std::uint32_t {
    DS_NONE = 0,
    DS_CAPTION = 1u << 0,
    DS_SYSMENU = 1u << 1,
    DS_MINIMIZEBOX = 1u << 2,
    DS_MODALFRAME = 1u << 3,
    DS_APPWINDOW = 1u << 4,  // a taskbar button of its own
};

constexpr int IDC_STATIC = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::u16string_view text;
    std::uint32_t style;
    int x;
    int y;
    int width;
    int height;
    int resourceId = 0;  // bitmap of a picture control
};

struct DialogTemplate {
    int id;
    std::u16string_view caption;
    std::u16string_view fontName;
    int fontPoints;
    int width;
    int height;
    std::uint32_t style;
    std::span<const ControlTemplate> controls;
};
