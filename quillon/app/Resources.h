// Quillon's resources: dialog templates, icon and bitmap ids, strings and menu commands.
#pragma once

#include <string_view>

#include "platform/ui/DialogTemplate.h"

// Dialog templates.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_QUILLON_DIALOG = 102;

// Icon and bitmap.
constexpr int IDR_MAINFRAME = 138;
constexpr int IDB_ABOUT_BITMAP = 139;

// Strings.
constexpr int IDS_ABOUTBOX = 101;
constexpr std::u16string_view ABOUT_MENU_TEXT = u"&About Quillon...";

// Window menu command of the About item.
constexpr unsigned IDM_ABOUTBOX = 16;

// Main window controls.
constexpr int IDC_MODEL_COMBO = 1000;
constexpr int IDC_CONNECTED_CHECK = 1001;
constexpr int IDC_CONNECT = 1002;
constexpr int IDC_RESET = 1003;
constexpr int IDC_GO = 1004;
constexpr int IDC_SERIAL_BOX = 1005;
constexpr int IDC_INTERFACE_GROUP = 1006;
constexpr int IDC_BRAMLET_GROUP = 1007;

// About box controls.
constexpr int IDC_UPDATES_LINK = 1008;

extern const DialogTemplate QUILLON_DIALOG_TEMPLATE;
extern const DialogTemplate ABOUT_DIALOG_TEMPLATE;

// Loads a string resource; empty when there is none with that id.
std::u16string_view LoadResourceString(int id);
