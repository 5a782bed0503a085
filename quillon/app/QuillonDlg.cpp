// The main window's handlers.
#include "quillon/app/QuillonDlg.h"

#include <array>
#include <memory>
#include <new>

#include "platform/shell/Shell.h"
#include "quillon/app/AboutDlg.h"
#include "quillon/app/ModelTable.h"
#include "quillon/app/Resources.h"
#include "quillon/app/UpdaterLauncher.h"
#include "quillon/link/BridgePort.h"

namespace {
const std::array QUILLON_MESSAGE_MAP = {
    OnNotify(IDC_CONNECT, Notify::Clicked, &CQuillonDlg::OnBnClickedConnect),
    OnNotify(IDC_RESET, Notify::Clicked, &CQuillonDlg::OnBnClickedReset),
    OnNotify(IDC_GO, Notify::Clicked, &CQuillonDlg::OnBnClickedGo),
};

// Window menu commands carry flags in their low four bits.
constexpr unsigned SYSTEM_COMMAND_MASK = 0xFFF0;
}  // namespace

CQuillonDlg::CQuillonDlg() : CDialog(QUILLON_DIALOG_TEMPLATE), appIcon(IDR_MAINFRAME) {}

std::span<const MessageMapEntry> CQuillonDlg::GetMessageMap() const {
    return QUILLON_MESSAGE_MAP;
}

void CQuillonDlg::DoDataExchange(bool saveAndValidate) {
    CDialog::DoDataExchange(saveAndValidate);
    DDX_Control(this, IDC_CONNECTED_CHECK, connectedCheck);
    DDX_Control(this, IDC_SERIAL_BOX, serialBox);
    DDX_Control(this, IDC_MODEL_COMBO, modelCombo);
}

bool CQuillonDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const std::u16string_view aboutMenu = LoadResourceString(IDS_ABOUTBOX);
    if (!aboutMenu.empty()) {
        AppendSystemMenuItem(IDM_ABOUTBOX, aboutMenu);
    }
    SetIcon(appIcon);
    connectedCheck.SetCheck(0);
    serialBox.SetWindowText(u"");
    for (int position = 0; modelTable[position] != nullptr; ++position) {
        modelCombo.AddString(modelTable[position]);
    }
    StartWatchTimer();
    return true;
}

void CQuillonDlg::StartWatchTimer() {
    SetTimer(WATCH_TIMER_ID, WATCH_PERIOD_MS);
}

void CQuillonDlg::Warn(std::u16string_view text) {
    MessageBox(text, WARNING_CAPTION, MB_OK);
}

void CQuillonDlg::Disconnect() {
    bridgePort.Close();
    connectedCheck.SetCheck(0);
    serialBox.SetWindowText(u"");
}

void CQuillonDlg::OnBnClickedConnect() {
    if (connectedCheck.GetCheck() != 0) {
        if (bridgePort.GetDeviceCount() == 0) {
            Disconnect();
        } else {
            Warn(MSG_ALREADY_CONNECTED);
        }
        return;
    }
    if (bridgePort.Open(1) == PORT_FAILED) {
        Disconnect();
        Warn(MSG_DEVICE_NOT_FOUND);
        return;
    }
    std::array<char16_t, TEXT_BUFFER_SIZE> serial{};
    if (bridgePort.GetSerialNumber(serial.data()) != PORT_OK) {
        Disconnect();
        Warn(MSG_CONNECTION_FAILED);
        return;
    }
    connectedCheck.SetCheck(1);
    serialBox.SetWindowText(serial.data());
    if (bridgePort.NeedsUpdate(1) == 0) {
        return;
    }
    if (AppMessageBox(MSG_NEEDS_UPDATE, MB_YESNO | MB_SYSTEMMODAL) != IDYES) {
        return;
    }
    if (AppMessageBox(MSG_APPLICATION_WILL_CLOSE, MB_YESNO | MB_SYSTEMMODAL) != IDYES) {
        return;
    }
    StartBramletUpdate();
    DispatchClose();
}

// Resolves the program against the current directory, first into a small buffer and, when that
// is too short, into one of the size the resolution asks for; then starts it without waiting.
// Whether it started is not checked: the main window closes all the same.
void CQuillonDlg::StartBramletUpdate() {
    std::unique_ptr<char16_t[]> path(new (std::nothrow) char16_t[FIRST_PATH_BUFFER_SIZE]());
    if (path == nullptr) {
        return;
    }
    const unsigned needed =
        GetFullPathName(BRAMLET_UPDATE_PROGRAM, FIRST_PATH_BUFFER_SIZE, path.get());
    if (needed > FIRST_PATH_BUFFER_SIZE) {
        path.reset(new (std::nothrow) char16_t[needed]());
        if (path == nullptr || GetFullPathName(BRAMLET_UPDATE_PROGRAM, needed, path.get()) == 0) {
            return;
        }
    }
    TheShell().OpenProgram(path.get());
}

void CQuillonDlg::OnBnClickedReset() {
    Disconnect();
}

void CQuillonDlg::OnBnClickedGo() {
    std::u16string text = modelCombo.GetWindowText();
    if (text.size() >= TEXT_BUFFER_SIZE) {
        text.resize(TEXT_BUFFER_SIZE - 1);
    }
    if (text.empty()) {
        return;
    }
    const int position = FindModel(text);
    if (position < 0) {
        return;
    }
    if (connectedCheck.GetCheck() == 0) {
        Warn(MSG_MUST_BE_CONNECTED);
        return;
    }
    if (bridgePort.GetDeviceCount() == 0) {
        Warn(MSG_COMMUNICATION_ERROR);
        return;
    }
    if (text == KQVTR_MODEL_NAME) {
        RunKqvtrUpdater();
        return;
    }
    if (position >= FIRST_GENERIC_POSITION && position <= LAST_GENERIC_POSITION) {
        RunGenericUpdater(modelTable[position]);
    }
}

void CQuillonDlg::OnTimer(unsigned id) {
    if (id == WATCH_TIMER_ID && connectedCheck.GetCheck() != 0 &&
        bridgePort.GetDeviceCount() == 0) {
        Disconnect();
    }
    CDialog::OnTimer(id);
}

void CQuillonDlg::OnSysCommand(unsigned command) {
    if ((command & SYSTEM_COMMAND_MASK) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
        return;
    }
    CDialog::OnSysCommand(command);
}
