// The generic updater dialog's window handlers: creation check, data exchange, the Update
// Firmware button, the session timer and closing.
#include "quillon/dialogs/Cymor.h"

#include <array>

#include "quillon/dialogs/CymorTexts.h"
#include "quillon/link/BridgePort.h"

namespace {
const std::array YMOR_MESSAGE_MAP = {
    OnNotify(IDC_UPDATE_FIRMWARE, Notify::Clicked, &Cymor::OnUpdateFirmware),
};

constexpr int PROGRESS_MAX = 100;
constexpr unsigned SESSION_START_DELAY_MS = 10;
constexpr int TARGET_MISMATCH = -2;
}  // namespace

Cymor::Cymor()
    : CDialog(ymorDialogTemplate),
      step(0),
      busy(0),
      noResponseCount(0),
      eraseSent(0),
      startSent(0),
      fileLength(0),
      bytesConsumed(0) {}

std::span<const MessageMapEntry> Cymor::GetMessageMap() const {
    return YMOR_MESSAGE_MAP;
}

int Cymor::OnCreate() {
    if (CDialog::OnCreate() == -1) {
        return -1;
    }
    if (CheckTarget() == TARGET_MISMATCH) {
        MessageBox(MSG_MISMATCH, ERROR_CAPTION, MB_OK);
        RequestClose();
    }
    return 0;
}

bool Cymor::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(modelName);
    return true;
}

void Cymor::DoDataExchange(bool saveAndValidate) {
    CDialog::DoDataExchange(saveAndValidate);
    DDX_Control(this, IDC_NOTE_TEXT, noteText);
    noteText.SetWindowText(u"");
    DDX_Control(this, IDC_LOG_BOX, logBox);
    DDX_Control(this, IDC_BOOTLOADER_BOX, bootloaderBox);
    DDX_Control(this, IDC_FIRMWARE_BOX, firmwareBox);
    DDX_Control(this, IDC_PROGRESS_BAR, progressBar);
    progressBar.SetRange(0, PROGRESS_MAX);
    ReadVersions();
}

void Cymor::OnUpdateFirmware() {
    if (busy == 1) {
        return;
    }
    ResetForUpdate();
    busy = 1;
    SetTimer(UPDATE_TIMER_ID, SESSION_START_DELAY_MS);
}

void Cymor::OnTimer(unsigned id) {
    if (id == UPDATE_TIMER_ID) {
        KillTimer(UPDATE_TIMER_ID);
        UpdateWorker();
    }
    CDialog::OnTimer(id);
}

void Cymor::OnClose() {
    // Closing mid-session stops the ticks without ending the session on the target.
    if (busy == 1) {
        step = 0;
        firmwareFile.Close();
    }
    noteText.SetWindowText(u"");
    CDialog::OnClose();
}

void Cymor::RequestClose() {
    PostCommand(IDCANCEL);
}

int Cymor::MemoryFailure() {
    MessageBox(MSG_MEMORY, ERROR_CAPTION, MB_OK);
    RequestClose();
    return PORT_NO_MEMORY;
}
