// The headless event loop on the virtual clock: timers by id, the end of a dialog, nested
// modal loops and the safety limit.
#include <gtest/gtest.h>

#include "ProbeDialog.h"

namespace {

// Records the virtual time of every tick of each timer id.
struct TickLog {
    std::vector<std::pair<unsigned, std::int64_t>> ticks;
    int Count(unsigned id) const {
        return static_cast<int>(std::count_if(ticks.begin(), ticks.end(),
                                              [id](const auto& t) { return t.first == id; }));
    }
};

TEST_F(HeadlessTest, PeriodicTimerTicksEveryPeriodUntilTheDialogEnds) {
    CProbeDialog dialog;
    TickLog log;
    dialog.onInit = [](CProbeDialog& d) { d.SetTimer(5, 100); };
    dialog.onTimer = [&](CProbeDialog& d, unsigned id) {
        log.ticks.emplace_back(id, NowMs());
        if (log.ticks.size() == 3) {
            d.EndDialog(IDOK);
        }
    };

    EXPECT_EQ(dialog.DoModal(), IDOK);

    const std::vector<std::pair<unsigned, std::int64_t>> expected = {{5, 100}, {5, 200}, {5, 300}};
    EXPECT_EQ(log.ticks, expected);
}

// The updater's pattern: each tick stops its timer and arms it again with the next delay.
TEST_F(HeadlessTest, TimerSetAgainRestartsFromNowWithTheNewPeriod) {
    CProbeDialog dialog;
    const unsigned delays[] = {2, 5, 10, 50};
    std::vector<std::int64_t> tickTimes;
    dialog.onInit = [](CProbeDialog& d) { d.SetTimer(11, 10); };
    dialog.onTimer = [&](CProbeDialog& d, unsigned id) {
        d.KillTimer(id);
        tickTimes.push_back(NowMs());
        if (tickTimes.size() <= std::size(delays)) {
            d.SetTimer(id, delays[tickTimes.size() - 1]);
        } else {
            d.EndDialog(IDOK);
        }
    };

    EXPECT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(tickTimes, (std::vector<std::int64_t>{10, 12, 17, 27, 77}));
}

TEST_F(HeadlessTest, KilledTimerNeverTicksAgain) {
    CProbeDialog dialog;
    TickLog log;
    dialog.onInit = [](CProbeDialog& d) {
        d.SetTimer(1, 10);
        d.SetTimer(2, 35);
    };
    dialog.onTimer = [&](CProbeDialog& d, unsigned id) {
        log.ticks.emplace_back(id, NowMs());
        if (id == 1) {
            d.KillTimer(1);
        } else {
            d.EndDialog(IDOK);
        }
    };

    dialog.DoModal();

    EXPECT_EQ(log.Count(1), 1);
    EXPECT_EQ(log.Count(2), 1);
}

// A handler that blocks for many periods gets one late tick, not a burst.
TEST_F(HeadlessTest, LateTimerTicksOnceThenResumesItsPeriod) {
    CProbeDialog dialog;
    std::vector<std::int64_t> tickTimes;
    dialog.onInit = [](CProbeDialog& d) { d.SetTimer(1, 100); };
    dialog.onTimer = [&](CProbeDialog& d, unsigned) {
        tickTimes.push_back(NowMs());
        if (tickTimes.size() == 1) {
            clock.Advance(450'000);
        } else if (tickTimes.size() == 3) {
            d.EndDialog(IDOK);
        }
    };

    dialog.DoModal();

    EXPECT_EQ(tickTimes, (std::vector<std::int64_t>{100, 550, 650}));
}

TEST_F(HeadlessTest, EndedDialogGetsNoTickOrPostedCommand) {
    CProbeDialog dialog;
    dialog.onInit = [](CProbeDialog& d) {
        d.SetTimer(1, 10);
        d.SetTimer(2, 10);  // due together with timer 1
    };
    dialog.onTimer = [](CProbeDialog& d, unsigned) {
        d.PostCommand(ID_GO);
        d.EndDialog(IDOK);
        d.SetTimer(3, 1);  // refused: the dialog has ended
    };

    EXPECT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(dialog.log, (std::vector<std::string>{"create", "init", "ddx:load", "timer:1"}));
}

constexpr DialogTemplate INNER_TEMPLATE = {600, u"Inner", u"MS Shell Dlg", 8,
                                           100, 50,       DS_NONE,         PROBE_CONTROLS};

TEST_F(HeadlessTest, OuterTimerKeepsTickingWhileAnInnerDialogRuns) {
    CProbeDialog outer;
    CProbeDialog inner(INNER_TEMPLATE);
    int ticksDuringInner = 0;
    int innerResult = 0;
    outer.onInit = [](CProbeDialog& d) { d.SetTimer(1, 100); };
    outer.onTimer = [&](CProbeDialog&, unsigned) {
        if (inner.IsRunning()) {
            ++ticksDuringInner;
        }
    };
    outer.onGo = [&](CProbeDialog&) { innerResult = inner.DoModal(); };
    User()
        .Click(ID_GO)
        .WaitForDialog(600)
        .Wait(450)
        .Do([](CDialog& top) { EXPECT_EQ(top.Template().id, 600); })
        .PressEscape()  // ends the inner dialog
        .Wait(250)
        .PressEscape();

    EXPECT_EQ(outer.DoModal(), IDCANCEL);

    EXPECT_EQ(ticksDuringInner, 4);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(outer.log.back(), "cancel");
    EXPECT_EQ(inner.log.back(), "cancel");
    EXPECT_EQ(NowMs(), 700);
    ASSERT_EQ(backend.Dialogs().size(), 2u);
    EXPECT_EQ(backend.Dialogs()[0].templateId, 500);
    EXPECT_EQ(backend.Dialogs()[1].templateId, 600);
    EXPECT_TRUE(User().Finished());
}

TEST_F(HeadlessTest, WaitUntilIsAskedAgainAfterEachEvent) {
    CProbeDialog dialog;
    int ticks = 0;
    dialog.onInit = [](CProbeDialog& d) { d.SetTimer(1, 30); };
    dialog.onTimer = [&](CProbeDialog&, unsigned) { ++ticks; };
    User().WaitUntil([&] { return ticks == 4; }).PressEscape();

    dialog.DoModal();

    EXPECT_EQ(NowMs(), 120);
}

TEST_F(HeadlessTest, TimeLimitEndsEveryRunningDialogWithCancel) {
    backend.SetTimeLimit(1000);
    CProbeDialog outer;
    CProbeDialog inner(INNER_TEMPLATE);
    int innerResult = 0;
    outer.onInit = [](CProbeDialog& d) { d.SetTimer(1, 100); };
    outer.onGo = [&](CProbeDialog&) { innerResult = inner.DoModal(); };
    User().Click(ID_GO);

    EXPECT_EQ(outer.DoModal(), IDCANCEL);

    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_TRUE(backend.LimitHit());
    EXPECT_EQ(NowMs(), 1000);
}

TEST_F(HeadlessTest, RunWithNothingLeftToHappenEndsAtOnce) {
    CProbeDialog dialog;
    User().Click(ID_GO);

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_TRUE(backend.LimitHit());
    EXPECT_EQ(NowMs(), 0);
    EXPECT_EQ(dialog.log.back(), "go");
}

TEST_F(HeadlessTest, LimitStaysHitForLaterDialogs) {
    CProbeDialog first;
    first.DoModal();
    CProbeDialog second;
    second.onInit = [](CProbeDialog& d) { d.SetTimer(1, 10); };

    EXPECT_EQ(second.DoModal(), IDCANCEL);

    EXPECT_EQ(second.log, (std::vector<std::string>{"create", "init", "ddx:load"}));
}

}  // namespace
