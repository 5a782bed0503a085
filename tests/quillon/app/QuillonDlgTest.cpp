// The main window's flows on the headless backend and the virtual clock, against simulated
// dongles: connecting, the configuration-update questions, watching, Reset, Go's checks and
// the About box.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/clock/Clock.h"
#include "platform/text/WideText.h"
#include "platform/ui/UiBackend.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/ui/headless/HeadlessWindow.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/app/AboutDlg.h"
#include "quillon/app/ModelTable.h"
#include "quillon/app/QuillonApp.h"
#include "quillon/app/QuillonDlg.h"
#include "quillon/app/Resources.h"
#include "quillon/dialogs/Cymor.h"
#include "quillon/link/BridgePort.h"
#include "tests/quillon/app/RecordingShell.h"
#include "tests/support/TempDir.h"

namespace {

const char* CURRENT_DONGLE = R"({"dongles":[{"serial":"0020000417"}]})";
const char* OLD_DONGLE = R"({"dongles":[{"serial":"0010000417"}]})";
const char* UNREADABLE_DONGLE = R"({"dongles":[{"serial":"0020000417","serial_readable":false}]})";
const char* UNPLUGGED_DONGLE = R"({"dongles":[{"serial":"0020000417","attached":false}]})";
const char* NO_DONGLE = R"({"dongles":[]})";

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        InstallClock(&clock);
        InstallUiBackend(&backend);
        InstallShell(&shell);
    }
    void TearDown() override {
        bridgePort.Close();
        InstallUsbBridge(nullptr);
        InstallShell(nullptr);
        InstallUiBackend(nullptr);
        InstallClock(nullptr);
    }

    void Plug(const char* stateJson) {
        state = dir.File("bramlet.json");
        CTempDir::Write(state, stateJson);
        library = std::make_unique<CSimUsbBridge>(state);
        InstallUsbBridge(library.get());
    }
    // Changes the dongles while the window runs, as a technician plugging or unplugging.
    void Replug(const char* stateJson) {
        CTempDir::Write(state + ".new", stateJson);
        std::filesystem::rename(state + ".new", state);
    }

    CScriptedUser& User() { return backend.User(); }

    // Runs the application with the script given so far, ending with the window's close box.
    void Run() {
        User().CloseWindow();
        CQuillonApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_TRUE(User().Errors().empty()) << User().Errors().front();
        EXPECT_FALSE(backend.LimitHit()) << backend.LimitReason();
    }

    std::vector<std::u16string> Warnings() const {
        std::vector<std::u16string> texts;
        for (const MessageBoxRecord& box : backend.MessageBoxes()) {
            texts.push_back(box.text);
        }
        return texts;
    }

    // Asserts the connection state the window shows.
    static void ExpectConnected(CDialog& top, const std::u16string& serial) {
        EXPECT_EQ(top.IsDlgButtonChecked(IDC_CONNECTED_CHECK), 1);
        EXPECT_EQ(ToUtf8(top.GetDlgItemText(IDC_SERIAL_BOX)), ToUtf8(serial));
        EXPECT_NE(bridgePort.GetHandle(), NO_BRIDGE_HANDLE);
    }
    static void ExpectDisconnected(CDialog& top) {
        EXPECT_EQ(top.IsDlgButtonChecked(IDC_CONNECTED_CHECK), 0);
        EXPECT_EQ(top.GetDlgItemText(IDC_SERIAL_BOX), u"");
        EXPECT_EQ(bridgePort.GetHandle(), NO_BRIDGE_HANDLE);
    }

    CVirtualClock clock;
    CHeadlessBackend backend;
    CRecordingShell shell;
    CTempDir dir;
    std::string state;
    std::unique_ptr<CSimUsbBridge> library;
};

TEST_F(MainWindow, StartsDisconnectedWithTheSixteenNamesSorted) {
    Plug(NO_DONGLE);
    std::vector<std::u16string> items;
    User().Do([&](CDialog& top) {
        ExpectDisconnected(top);
        items = backend.WindowOf(top)->Control(IDC_MODEL_COMBO)->items;
        EXPECT_EQ(top.GetWindowText(), u"Quillon");
    });
    Run();
    // The control sorts without regard to case.
    const std::vector<std::u16string> expected = {
        u"KM7-HS21", u"KM7-HS43", u"KM7-HS44", u"KM7-HS65", u"KM7-JU21", u"KM7-LW21",
        u"KM7-NE21", u"KM7-OQ21", u"KM7-TB21", u"KM8-HS21", u"KM8-HS43", u"KM8-HS65",
        u"KQ-VTR",   u"qLAV",     u"yMOR",     u"ZTRNWQ5"};
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items, expected);
}

