// The scripted user's answers and mistakes, the records kept for tests, the controls held in
// memory and what the observer is told.
#include <gtest/gtest.h>

#include "ProbeDialog.h"
#include "platform/ui/ComboSort.h"

namespace {

struct MessageBoxCase {
    const char* name;
    unsigned type;
    std::optional<int> queued;
    int expectedAnswer;
    bool expectedScripted;
    bool expectError;
};

void PrintTo(const MessageBoxCase& c, std::ostream* os) {
    *os << c.name;
}

class MessageBoxTest : public HeadlessTest, public ::testing::WithParamInterface<MessageBoxCase> {};

TEST_P(MessageBoxTest, AnswerIsQueuedOrDefaultAndRecorded) {
    const MessageBoxCase& c = GetParam();
    if (c.queued) {
        User().AnswerMessageBox(*c.queued);
    }
    int answer = 0;
    CProbeDialog dialog;
    dialog.onInit = [&](CProbeDialog& d) {
        answer = d.MessageBox(u"Device not found.  Try again 1", u"WARNING", c.type);
        d.EndDialog(IDOK);
    };

    dialog.DoModal();

    EXPECT_EQ(answer, c.expectedAnswer);
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    const MessageBoxRecord& record = backend.MessageBoxes()[0];
    EXPECT_EQ(record.ownerTemplateId, 500);
    EXPECT_EQ(record.caption, u"WARNING");
    EXPECT_EQ(record.text, u"Device not found.  Try again 1");
    EXPECT_EQ(record.type, c.type);
    EXPECT_EQ(record.answer, c.expectedAnswer);
    EXPECT_EQ(record.scripted, c.expectedScripted);
    EXPECT_EQ(User().Errors().size(), c.expectError ? 1u : 0u);
}

const MessageBoxCase MESSAGE_BOX_CASES[] = {
    {"UnansweredOkBox", MB_OK, std::nullopt, IDOK, false, false},
    {"UnansweredYesNoBox", MB_YESNO, std::nullopt, IDNO, false, false},
    {"YesToYesNoBox", MB_YESNO | MB_SYSTEMMODAL, IDYES, IDYES, true, false},
    {"NoToYesNoBox", MB_YESNO, IDNO, IDNO, true, false},
    {"OkToOkBox", MB_OK, IDOK, IDOK, true, false},
    {"YesToOkBoxIsAMistake", MB_OK, IDYES, IDOK, false, true},
    {"OkToYesNoBoxIsAMistake", MB_YESNO, IDOK, IDNO, false, true},
};

INSTANTIATE_TEST_SUITE_P(Headless, MessageBoxTest, ::testing::ValuesIn(MESSAGE_BOX_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HeadlessTest, AnswersAreTakenInOrderAndApplicationBoxHasTheApplicationsName) {
    SetApplicationName(u"Quillon");
    User().AnswerMessageBox(IDYES).AnswerMessageBox(IDNO);

    EXPECT_EQ(AppMessageBox(u"Bramlet needs to be updated", MB_YESNO | MB_SYSTEMMODAL), IDYES);
    EXPECT_EQ(AppMessageBox(u"Application will close", MB_YESNO | MB_SYSTEMMODAL), IDNO);

    ASSERT_EQ(backend.MessageBoxes().size(), 2u);
    EXPECT_EQ(backend.MessageBoxes()[1].caption, u"Quillon");
    EXPECT_EQ(backend.MessageBoxes()[1].ownerTemplateId, 0);
    EXPECT_EQ(backend.MessageBoxes()[1].text, u"Application will close");
}

TEST_F(HeadlessTest, ChooserAnswersAreTakenInOrderAndRecorded) {
    User().AnswerChooser(u"/tmp/a.kmx").CancelChooser();
    std::vector<std::optional<std::u16string>> answers;
    CProbeDialog dialog;
    dialog.onInit = [&](CProbeDialog& d) {
        for (int i = 0; i < 3; ++i) {
            answers.push_back(d.ChooseOpenFile(u"Firmware File|*.kmx|All Files|*.*||",
                                               u"C:\\Program Files\\Vellmar\\UpdateFiles\\yMOR"));
        }
        answers.push_back(
            d.ChooseOpenFile(u"EEPROM File|*.kdx|All Files|*.*||", u"/opt", OFN_PATHMUSTEXIST));
        d.EndDialog(IDOK);
    };

    dialog.DoModal();

    const std::vector<std::optional<std::u16string>> expected = {u"/tmp/a.kmx", std::nullopt,
                                                                 std::nullopt, std::nullopt};
    EXPECT_EQ(answers, expected);
    ASSERT_EQ(backend.Choosers().size(), 4u);
    EXPECT_EQ(backend.Choosers()[0].filter, u"Firmware File|*.kmx|All Files|*.*||");
    EXPECT_EQ(backend.Choosers()[0].initialFolder,
              u"C:\\Program Files\\Vellmar\\UpdateFiles\\yMOR");
    EXPECT_EQ(backend.Choosers()[0].options, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    EXPECT_EQ(backend.Choosers()[0].answer, u"/tmp/a.kmx");
    EXPECT_EQ(backend.Choosers()[3].options, OFN_PATHMUSTEXIST);
}

struct MistakeCase {
    const char* name;
    std::function<void(CScriptedUser&)> step;
};

void PrintTo(const MistakeCase& c, std::ostream* os) {
    *os << c.name;
}

class ScriptMistakeTest : public HeadlessTest, public ::testing::WithParamInterface<MistakeCase> {};

TEST_P(ScriptMistakeTest, StepAUserCouldNotDoIsRecordedAndSkipped) {
    CProbeDialog dialog(PROBE_TEMPLATE, true);
    GetParam().step(User());
    User().PressEscape();

    dialog.DoModal();

    EXPECT_EQ(User().Errors().size(), 1u);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"create", "init", "ddx:load", "cancel"}));
    EXPECT_EQ(dialog.IsDlgButtonChecked(ID_INDICATOR), 0);
}

