// The main window: connect the Bramlet, show its serial number, watch it, pick a model and open
// the updater for it; offer Bramlet Update when the dongle's configuration is out of date.
#pragma once

#include <string_view>

#include "platform/ui/Dialog.h"

constexpr unsigned WATCH_TIMER_ID = 1;
constexpr unsigned WATCH_PERIOD_MS = 100;

// The console tool that updates the dongle's configuration, looked up in the current directory.
constexpr std::u16string_view BRAMLET_UPDATE_PROGRAM = u"Bramlet Update.exe";
// Size of the first buffer the program's full path is resolved into.
constexpr unsigned FIRST_PATH_BUFFER_SIZE = 40;
// Size of the buffers the serial number and the model text are read into.
constexpr int TEXT_BUFFER_SIZE = 256;

constexpr std::u16string_view WARNING_CAPTION = u"WARNING";
constexpr std::u16string_view MSG_ALREADY_CONNECTED =
    u"Device already connected.  To disconnect click Reset. ";
constexpr std::u16string_view MSG_DEVICE_NOT_FOUND =
    u"Device not found.  Make sure the device is connected to the computer and try to connect "
    u"again 1";
constexpr std::u16string_view MSG_CONNECTION_FAILED =
    u"Bramlet connection failed.  Make sure the device is connected to the computer and try to "
    u"connect again 2";
constexpr std::u16string_view MSG_MUST_BE_CONNECTED =
    u"The Bramlet must be connected before an update can be performed !!";
constexpr std::u16string_view MSG_COMMUNICATION_ERROR =
    u"Bramlet communication error.  Try to reconnect to the device";
constexpr std::u16string_view MSG_NEEDS_UPDATE = u"Bramlet needs to be updated";
constexpr std::u16string_view MSG_APPLICATION_WILL_CLOSE = u"Application will close";

class CQuillonDlg : public CDialog {
public:
    CQuillonDlg();

    void OnBnClickedConnect();
    void OnBnClickedReset();
    void OnBnClickedGo();

protected:
    void DoDataExchange(bool saveAndValidate) override;
    bool OnInitDialog() override;
    void OnTimer(unsigned id) override;
    void OnSysCommand(unsigned command) override;
    std::span<const MessageMapEntry> GetMessageMap() const override;

private:
    void StartWatchTimer();
    void Warn(std::u16string_view text);
    // Closes the port and shows the disconnected state.
    void Disconnect();
    void StartBramletUpdate();

    int appIcon;
    CButton connectedCheck;
    CEdit serialBox;
    CComboBox modelCombo;
};