TEST_F(MainWindow, ConnectFailuresWarnAndLeaveThePortClosed) {
    struct Case {
        const char* dongles;
        std::u16string_view warning;
    };
    for (const Case& c :
         {Case{NO_DONGLE, MSG_DEVICE_NOT_FOUND}, Case{UNPLUGGED_DONGLE, MSG_DEVICE_NOT_FOUND},
          Case{UNREADABLE_DONGLE, MSG_CONNECTION_FAILED}}) {
        SCOPED_TRACE(c.dongles);
        CHeadlessBackend fresh;
        InstallUiBackend(&fresh);
        Plug(c.dongles);
        fresh.User()
            .Click(IDC_CONNECT)
            .Do([](CDialog& top) { ExpectDisconnected(top); })
            .CloseWindow();
        CQuillonApp().InitInstance();
        ASSERT_EQ(fresh.MessageBoxes().size(), 1u);
        EXPECT_EQ(ToUtf8(fresh.MessageBoxes()[0].text), ToUtf8(c.warning));
        EXPECT_EQ(ToUtf8(fresh.MessageBoxes()[0].caption), "WARNING");
        EXPECT_EQ(fresh.MessageBoxes()[0].type, MB_OK);
    }
}

TEST_F(MainWindow, CurrentDongleConnectsSilentlyAndSecondConnectWarns) {
    Plug(CURRENT_DONGLE);
    User()
        .Click(IDC_CONNECT)
        .Do([](CDialog& top) { ExpectConnected(top, u"0020000417"); })
        .Click(IDC_CONNECT)
        .Do([](CDialog& top) { ExpectConnected(top, u"0020000417"); });
    Run();
    EXPECT_EQ(Warnings(), std::vector<std::u16string>{std::u16string(MSG_ALREADY_CONNECTED)});
    EXPECT_TRUE(shell.programs.empty());
    EXPECT_EQ(bridgePort.GetHandle(), NO_BRIDGE_HANDLE)
        << "the port is closed when the program ends";
}

struct QuestionCase {
    const char* name;
    std::vector<int> answers;
    std::size_t questionsAsked;
};

class UpdateQuestions : public MainWindow, public testing::WithParamInterface<QuestionCase> {};

