// The Qt backend on the offscreen platform: geometry from dialog units, controls from their
// templates, clicks and keys reaching the dialog, timers and nested loops, message boxes, and
// the conversion of chooser filters.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>

#include "../ProbeDialog.h"
#include "platform/text/WideText.h"
#include "platform/ui/qt/DialogUnits.h"
#include "platform/ui/qt/FileFilter.h"
#include "platform/ui/qt/QtBackend.h"
#include "platform/ui/qt/QtDialogWindow.h"

namespace {

struct FilterCase {
    std::u16string_view mfc;
    std::u16string_view qt;
};

TEST(QtFileFilterTest, MfcFilterBecomesQtNameFilters) {
    const FilterCase cases[] = {
        {u"Firmware File|*.kmx|All Files|*.*||", u"Firmware File (*.kmx);;All Files (*)"},
        {u"EEPROM File|*.kdx|All Files|*.*||", u"EEPROM File (*.kdx);;All Files (*)"},
        {u"Images|*.png;*.bmp||", u"Images (*.png *.bmp)"},
        {u"Text|*.txt", u"Text (*.txt)"},
        {u"Text|*.txt||Ignored|*.x||", u"Text (*.txt)"},
        {u"", u""},
    };
    for (const FilterCase& c : cases) {
        EXPECT_EQ(QtFileFilter(c.mfc), c.qt) << ToUtf8(c.mfc);
    }
}

TEST(DialogUnitsTest, UnitsBecomePixelsRoundedFromTheBaseUnits) {
    // A font whose 52 letters span 312 pixels and whose height is 13: base units 6 x 13.
    const BaseUnits base = BaseUnitsFromMetrics(312, 13);
    EXPECT_EQ(base.horizontal, 6);
    EXPECT_EQ(base.vertical, 13);
    EXPECT_EQ(BaseUnitsFromMetrics(350, 15).horizontal, 7);  // 6.73 per letter rounds up

    EXPECT_EQ(DialogUnitsToPixels(7, 7, 123, 65, base), QRect(11, 11, 185, 106));
    EXPECT_EQ(DialogUnitsToPixels(0, 0, 272, 79, base), QRect(0, 0, 408, 128));
    EXPECT_EQ(DialogUnitsToPixels(145, 21, 63, 59, {7, 16}), QRect(254, 42, 110, 118));
}

int Scaled(int units, int base, int divisor) {
    return static_cast<int>(std::floor(units * base / static_cast<double>(divisor) + 0.5));
}

class QtDialogTest : public ::testing::Test {
protected:
    void SetUp() override { InstallUiBackend(&backend); }
    void TearDown() override { InstallUiBackend(nullptr); }

    // Runs the dialog; once its loop runs, calls action with its window.
    int Run(CProbeDialog& dialog, std::function<void(CQtDialogWindow&)> action) {
        QTimer::singleShot(0, [&dialog, action] {
            CQtDialogWindow* window = CQtUiBackend::WindowOf(dialog);
            ASSERT_NE(window, nullptr);
            action(*window);
        });
        return dialog.DoModal();
    }