const MistakeCase MISTAKE_CASES[] = {
    {"ClickMissingControl", [](CScriptedUser& u) { u.Click(4242); }},
    {"ClickHiddenButton", [](CScriptedUser& u) { u.Click(IDOK); }},
    {"ClickDisabledCheckBox", [](CScriptedUser& u) { u.Click(ID_INDICATOR); }},
    {"ClickStatic", [](CScriptedUser& u) { u.Click(ID_LABEL); }},
    {"TypeIntoReadOnlyEdit", [](CScriptedUser& u) { u.TypeText(ID_LOG, u"x"); }},
    {"TypeIntoButton", [](CScriptedUser& u) { u.TypeText(ID_GO, u"x"); }},
    {"SelectMissingItem", [](CScriptedUser& u) { u.SelectItem(ID_COMBO, 0); }},
};

INSTANTIATE_TEST_SUITE_P(Headless, ScriptMistakeTest, ::testing::ValuesIn(MISTAKE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ComboSortTest, ListIsAlphabeticalWithoutRegardToCase) {
    const char16_t* names[] = {u"KQ-VTR",   u"ZTRNWQ5",  u"yMOR",     u"qLAV",
                               u"KM7-TB21", u"KM8-HS43", u"KM7-HS21", u"km7-hs21"};
    std::vector<std::u16string> items;
    for (const char16_t* name : names) {
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(SortedInsertPosition(items, name)),
                     name);
    }
    const std::vector<std::u16string> expected = {u"KM7-HS21", u"km7-hs21", u"KM7-TB21",
                                                  u"KM8-HS43", u"KQ-VTR",   u"qLAV",
                                                  u"yMOR",     u"ZTRNWQ5"};
    EXPECT_EQ(items, expected);
}

