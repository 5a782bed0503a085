// A dialog for the framework's tests that writes every handler it reaches into a log, with hooks
// to give handlers behaviour, and a fixture that runs it headless on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/UiBackend.h"
#include "platform/ui/headless/HeadlessBackend.h"

constexpr int ID_COMBO = 1000;
constexpr int ID_INDICATOR = 1001;  // disabled check box
constexpr int ID_FLAG = 1002;       // enabled check box
constexpr int ID_GO = 1004;
constexpr int ID_LOG = 1005;    // read-only edit
constexpr int ID_FIELD = 1006;  // editable edit
constexpr int ID_LINK = 1008;
constexpr int ID_PROGRESS = 1012;
constexpr int ID_LABEL = 1017;

inline constexpr ControlTemplate PROBE_CONTROLS[] = {
    {IDOK, ControlKind::PushButton, u"OK", CS_DEFAULT | CS_HIDDEN, 150, 60, 50, 14},
    {IDCANCEL, ControlKind::PushButton, u"Cancel", CS_TABSTOP, 205, 60, 50, 14},
    {ID_GO, ControlKind::PushButton, u"Go", CS_TABSTOP, 220, 20, 37, 14},
    {ID_INDICATOR, ControlKind::CheckBox, u"Connected", CS_DISABLED | CS_LEFTTEXT, 19, 39, 51, 10},
    {ID_FLAG, ControlKind::CheckBox, u"Flag", CS_TABSTOP, 19, 52, 51, 10},
    {ID_LOG, ControlKind::Edit, u"", CS_READONLY | CS_BORDER | CS_MULTILINE, 7, 75, 156, 85},
    {ID_FIELD, ControlKind::Edit, u"", CS_BORDER, 18, 53, 106, 14},
    {ID_COMBO, ControlKind::ComboBox, u"", CS_DROPDOWN | CS_SORT | CS_VSCROLL, 145, 21, 63, 59},
    {ID_LINK, ControlKind::Link, u"Check for Updates", CS_NONE, 121, 38, 65, 8},
    {ID_PROGRESS, ControlKind::ProgressBar, u"", CS_BORDER, 7, 169, 156, 14},
    {ID_LABEL, ControlKind::Static, u"Static", CS_NONE, 123, 29, 19, 8},
    {IDC_STATIC, ControlKind::GroupBox, u"Bramlet", CS_NONE, 7, 7, 123, 65},
};

inline constexpr DialogTemplate PROBE_TEMPLATE = {
    500, u"Probe", u"MS Shell Dlg", 8, 272, 191, DS_CAPTION | DS_SYSMENU, PROBE_CONTROLS};

// The same dialog with "Go" as its default button.
inline constexpr ControlTemplate GO_DEFAULT_CONTROLS[] = {
    {IDOK, ControlKind::PushButton, u"OK", CS_HIDDEN, 150, 60, 50, 14},
    {ID_GO, ControlKind::PushButton, u"Go", CS_DEFAULT, 220, 20, 37, 14},
};
inline constexpr DialogTemplate GO_DEFAULT_TEMPLATE = {501, u"Probe",   u"MS Shell Dlg",    8, 272,
                                                       79,  DS_CAPTION, GO_DEFAULT_CONTROLS};

class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(const DialogTemplate& t = PROBE_TEMPLATE, bool mapOk = false)
        : CDialog(t), mapOk(mapOk) {}

    std::vector<std::string> log;
    std::function<int(CProbeDialog&)> onCreate;
    std::function<void(CProbeDialog&)> onInit;
    std::function<void(CProbeDialog&, unsigned)> onTimer;
    std::function<void(CProbeDialog&)> onGo;

    void Note(const std::string& event) { log.push_back(event); }

protected:
    int OnCreate() override {
        Note("create");
        return onCreate ? onCreate(*this) : 0;
    }
    bool OnInitDialog() override {
        Note("init");
        const bool result = CDialog::OnInitDialog();
        if (onInit) {
            onInit(*this);
        }
        return result;
    }
    void DoDataExchange(bool save) override { Note(save ? "ddx:save" : "ddx:load"); }
    void OnTimer(unsigned id) override {
        Note("timer:" + std::to_string(id));
        if (onTimer) {
            onTimer(*this, id);
        }
    }
    void OnClose() override {
        Note("close");
        CDialog::OnClose();
    }
    void OnOK() override {
        Note("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        Note("cancel");
        CDialog::OnCancel();
    }
    void OnSysCommand(unsigned command) override {
        Note("sys:" + std::to_string(command));
        CDialog::OnSysCommand(command);
    }
    std::span<const MessageMapEntry> GetMessageMap() const override;

private:
    void OnGo() {
        Note("go");
        if (onGo) {
            onGo(*this);
        }
    }
    void OnFlag() { Note("flag:" + std::to_string(IsDlgButtonChecked(ID_FLAG))); }
    void OnLink() { Note("link"); }
    void OnMappedOk() { Note("mapped-ok"); }

    bool mapOk;
};

inline std::span<const MessageMapEntry> CProbeDialog::GetMessageMap() const {
    static const MessageMapEntry map[] = {
        OnNotify(ID_GO, Notify::Clicked, &CProbeDialog::OnGo),
        OnNotify(ID_FLAG, Notify::Clicked, &CProbeDialog::OnFlag),
        OnNotify(ID_LINK, Notify::LinkClick, &CProbeDialog::OnLink),
        OnNotify(IDOK, Notify::Clicked, &CProbeDialog::OnMappedOk),
    };
    return mapOk ? std::span(map) : std::span(map).first(3);
}

// Installs a virtual clock and a fresh headless backend for each test.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&clock);
        InstallUiBackend(&backend);
    }
    void TearDown() override {
        InstallUiBackend(nullptr);
        InstallClock(nullptr);
    }
    CScriptedUser& User() { return backend.User(); }
    std::int64_t NowMs() const { return clock.NowMillis(); }

    CVirtualClock clock;
    CHeadlessBackend backend;
};