    CQtUiBackend backend;
};

TEST_F(QtDialogTest, WindowAndControlsFollowTheTemplate) {
    CProbeDialog dialog;
    dialog.onInit = [](CProbeDialog& d) {
        for (const char16_t* name : {u"yMOR", u"KQ-VTR", u"ZTRNWQ5"}) {
            d.AddComboString(ID_COMBO, name);
        }
        d.SetDlgItemText(ID_LOG, u"Sync complete\r\nErase begin\r\n");
    };
    Run(dialog, [&](CQtDialogWindow& window) {
        const QFontMetrics metrics(window.font());
        const int letters = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        const BaseUnits base = window.Units();
        EXPECT_EQ(base.horizontal, (letters / 26 + 1) / 2);
        EXPECT_EQ(base.vertical, metrics.height());
        EXPECT_EQ(window.size(),
                  QSize(Scaled(272, base.horizontal, 4), Scaled(191, base.vertical, 8)));

        for (int id : {ID_GO, ID_FLAG, ID_LOG, ID_PROGRESS, ID_LINK}) {
            const ControlTemplate& c =
                *std::find_if(std::begin(PROBE_CONTROLS), std::end(PROBE_CONTROLS),
                              [id](const ControlTemplate& t) { return t.id == id; });
            const QRect expected(Scaled(c.x, base.horizontal, 4), Scaled(c.y, base.vertical, 8),
                                 Scaled(c.width, base.horizontal, 4),
                                 Scaled(c.height, base.vertical, 8));
            EXPECT_EQ(window.Control(id)->geometry(), expected) << id;
        }

        EXPECT_TRUE(window.Control(IDOK)->isHidden());
        EXPECT_TRUE(window.Control(ID_GO)->isVisible());
        auto* indicator = qobject_cast<QCheckBox*>(window.Control(ID_INDICATOR));
        ASSERT_NE(indicator, nullptr);
        EXPECT_FALSE(indicator->isEnabled());
        EXPECT_EQ(indicator->layoutDirection(), Qt::RightToLeft);
        auto* log = qobject_cast<QPlainTextEdit*>(window.Control(ID_LOG));
        ASSERT_NE(log, nullptr);
        EXPECT_TRUE(log->isReadOnly());
        EXPECT_EQ(log->toPlainText(), QStringLiteral("Sync complete\nErase begin\n"));
        EXPECT_EQ(dialog.GetDlgItemText(ID_LOG), u"Sync complete\r\nErase begin\r\n");
        // A time stamp ends in a lone line feed before the log's "\r\n": no blank line shows,
        // and the text reads back exactly as set, so appending keeps it unchanged.
        const std::u16string stamped = u"Start Update: Fri Dec 11 03:52:06 2026\n\r\nDo not\r\n";
        dialog.SetDlgItemText(ID_LOG, stamped);
        EXPECT_EQ(log->toPlainText(),
                  QStringLiteral("Start Update: Fri Dec 11 03:52:06 2026\nDo not\n"));
        EXPECT_EQ(dialog.GetDlgItemText(ID_LOG), stamped);
        auto* combo = qobject_cast<QComboBox*>(window.Control(ID_COMBO));
        ASSERT_NE(combo, nullptr);
        EXPECT_TRUE(combo->isEditable());
        EXPECT_EQ(combo->itemText(0), QStringLiteral("KQ-VTR"));
        EXPECT_EQ(combo->itemText(2), QStringLiteral("ZTRNWQ5"));
        EXPECT_EQ(combo->currentText(), QString());
        EXPECT_GE(combo->maxVisibleItems(), 1);
        EXPECT_EQ(window.findChild<QGroupBox*>()->title(), QStringLiteral("Bramlet"));
        dialog.SetProgressPos(ID_PROGRESS, 250);
        EXPECT_EQ(dialog.GetProgressPos(ID_PROGRESS), 100);
        dialog.EndDialog(IDOK);
    });
}

struct ActionCase {
    const char* name;
    std::function<void(CQtDialogWindow&)> action;
    std::string expectedEvent;
    int expectedResult;
};

void PrintTo(const ActionCase& c, std::ostream* os) {
    *os << c.name;
}

class QtActionTest : public QtDialogTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(QtActionTest, UserActionReachesTheDialog) {
    CProbeDialog dialog;
    dialog.onGo = [](CProbeDialog& d) { d.EndDialog(77); };

    const int result = Run(dialog, GetParam().action);

