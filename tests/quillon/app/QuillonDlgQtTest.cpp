// The main window on the Qt backend (offscreen platform): its template becomes real controls in
// their places, a click on Connect reaches the handler, and the watch timer notices an unplug.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "platform/text/WideText.h"
#include "platform/ui/qt/DialogUnits.h"
#include "platform/ui/qt/QtBackend.h"
#include "platform/ui/qt/QtDialogWindow.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/app/QuillonDlg.h"
#include "quillon/app/Resources.h"
#include "quillon/link/BridgePort.h"
#include "tests/support/TempDir.h"

namespace {

class QuillonDlgQt : public testing::Test {
protected:
    void SetUp() override {
        InstallUiBackend(&backend);
        state = dir.File("bramlet.json");
        CTempDir::Write(state, R"({"dongles":[{"serial":"0020000417"}]})");
        library = std::make_unique<CSimUsbBridge>(state);
        InstallUsbBridge(library.get());
    }
    void TearDown() override {
        bridgePort.Close();
        InstallUsbBridge(nullptr);
        InstallUiBackend(nullptr);
    }

    // Runs the main window and calls action with its Qt window once its loop runs.
    void Run(std::function<void(CQtDialogWindow&)> action) {
        CQuillonDlg dlg;
        QTimer::singleShot(0, [&dlg, action] {
            CQtDialogWindow* window = CQtUiBackend::WindowOf(dlg);
            if (window != nullptr) {
                action(*window);
            }
            dlg.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }

    CQtUiBackend backend;
    CTempDir dir;
    std::string state;
    std::unique_ptr<CSimUsbBridge> library;
};

TEST_F(QuillonDlgQt, BuildsEveryControlOfTheTemplateInItsPlace) {
    bool ran = false;
    Run([&](CQtDialogWindow& window) {
        ran = true;
        EXPECT_EQ(window.windowTitle(), "Quillon");
        for (const ControlTemplate& control : QUILLON_DIALOG_TEMPLATE.controls) {
            QWidget* widget = window.Control(control.id);
            ASSERT_NE(widget, nullptr) << control.id;
            const QRect expected = DialogUnitsToPixels(control.x, control.y, control.width,
                                                       control.height, window.Units());
            if (control.kind == ControlKind::ComboBox) {
                // A drop-down's template height is that of its open list.
                EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft()) << control.id;
                EXPECT_EQ(widget->width(), expected.width()) << control.id;
            } else {
                EXPECT_EQ(widget->geometry(), expected) << control.id;
            }
        }
        EXPECT_TRUE(window.Control(IDOK)->isHidden());
        EXPECT_FALSE(window.Control(IDCANCEL)->isHidden());
        EXPECT_FALSE(window.Control(IDC_CONNECTED_CHECK)->isEnabled());
        auto* serial = qobject_cast<QLineEdit*>(window.Control(IDC_SERIAL_BOX));
        ASSERT_NE(serial, nullptr);
        EXPECT_TRUE(serial->isReadOnly());
        auto* combo = qobject_cast<QComboBox*>(window.Control(IDC_MODEL_COMBO));
        ASSERT_NE(combo, nullptr);
        EXPECT_TRUE(combo->isEditable());
        ASSERT_EQ(combo->count(), 16);
        EXPECT_EQ(combo->itemText(0), "KM7-HS21");
        EXPECT_EQ(combo->itemText(12), "KQ-VTR");
        EXPECT_EQ(combo->itemText(15), "ZTRNWQ5");
        EXPECT_EQ(combo->currentIndex(), -1) << "the list starts without a selection";
        EXPECT_EQ(combo->currentText(), "");
    });
    EXPECT_TRUE(ran);
}

TEST_F(QuillonDlgQt, ConnectClickShowsTheSerialAndTheWatchTimerSeesTheUnplug) {
    bool ran = false;
    Run([&](CQtDialogWindow& window) {
        ran = true;
        auto* check = qobject_cast<QCheckBox*>(window.Control(IDC_CONNECTED_CHECK));
        auto* serial = qobject_cast<QLineEdit*>(window.Control(IDC_SERIAL_BOX));
        ASSERT_TRUE(check != nullptr && serial != nullptr);
        QTest::mouseClick(window.Control(IDC_CONNECT), Qt::LeftButton);
        EXPECT_TRUE(check->isChecked());
        EXPECT_EQ(serial->text(), "0020000417");

        CTempDir::Write(state + ".new", R"({"dongles":[]})");
        std::filesystem::rename(state + ".new", state);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !check->isChecked(); }, 5000));
        EXPECT_EQ(serial->text(), "");
    });
    EXPECT_TRUE(ran);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
