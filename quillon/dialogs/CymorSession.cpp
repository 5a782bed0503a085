// The generic updater's firmware update session: five steps, one per tick of the one-shot
// timer 11, each re-arming the timer with the delay it wants or ending the session.
#include "platform/shell/Shell.h"
#include "quillon/dialogs/Cymor.h"
#include "quillon/dialogs/CymorTexts.h"
#include "quillon/link/BridgePort.h"
#include "quillon/protocol/GpioPatterns.h"
#include "quillon/protocol/Reception.h"
#include "quillon/protocol/TimeStamp.h"

namespace {
enum SessionStep {
    STEP_CHOOSE_FILE = 0,
    STEP_SYNC = 1,
    STEP_ERASE = 2,
    STEP_TRANSFER = 3,
    STEP_END = 4
};

constexpr unsigned STEP_DELAY_MS = 10;
constexpr unsigned ERASE_POLL_MS = 50;
constexpr unsigned TRANSFER_POLL_MS = 2;
constexpr unsigned AFTER_TRANSFER_MS = 50;
constexpr unsigned END_RETRY_MS = 5;
// Transfer polls in a row without a usable reply that are tolerated.
constexpr int MAX_SILENT_POLLS = 500;
}  // namespace

void Cymor::AppendLog(std::u16string_view text) {
    logBox.AppendText(text);
}

int Cymor::GetTimeStamp(char16_t* buffer) {
    WriteTimeStamp(buffer);
    return 1;
}

void Cymor::ResetForUpdate() {
    step = 0;
    busy = 0;
    eraseSent = 0;
    startSent = 0;
    bytesConsumed = 0;
    noResponseCount = 0;
    filePath.clear();
    noteText.SetWindowText(u"");
    logBox.SetWindowText(u"");
    progressBar.SetPos(0);
}

void Cymor::EndSession() {
    busy = 0;
    step = 0;
    eraseSent = 0;
    startSent = 0;
    bytesConsumed = 0;
    fileLength = 0;
    firmwareFile.Close();
    DrivePattern(bridgePort, IDLE_PATTERN);
}

void Cymor::UpdateWorker() {
    switch (step) {
        case STEP_CHOOSE_FILE:
            TickChooseFile();
            break;
        case STEP_SYNC:
            TickSync();
            break;
        case STEP_ERASE:
            TickErase();
            break;
        case STEP_TRANSFER:
            TickTransfer();
            break;
        case STEP_END:
            TickEnd();
            break;
        default:
            break;
    }
}

void Cymor::TickChooseFile() {
    const std::u16string directory =
        MapWindowsPath(std::u16string(UPDATE_FILES_FOLDER) + modelName);
    // Only the folder must exist: a typed name of a missing file reaches the file check.
    const auto chosen = ChooseOpenFile(FIRMWARE_FILTER, directory, OFN_PATHMUSTEXIST);
    if (!chosen) {
        EndSession();
        return;
    }
    filePath = *chosen;
    if (ValidateFile() == -1) {
        filePath.clear();
        AppendLog(LOG_ATTEMPT_FAILED);
        EndSession();
        return;
    }
    CReceptionBuffer stamp;
    if (!stamp.Ok()) {
        MemoryFailure();
        return;
    }
    GetTimeStamp(stamp.Data());
    logBox.SetWindowText(std::u16string(LOG_START) + std::u16string(stamp.Text()) +
                         std::u16string(LOG_LINE_END) + std::u16string(LOG_DO_NOT_DISCONNECT));
    step = STEP_SYNC;
    SetTimer(UPDATE_TIMER_ID, STEP_DELAY_MS);
}

void Cymor::TickSync() {
    switch (Sync()) {
        case -1:
            AppendLog(LOG_SYNC_ERROR);
            EndSession();
            break;
        case -2:
            AppendLog(LOG_MISMATCH);
            EndSession();
            break;
        case 1:
            SendFileInfo();
            AppendLog(LOG_SYNC_COMPLETE);
            AppendLog(LOG_ERASE_BEGIN);
            step = STEP_ERASE;
            SetTimer(UPDATE_TIMER_ID, STEP_DELAY_MS);
            break;
        default:
            break;
    }
}

void Cymor::TickErase() {
    switch (EraseStep()) {
        case 1:
            AppendLog(LOG_ERASE_COMPLETE);
            AppendLog(LOG_TRANSFER_START);
            step = STEP_TRANSFER;
            SetTimer(UPDATE_TIMER_ID, ERASE_POLL_MS);
            break;
        case 0:
            // No limit: polled until the target confirms or the dialog is closed.
            SetTimer(UPDATE_TIMER_ID, ERASE_POLL_MS);
            break;
        default:
            break;
    }
}

void Cymor::TickTransfer() {
    switch (UpdateStep()) {
        case 2:
            ++noResponseCount;
            if (noResponseCount > MAX_SILENT_POLLS) {
                AppendLog(LOG_TIME_OUT);
                EndSession();
            } else {
                SetTimer(UPDATE_TIMER_ID, TRANSFER_POLL_MS);
            }
            break;
        case 0:
            noResponseCount = 0;
            SetTimer(UPDATE_TIMER_ID, TRANSFER_POLL_MS);
            break;
        case 1:
            AppendLog(LOG_TRANSFER_COMPLETE);
            step = STEP_END;
            SetTimer(UPDATE_TIMER_ID, AFTER_TRANSFER_MS);
            break;
        case -1:
            AppendLog(LOG_TRANSFER_ERROR);
            EndSession();
            break;
        case -10:
            AppendLog(LOG_INNER);
            EndSession();
            break;
        case -11:
            AppendLog(LOG_OUTER);
            EndSession();
            break;
        default:
            break;
    }
}

void Cymor::TickEnd() {
    switch (UpdateEnd()) {
        case -1:
            // The end command goes out again on the next tick; no limit.
            SetTimer(UPDATE_TIMER_ID, END_RETRY_MS);
            break;
        case 1: {
            EndSession();
            CReceptionBuffer stamp;
            if (!stamp.Ok()) {
                MemoryFailure();
                return;
            }
            GetTimeStamp(stamp.Data());
            AppendLog(std::u16string(LOG_END) + std::u16string(stamp.Text()) +
                      std::u16string(LOG_LINE_END) + std::u16string(LOG_SUCCESS));
            busy = 0;
            step = 0;
            ReadVersions();
            break;
        }
        default:
            break;
    }
}