    EXPECT_EQ(result, GetParam().expectedResult);
    ASSERT_FALSE(dialog.log.empty());
    EXPECT_EQ(dialog.log.back(), GetParam().expectedEvent);
}

const ActionCase ACTION_CASES[] = {
    {"ClickMappedButton",
     [](CQtDialogWindow& w) { QTest::mouseClick(w.Control(ID_GO), Qt::LeftButton); }, "go", 77},
    {"EscapeKey", [](CQtDialogWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); }, "cancel",
     IDCANCEL},
    {"EnterKeyGivesHiddenDefaultOk",
     [](CQtDialogWindow& w) { QTest::keyClick(w.Control(ID_FIELD), Qt::Key_Return); }, "ddx:save",
     IDOK},
    {"CloseBox", [](CQtDialogWindow& w) { w.close(); }, "close", IDCANCEL},
    {"PostedCommand", [](CQtDialogWindow& w) { w.PostCommand(ID_GO); }, "go", 77},
};

INSTANTIATE_TEST_SUITE_P(Qt, QtActionTest, ::testing::ValuesIn(ACTION_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

constexpr DialogTemplate INNER_TEMPLATE = {600, u"Inner", u"MS Shell Dlg", 8,
                                           100, 50,       DS_NONE,         PROBE_CONTROLS};

TEST_F(QtDialogTest, OuterTimerKeepsFiringWhileAnInnerDialogRuns) {
    CProbeDialog outer;
    CProbeDialog inner(INNER_TEMPLATE);
    int ticksDuringInner = 0;
    int innerResult = 0;
    outer.onInit = [](CProbeDialog& d) {
        d.SetTimer(1, 5);
        d.PostCommand(ID_GO);
    };
    outer.onGo = [&](CProbeDialog& d) {
        innerResult = inner.DoModal();
        d.EndDialog(IDOK);
    };
    outer.onTimer = [&](CProbeDialog&, unsigned) {
        if (inner.IsRunning() && ++ticksDuringInner == 3) {
            inner.EndDialog(55);
        }
    };

    EXPECT_EQ(outer.DoModal(), IDOK);

    EXPECT_EQ(innerResult, 55);
    EXPECT_EQ(ticksDuringInner, 3);
    EXPECT_EQ(inner.log, (std::vector<std::string>{"create", "init", "ddx:load"}));
}

struct BoxCase {
    const char* name;
    unsigned type;
    QMessageBox::StandardButton press;
    int expectedAnswer;
};

void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << c.name;
}

class QtMessageBoxTest : public QtDialogTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(QtMessageBoxTest, BoxHasNoIconTheCaptionAndTheButtonsOfItsType) {
    const BoxCase& c = GetParam();
    QString caption;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(c.press)->click();
    });

    const int answer =
        TheUiBackend().MessageBox(nullptr, u"Bramlet needs to be updated", u"WARNING", c.type);

    EXPECT_EQ(answer, c.expectedAnswer);
    EXPECT_EQ(caption, QStringLiteral("WARNING"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    const bool yesNo = (c.type & MB_TYPEMASK) == MB_YESNO;
    EXPECT_EQ(buttons, yesNo ? (QMessageBox::Yes | QMessageBox::No)
                             : QMessageBox::StandardButtons(QMessageBox::Ok));
}

const BoxCase BOX_CASES[] = {
    {"Ok", MB_OK, QMessageBox::Ok, IDOK},
    {"Yes", MB_YESNO | MB_SYSTEMMODAL, QMessageBox::Yes, IDYES},
    {"No", MB_YESNO, QMessageBox::No, IDNO},
};

INSTANTIATE_TEST_SUITE_P(Qt, QtMessageBoxTest, ::testing::ValuesIn(BOX_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QtFileChooserTest, PathMustExistRefusesAMissingFolderButNotAMissingFile) {
    struct Case {
        std::u16string path;
        unsigned options;
        bool acceptable;
    };
    const Case cases[] = {
        {u"/no-such-folder/a.kmx", OFN_PATHMUSTEXIST, false},
        {u"/tmp/no-such-file.kmx", OFN_PATHMUSTEXIST, true},
        {u"/tmp", OFN_PATHMUSTEXIST, true},
        {u"/no-such-folder/a.kmx", 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooserPathAcceptable(c.path, c.options), c.acceptable) << ToUtf8(c.path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();  // listing needs no display
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
