// The whole update path on one simulated dongle: Quillon finds a serial number that calls for the
// update, asks its two questions and, on Yes twice, starts "Bramlet Update.exe" from its current
// directory and closes; the real tool rewrites the dongle from the sample parameters file; a new
// Quillon then connects without a question and shows the new serial number.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/shell/Shell.h"
#include "platform/text/WideText.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/UiBackend.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/app/QuillonApp.h"
#include "quillon/app/Resources.h"
#include "quillon/link/BridgePort.h"
#include "tests/support/TempDir.h"

namespace {

const std::string TOOL_OUTPUT =
    "Vellmar\nBramlet firmware update\n\nConnect the Bramlet and press ENTER to start the "
    "update...\nPlease wait...\n\tUpdate to version 2 successfull :>\n"
    "\tPlease reconnect the Bramlet to PC\n";

// Starts programs directly, as on a machine without a terminal window: stdin at end of file,
// stdout into a file, working directory and environment inherited.
class CDirectShell final : public IShell {
public:
    explicit CDirectShell(std::string outputPath) : outputPath(std::move(outputPath)) {}

    bool OpenProgram(const std::u16string& path) override {
        const std::string program = ToUtf8(path);
        const pid_t child = fork();
        if (child == 0) {
            const int nothing = open("/dev/null", O_RDONLY);
            const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (nothing < 0 || output < 0) {
                _exit(126);
            }
            dup2(nothing, STDIN_FILENO);
            dup2(output, STDOUT_FILENO);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (child < 0) {
            return false;
        }
        started.push_back(child);
        return true;
    }
    bool OpenAddress(const std::u16string&) override { return false; }

    std::vector<pid_t> started;

private:
    std::string outputPath;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class UpdatePath : public testing::Test {
protected:
    UpdatePath() : oldDirectory(std::filesystem::current_path()) {
        dir.Put("state.json", R"({"dongles": [{"serial": "0010000417"}]})");
        std::filesystem::copy_file(SAMPLE_PARAMETERS_PATH, dir.Path() / "deviceparameters.txt");
        // Quillon's directory holds the link beside it, as the build output does.
        std::filesystem::create_symlink(
            std::filesystem::path(BRAMLET_UPDATE_PATH).parent_path() / "Bramlet Update.exe",
            dir.Path() / "Bramlet Update.exe");
        std::filesystem::current_path(dir.Path());
        setenv("BRAMLET_SIMULATOR", StateFile().c_str(), 1);
        InstallClock(&clock);
        InstallShell(&shell);
    }
    ~UpdatePath() override {
        InstallShell(nullptr);
        InstallClock(nullptr);
        unsetenv("BRAMLET_SIMULATOR");
        std::filesystem::current_path(oldDirectory);
    }

    std::string StateFile() const { return (dir.Path() / "state.json").string(); }

    // One start of Quillon with the user's script; returns the message boxes it showed.
    std::vector<MessageBoxRecord> RunQuillon(CHeadlessBackend& backend) {
        CSimUsbBridge library(StateFile());
        InstallUsbBridge(&library);
        InstallUiBackend(&backend);
        CQuillonApp app;
        app.InitInstance();
        InstallUiBackend(nullptr);
        InstallUsbBridge(nullptr);
        EXPECT_TRUE(backend.User().Errors().empty());
        EXPECT_EQ(bridgePort.GetHandle(), NO_BRIDGE_HANDLE);
        return backend.MessageBoxes();
    }

    CTempDir dir;
    std::filesystem::path oldDirectory;
    CVirtualClock clock;
    CDirectShell shell{(dir.Path() / "tool-output.txt").string()};
};

TEST_F(UpdatePath, YesTwiceRewritesTheDongleAndNextConnectAsksNothing) {
    CHeadlessBackend first;
    first.User().AnswerMessageBox(IDYES).AnswerMessageBox(IDYES).Click(IDC_CONNECT);
    EXPECT_EQ(RunQuillon(first).size(), 2u);
    ASSERT_EQ(first.Dialogs().size(), 1u);
    EXPECT_TRUE(first.Dialogs()[0].ended) << "Quillon closes after starting the tool";
    ASSERT_EQ(shell.started.size(), 1u);

    int status = -1;
    ASSERT_EQ(waitpid(shell.started[0], &status, 0), shell.started[0]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(dir.Path() / "tool-output.txt"), TOOL_OUTPUT);
    const nlohmann::json dongle = nlohmann::json::parse(ReadFile(StateFile()))["dongles"][0];
    EXPECT_EQ(dongle["vid"], 0x10C4);
    EXPECT_EQ(dongle["pid"], 0xEA61);
    EXPECT_EQ(dongle["product"], "Bramlet");
    EXPECT_EQ(dongle["power"], 50);
    EXPECT_EQ(dongle["version"], 0x0200);
    EXPECT_EQ(dongle["port_config"], "54CEFFCB54CE00");

    CHeadlessBackend second;
    std::u16string serial;
    int connected = -1;
    second.User()
        .Click(IDC_CONNECT)
        .Do([&](CDialog& top) {
            serial = top.GetDlgItemText(IDC_SERIAL_BOX);
            connected = top.IsDlgButtonChecked(IDC_CONNECTED_CHECK);
        })
        .CloseWindow();
    EXPECT_TRUE(RunQuillon(second).empty());
    EXPECT_EQ(ToUtf8(serial), "0020000100");
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(shell.started.size(), 1u) << "no second start of the tool";
}

}  // namespace
