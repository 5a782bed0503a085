// Cymor: the updater dialog of every generic target model. It checks that the connected target
// is the chosen model, shows the versions the target reports, and runs firmware update
// sessions, one step per tick of a one-shot timer. The protocol operations are its members.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/ui/Dialog.h"
#include "quillon/protocol/LineFile.h"

constexpr int IDD_YMOR_DIALOG = 140;
constexpr unsigned UPDATE_TIMER_ID = 11;

// Controls of template 140.
constexpr int IDC_UPDATE_FIRMWARE = 1009;
constexpr int IDC_LOG_BOX = 1011;
constexpr int IDC_PROGRESS_BAR = 1012;
constexpr int IDC_BOOTLOADER_BOX = 1014;
constexpr int IDC_FIRMWARE_BOX = 1015;
constexpr int IDC_NOTE_TEXT = 1017;

extern const DialogTemplate ymorDialogTemplate;

class Cymor : public CDialog {
public:
    Cymor();

    // Set by the creator before the dialog runs.
    std::u16string modelName;

    int step;
    int busy;
    int noResponseCount;
    int eraseSent;
    int startSent;
    CLineFile firmwareFile;
    std::uint64_t fileLength;
    std::uint64_t bytesConsumed;
    std::u16string filePath;

    CStatic noteText;
    CEdit logBox;
    CEdit bootloaderBox;
    CEdit firmwareBox;
    CProgressCtrl progressBar;

    // Command and response exchange.
    void QueryTargetInfo(char16_t* buffer);
    int IsLinkReady();
    int CheckTarget();
    int ReadVersions();
    int ParseVersionReport(std::u16string_view text);
    int Sync();
    int EraseStep();
    int UpdateEnd();

    // Firmware file and transfer.
    int ValidateFile();
    int FileMatchesModel();
    int SendFileInfo();
    int UpdateStep();

    // Update session.
    void ResetForUpdate();
    void UpdateWorker();
    void EndSession();
    int GetTimeStamp(char16_t* buffer);

    // Posts Cancel to the dialog itself, so that it ends after the current handler returns.
    void RequestClose();

    void OnUpdateFirmware();

protected:
    int OnCreate() override;
    bool OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    void OnTimer(unsigned id) override;
    void OnClose() override;
    std::span<const MessageMapEntry> GetMessageMap() const override;

private:
    // "[info<" + modelName + ">": the prefix of the model's own report.
    std::u16string FindWhat() const;
    // The message box of a work buffer that cannot be had, then the close request.
    int MemoryFailure();
    int Refuse(std::u16string_view message);
    void SendBlock();
    void AppendLog(std::u16string_view text);
    void TickChooseFile();
    void TickSync();
    void TickErase();
    void TickTransfer();
    void TickEnd();
};