TEST_F(HeadlessTest, ControlsHoldWhatTheUserAndTheDialogPutThere) {
    CProbeDialog dialog;
    dialog.onInit = [](CProbeDialog& d) {
        for (const char16_t* name : {u"yMOR", u"KQ-VTR", u"ZTRNWQ5", u"KM7-HS21"}) {
            d.AddComboString(ID_COMBO, name);
        }
        d.SetDlgItemText(ID_LABEL, u"");
        d.SetProgressPos(ID_PROGRESS, 150);
    };
    User()
        .Do([](CDialog& d) {
            EXPECT_EQ(d.GetComboCount(ID_COMBO), 4);
            EXPECT_EQ(d.GetComboItem(ID_COMBO, 1), u"KQ-VTR");
            EXPECT_EQ(d.GetDlgItemText(ID_LABEL), u"");
            EXPECT_EQ(d.GetProgressPos(ID_PROGRESS), 100);
            d.SetProgressPos(ID_PROGRESS, -3);
            EXPECT_EQ(d.GetProgressPos(ID_PROGRESS), 0);
        })
        .SelectItem(ID_COMBO, 3)
        .Do([](CDialog& d) { EXPECT_EQ(d.GetDlgItemText(ID_COMBO), u"ZTRNWQ5"); })
        .TypeText(ID_COMBO, u"kq-vtr")
        .TypeText(ID_FIELD, u"typed")
        .Do([](CDialog& d) {
            EXPECT_EQ(d.GetDlgItemText(ID_COMBO), u"kq-vtr");
            EXPECT_EQ(d.GetDlgItemText(ID_FIELD), u"typed");
            d.SetWindowText(u"KM7-HS21");
            d.AppendSystemMenuItem(16, u"&About Quillon...");
        })
        .Do([this](CDialog& d) {
            const CHeadlessWindow* window = backend.WindowOf(d);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(d.GetWindowText(), u"KM7-HS21");
            ASSERT_EQ(window->MenuItems().size(), 2u);
            EXPECT_EQ(window->MenuItems()[0].command, 0u);
            EXPECT_EQ(window->MenuItems()[1].command, 16u);
            EXPECT_EQ(window->MenuItems()[1].text, u"&About Quillon...");
        })
        .PressEscape();

    dialog.DoModal();

    EXPECT_TRUE(User().Finished());
    EXPECT_TRUE(User().Errors().empty());
}

class RecordingObserver : public IHeadlessObserver {
public:
    std::vector<std::string> events;
    void ControlTextChanged(const CDialog&, int id, std::u16string_view text) override {
        events.push_back("text " + std::to_string(id) + " " + std::to_string(text.size()));
    }
    void ProgressChanged(const CDialog&, int id, int pos, int lower, int upper) override {
        events.push_back("progress " + std::to_string(id) + " " + std::to_string(pos) + " " +
                         std::to_string(lower) + "-" + std::to_string(upper));
    }
    void MessageBoxShown(const MessageBoxRecord& record) override {
        events.push_back("box " + std::to_string(record.answer));
    }
    void DialogStarted(const CDialog& dialog) override {
        events.push_back("start " + std::to_string(dialog.Template().id));
    }
    void DialogEnded(const CDialog& dialog, int result) override {
        events.push_back("end " + std::to_string(dialog.Template().id) + " " +
                         std::to_string(result));
    }
};

TEST_F(HeadlessTest, ObserverFollowsTheDialogAsItRuns) {
    RecordingObserver observer;
    backend.SetObserver(&observer);
    CProbeDialog dialog;
    dialog.onGo = [](CProbeDialog& d) {
        d.SetDlgItemText(ID_LOG, u"Sync complete\r\n");
        d.SetProgressRange(ID_PROGRESS, 0, 100);
        d.SetProgressPos(ID_PROGRESS, 25);
        d.MessageBox(u"Memory Allocation Error", u"ERROR");
    };
    User().Click(ID_GO).TypeText(ID_FIELD, u"ab").PressEscape();

    dialog.DoModal();

    const std::vector<std::string> expected = {
        "start 500",   "text 1005 15", "progress 1012 0 0-100", "progress 1012 25 0-100", "box 1",
        "text 1006 2", "end 500 2"};
    EXPECT_EQ(observer.events, expected);
}

}  // namespace
