// How user actions reach a dialog: message map first, then the OK/Cancel defaults, the keys,
// the close box, the window menu; and the order of creation and initialisation.
#include <gtest/gtest.h>

#include "ProbeDialog.h"

namespace {

struct DispatchCase {
    const char* name;
    const DialogTemplate* dialogTemplate;
    bool mapOk;
    std::function<void(CScriptedUser&)> script;
    std::vector<std::string> expectedAfterInit;
    int expectedResult;
};

void PrintTo(const DispatchCase& c, std::ostream* os) {
    *os << c.name;
}

class DispatchTest : public HeadlessTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(DispatchTest, ActionReachesTheRightHandler) {
    const DispatchCase& c = GetParam();
    CProbeDialog dialog(*c.dialogTemplate, c.mapOk);
    c.script(User());

    const int result = dialog.DoModal();

    std::vector<std::string> expected = {"create", "init", "ddx:load"};
    expected.insert(expected.end(), c.expectedAfterInit.begin(), c.expectedAfterInit.end());
    EXPECT_EQ(dialog.log, expected);
    EXPECT_EQ(result, c.expectedResult);
    EXPECT_FALSE(backend.LimitHit()) << backend.LimitReason();
    EXPECT_TRUE(User().Errors().empty());
}

const DispatchCase DISPATCH_CASES[] = {
    {"EscapeIsCancel",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.PressEscape(); },
     {"cancel"},
     IDCANCEL},
    {"EnterWithHiddenDefaultOkRunsExchangeThenEnds",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.PressEnter(); },
     {"ok", "ddx:save"},
     IDOK},
    {"EnterGivesTheDefaultButtonsCommand",
     &GO_DEFAULT_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.PressEnter().PressEscape(); },
     {"go", "cancel"},
     IDCANCEL},
    {"MessageMapComesBeforeTheOkDefault",
     &PROBE_TEMPLATE,
     true,
     [](CScriptedUser& u) { u.PressEnter().PressEscape(); },
     {"mapped-ok", "cancel"},
     IDCANCEL},
    {"CancelButtonClick",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.Click(IDCANCEL); },
     {"cancel"},
     IDCANCEL},
    {"CloseBoxGoesThroughOnClose",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.CloseWindow(); },
     {"close"},
     IDCANCEL},
    {"MenuCloseGoesThroughOnClose",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.SysCommand(SC_CLOSE | 0x2); },
     {"sys:61538", "close"},
     IDCANCEL},
    {"OtherMenuCommandOnlyReachesOnSysCommand",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.SysCommand(16).PressEscape(); },
     {"sys:16", "cancel"},
     IDCANCEL},
    {"MappedButtonThenEscape",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.Click(ID_GO).PressEscape(); },
     {"go", "cancel"},
     IDCANCEL},
    {"LinkClickIsItsOwnNotification",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.Click(ID_LINK).PressEscape(); },
     {"link", "cancel"},
     IDCANCEL},
    {"CheckBoxClickTogglesBeforeTheHandler",
     &PROBE_TEMPLATE,
     false,
     [](CScriptedUser& u) { u.Click(ID_FLAG).Click(ID_FLAG).PressEscape(); },
     {"flag:1", "flag:0", "cancel"},
     IDCANCEL},
};

INSTANTIATE_TEST_SUITE_P(Headless, DispatchTest, ::testing::ValuesIn(DISPATCH_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HeadlessTest, FailedCreationReturnsMinusOneAndDeliversNothingPosted) {
    CProbeDialog dialog;
    dialog.onCreate = [](CProbeDialog& d) {
        d.PostCommand(ID_GO);
        d.SetTimer(1, 10);
        return -1;
    };

    EXPECT_EQ(dialog.DoModal(), -1);

    EXPECT_EQ(dialog.log, (std::vector<std::string>{"create"}));
    ASSERT_EQ(backend.Dialogs().size(), 1u);
    EXPECT_TRUE(backend.Dialogs()[0].ended);
    EXPECT_EQ(backend.Dialogs()[0].result, -1);
    EXPECT_FALSE(dialog.IsRunning());
}

TEST_F(HeadlessTest, CloseRequestedInCreationIsServedAfterInitialisation) {
    CProbeDialog dialog;
    dialog.onCreate = [](CProbeDialog& d) {
        d.PostCommand(IDCANCEL);
        return 0;
    };

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_EQ(dialog.log, (std::vector<std::string>{"create", "init", "ddx:load", "cancel"}));
}

TEST_F(HeadlessTest, EndingDuringInitialisationSkipsTheLoop) {
    CProbeDialog dialog;
    dialog.onInit = [](CProbeDialog& d) {
        d.SetTimer(1, 10);
        d.EndDialog(42);
        d.EndDialog(43);  // a dialog ends once
    };

    EXPECT_EQ(dialog.DoModal(), 42);

    EXPECT_EQ(dialog.log, (std::vector<std::string>{"create", "init", "ddx:load"}));
    EXPECT_EQ(NowMs(), 0);
}

TEST_F(HeadlessTest, PostedCommandRunsAfterTheHandlerAndBeforeADueTimer) {
    CProbeDialog dialog;
    dialog.onInit = [](CProbeDialog& d) { d.SetTimer(7, 10); };
    dialog.onGo = [this](CProbeDialog& d) {
        d.PostCommand(IDCANCEL);
        clock.Advance(50'000);  // the handler works past the timer's due time
        d.Note("go-returns");
    };
    User().Click(ID_GO);

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_EQ(dialog.log, (std::vector<std::string>{"create", "init", "ddx:load", "go",
                                                    "go-returns", "cancel"}));
}

TEST_F(HeadlessTest, PostedCloseRunsOnClose) {
    CProbeDialog dialog;
    dialog.onGo = [](CProbeDialog& d) { d.PostClose(); };
    User().Click(ID_GO);

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_EQ(dialog.log.back(), "close");
}

TEST_F(HeadlessTest, DialogCanRunAgainAfterItEnded) {
    CProbeDialog dialog;
    User().PressEscape().PressEnter();

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

}  // namespace
