// The GUI path on the Qt offscreen platform: Connect, choose the model, Go, Update Firmware,
// pick the file in the chooser, and the update runs to its end against the simulated Bramlet.
// A screenshot of the updater during the transfer is left in the build tree.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "platform/text/WideText.h"
#include "platform/ui/qt/QtBackend.h"
#include "platform/ui/qt/QtDialogWindow.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/app/QuillonDlg.h"
#include "quillon/app/Resources.h"
#include "quillon/dialogs/Cymor.h"
#include "quillon/link/BridgePort.h"
#include "sim/target/GenericTarget.h"
#include "tests/support/TempDir.h"

namespace {

const std::string SAMPLES = QUILLON_SAMPLES_DIR;
const std::string STEM = SAMPLES + "/Vellmar/UpdateFiles/KM7-HS21/KM7-HS21-1.05";
const QString SCREENSHOT = QStringLiteral(QUILLON_SCREENSHOT_DIR "/cymor-transfer.png");
constexpr int POLL_MS = 20;

std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Clicks from a fresh event: Go runs the updater in a nested loop, and a timer's handler that is
// still running would keep the poller from firing inside it.
void Click(CQtDialogWindow& window, int id) {
    auto* button = qobject_cast<QPushButton*>(window.Control(id));
    ASSERT_NE(button, nullptr) << id;
    QTimer::singleShot(0, button, &QPushButton::click);
}

// Plays the technician: acts on whatever modal window is in front, once per poll.
class CTechnician {
public:
    explicit CTechnician(CQuillonDlg& main) : main(main) {}

    void Poll() {
        // The offscreen platform activates no window, so look at the visible ones: the chooser
        // first, then the updater, then the main window.
        CQtDialogWindow* updater = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible()) {
                continue;
            }
            if (auto* chooser = qobject_cast<QFileDialog*>(widget)) {
                chooser->selectFile(QString::fromStdString(STEM + ".kmx"));
                static_cast<QDialog*>(chooser)->accept();
                return;
            }
            auto* window = dynamic_cast<CQtDialogWindow*>(widget);
            if (window != nullptr && window->windowTitle() == QStringLiteral("KM7-HS21")) {
                updater = window;
            }
        }
        if (updater != nullptr) {
            OnUpdater(*updater);
        } else if (CQtDialogWindow* window = CQtUiBackend::WindowOf(main)) {
            OnMainWindow(*window);
        }
    }

    std::u16string log;
    bool screenshot = false;

private:
    void OnMainWindow(CQtDialogWindow& window) {
        if (updaterSeen) {
            static_cast<QDialog&>(window).reject();
            return;
        }
        if (goClicked) {
            return;
        }
        goClicked = true;
        Click(window, IDC_CONNECT);
        qobject_cast<QComboBox*>(window.Control(IDC_MODEL_COMBO))
            ->setEditText(QStringLiteral("KM7-HS21"));
        Click(window, IDC_GO);
    }

    void OnUpdater(CQtDialogWindow& window) {
        if (!updaterSeen) {
            updaterSeen = true;
            Click(window, IDC_UPDATE_FIRMWARE);
            return;
        }
        const int progress = window.ProgressPos(IDC_PROGRESS_BAR);
        if (!screenshot && progress >= 30 && progress < 100) {
            QDir().mkpath(QStringLiteral(QUILLON_SCREENSHOT_DIR));
            screenshot = window.grab().save(SCREENSHOT);
        }
        log = window.ItemText(IDC_LOG_BOX);
        if (log.find(u"Update Successful, OK to disconnect\r\n") != std::u16string::npos ||
            log.find(u"error") != std::u16string::npos) {
            static_cast<QDialog&>(window).reject();
        }
    }

    CQuillonDlg& main;
    bool goClicked = false;
    bool updaterSeen = false;
};

TEST(CymorQtTest, GoToFinishedUpdate) {
    CTempDir dir;
    std::ifstream in(SAMPLES + "/sim/KM7-HS21.json");
    nlohmann::json state = nlohmann::json::parse(in);
    state["dongles"][0]["target"]["erase_ms"] = 50;
    CTempDir::Write(dir.File("state.json"), state.dump());
    CSimUsbBridge library(dir.File("state.json"));
    InstallUsbBridge(&library);
    CQtUiBackend backend;
    InstallUiBackend(&backend);

    CQuillonDlg main;
    CTechnician technician(main);
    QTimer poller;
    QObject::connect(&poller, &QTimer::timeout, [&] { technician.Poll(); });
    poller.start(POLL_MS);
    main.DoModal();
    poller.stop();
    bridgePort.Close();

    EXPECT_NE(ToUtf8(technician.log).find("Firmware transfer complete\r\nEnd Update: "),
              std::string::npos)
        << ToUtf8(technician.log);
    EXPECT_TRUE(technician.screenshot);
    library.Bramlet().Update();
    auto& target = dynamic_cast<CGenericTarget&>(library.Bramlet().Target(0));
    EXPECT_EQ(target.Image(), Bytes(STEM + ".bin"));
    EXPECT_EQ(target.FirmwareVersion(), "1.05");

    InstallUiBackend(nullptr);
    InstallUsbBridge(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