TEST_P(UpdateQuestions, AnythingButYesTwiceKeepsTheDongleConnected) {
    Plug(OLD_DONGLE);
    for (int answer : GetParam().answers) {
        User().AnswerMessageBox(answer);
    }
    User().Click(IDC_CONNECT).Do([](CDialog& top) { ExpectConnected(top, u"0010000417"); });
    Run();
    const auto& boxes = backend.MessageBoxes();
    ASSERT_EQ(boxes.size(), GetParam().questionsAsked);
    EXPECT_EQ(ToUtf8(boxes[0].text), "Bramlet needs to be updated");
    EXPECT_EQ(ToUtf8(boxes[0].caption), "Quillon");
    EXPECT_EQ(boxes[0].type, MB_YESNO | MB_SYSTEMMODAL);
    if (boxes.size() > 1) {
        EXPECT_EQ(ToUtf8(boxes[1].text), "Application will close");
    }
    EXPECT_TRUE(shell.programs.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, UpdateQuestions,
                         testing::Values(QuestionCase{"No", {IDNO}, 1},
                                         QuestionCase{"YesThenNo", {IDYES, IDNO}, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindow, YesTwiceStartsBramletUpdateFromTheCurrentDirectoryAndCloses) {
    // A folder deep enough that the full path does not fit the first 40-character buffer.
    std::filesystem::path folder = dir.File("a-folder-with-a-long-name/and-another-one");
    std::filesystem::create_directories(folder);
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    Plug(OLD_DONGLE);
    User().AnswerMessageBox(IDYES).AnswerMessageBox(IDYES).Click(IDC_CONNECT);
    CQuillonApp app;
    app.InitInstance();
    std::filesystem::current_path(old);

    ASSERT_EQ(shell.programs.size(), 1u) << "started although the file does not exist";
    EXPECT_EQ(ToUtf8(shell.programs[0]), (folder / "Bramlet Update.exe").string());
    ASSERT_EQ(backend.Dialogs().size(), 1u);
    EXPECT_TRUE(backend.Dialogs()[0].ended) << "the window closed itself";
    EXPECT_EQ(backend.Dialogs()[0].result, IDCANCEL);
    EXPECT_EQ(bridgePort.GetHandle(), NO_BRIDGE_HANDLE);
    EXPECT_FALSE(backend.LimitHit());
}

TEST_F(MainWindow, ResetAndUnplugDisconnectWithoutAMessage) {
    Plug(CURRENT_DONGLE);
    User()
        .Click(IDC_RESET)
        .Do([](CDialog& top) { ExpectDisconnected(top); })
        .Click(IDC_CONNECT)
        .Click(IDC_RESET)
        .Do([](CDialog& top) { ExpectDisconnected(top); })
        .Click(IDC_CONNECT)
        .Do([&](CDialog& top) {
            ExpectConnected(top, u"0020000417");
            Replug(UNPLUGGED_DONGLE);
        })
        .Wait(WATCH_PERIOD_MS)
        .Do([](CDialog& top) { ExpectDisconnected(top); })
        .Do([&](CDialog&) { Replug(CURRENT_DONGLE); })
        .Click(IDC_CONNECT)
        .Do([](CDialog& top) { ExpectConnected(top, u"0020000417"); });
    Run();
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

TEST_F(MainWindow, ConnectAfterUnplugBeforeTheWatchTimerJustDisconnects) {
    Plug(CURRENT_DONGLE);
    User()
        .Click(IDC_CONNECT)
        .Do([&](CDialog&) { Replug(UNPLUGGED_DONGLE); })
        .Click(IDC_CONNECT)
        .Do([](CDialog& top) { ExpectDisconnected(top); });
    Run();
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

struct GoCase {
    const char* name;
    const char* dongles;
    bool connect;
    bool unplugBeforeGo;
    std::u16string typed;
    std::vector<std::u16string> warnings;
};

class GoChecks : public MainWindow, public testing::WithParamInterface<GoCase> {};

TEST_P(GoChecks, WarnOnlyForAModelName) {
    const GoCase& c = GetParam();
    Plug(c.dongles);
    if (c.connect) {
        User().Click(IDC_CONNECT);
    }
    User().TypeText(IDC_MODEL_COMBO, c.typed);
    if (c.unplugBeforeGo) {
        User().Do([&](CDialog&) { Replug(UNPLUGGED_DONGLE); });
    }
    User().Click(IDC_GO);
    Run();
    EXPECT_EQ(Warnings(), c.warnings);
    for (const MessageBoxRecord& box : backend.MessageBoxes()) {
        EXPECT_EQ(ToUtf8(box.caption), "WARNING");
    }
}

const std::u16string MUST_CONNECT(MSG_MUST_BE_CONNECTED);
const std::u16string COMMUNICATION(MSG_COMMUNICATION_ERROR);

INSTANTIATE_TEST_SUITE_P(
    Cases, GoChecks,
    testing::Values(
        GoCase{"EmptyText", NO_DONGLE, false, false, u"", {}},
        GoCase{"NotAModel", NO_DONGLE, false, false, u"KM9-XX99", {}},
        GoCase{"LowerCaseKqvtr", NO_DONGLE, false, false, u"kq-vtr", {}},
        GoCase{"LowerCaseGeneric", NO_DONGLE, false, false, u"km7-hs21", {}},
        GoCase{"TrailingSpace", NO_DONGLE, false, false, u"KM7-HS21 ", {}},
        GoCase{"TypedKqvtrNotConnected", NO_DONGLE, false, false, u"KQ-VTR", {MUST_CONNECT}},
        GoCase{"GenericNotConnected", NO_DONGLE, false, false, u"yMOR", {MUST_CONNECT}},
        GoCase{"DongleGoneBeforeTheWatchTimer",
               CURRENT_DONGLE,
               true,
               true,
               u"KM7-HS21",
               {COMMUNICATION}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindow, GoOpensTheGenericUpdaterForItsModelAndNothingForKqvtr) {
    Plug(R"({"dongles":[{"serial":"0020000417","target":{"model":"KM7-HS21"}}]})");
    User()
        .Click(IDC_CONNECT)
        .TypeText(IDC_MODEL_COMBO, u"KQ-VTR")
        .Click(IDC_GO)
        .SelectItem(IDC_MODEL_COMBO, 0)
        .Click(IDC_GO)
        .WaitForDialog(IDD_YMOR_DIALOG)
        .Do([](CDialog& top) { EXPECT_EQ(ToUtf8(top.GetWindowText()), "KM7-HS21"); })
        .PressEscape();
    Run();
    EXPECT_TRUE(backend.MessageBoxes().empty());
    ASSERT_EQ(backend.Dialogs().size(), 2u) << "KQ-VTR opens no dialog in this build";
    EXPECT_EQ(backend.Dialogs()[1].templateId, IDD_YMOR_DIALOG);
    EXPECT_EQ(backend.Dialogs()[1].result, IDCANCEL);
}

TEST_F(MainWindow, AboutBoxFromTheWindowMenuOpensTheFirmwarePageAndStaysOpen) {
    Plug(NO_DONGLE);
    std::vector<std::u16string> menu;
    User()
        .Do([&](CDialog& top) {
            for (const auto& item : backend.WindowOf(top)->MenuItems()) {
                menu.push_back(item.text);
            }
        })
        .SysCommand(IDM_ABOUTBOX)
        .WaitForDialog(IDD_ABOUTBOX)
        .Click(IDC_UPDATES_LINK)
        .Do([](CDialog& top) { EXPECT_EQ(top.Template().id, IDD_ABOUTBOX); })
        .PressEscape();
    Run();
    EXPECT_EQ(menu.back(), u"&About Quillon...");
    ASSERT_EQ(shell.addresses.size(), 1u);
    EXPECT_TRUE(ToUtf8(shell.addresses[0]).ends_with("/firmware"));
    ASSERT_EQ(backend.Dialogs().size(), 2u);
    EXPECT_EQ(backend.Dialogs()[1].templateId, IDD_ABOUTBOX);
}

}  // namespace
