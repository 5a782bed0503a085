// Runs of the real bramlet-update executable, with its real waits, in a scratch working directory
// against a scratch simulator state file: missing file, invalid file, and the sample file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "tests/bridgeupdate/TempDir.h"

namespace {

const std::string PROMPT =
    "Vellmar\nBramlet firmware update\n\nConnect the Bramlet and press ENTER to start the "
    "update...\nPlease wait...\n";

const char* const STATE = R"({"dongles": [{"serial": "0010000001", "product": "Bramlet"}]})";

struct ProcessRun {
    std::string output;
    int exitStatus = -1;
};

// Starts the program with stdin at end of file and an argument it must ignore; collects stdout.
ProcessRun RunProgram(const std::string& program, const std::filesystem::path& workDir,
                      const std::string& stateFile) {
    ProcessRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_RDONLY);
        if (chdir(workDir.c_str()) != 0 || nothing < 0) {
            _exit(126);
        }
        dup2(nothing, STDIN_FILENO);
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        setenv("BRAMLET_SIMULATOR", stateFile.c_str(), 1);
        execl(program.c_str(), program.c_str(), "--ignored", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    char buffer[256];
    ssize_t count = 0;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        run.output.append(buffer, static_cast<std::size_t>(count));
    }
    close(pipeEnds[0]);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.exitStatus = WEXITSTATUS(status);
    }
    return run;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class BramletUpdateProcess : public testing::Test {
protected:
    CTempDir dir;
    std::string stateFile = dir.Write("state.json", STATE);
};

TEST_F(BramletUpdateProcess, MissingFile) {
    const ProcessRun run = RunProgram(BRAMLET_UPDATE_PATH, dir.Path(), stateFile);
    EXPECT_EQ(run.output, PROMPT + "File failed to open.\n\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(ReadFile(stateFile), STATE);
}

TEST_F(BramletUpdateProcess, InvalidFile) {
    const std::string sample = ReadFile(SAMPLE_PARAMETERS_PATH);
    dir.Write("deviceparameters.txt", sample.substr(0, sample.find("[Port]")) + "[Port]\n0\n");
    const ProcessRun run = RunProgram(BRAMLET_UPDATE_PATH, dir.Path(), stateFile);
    EXPECT_EQ(run.output, PROMPT + "\tInvalid file parameter\n\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(ReadFile(stateFile), STATE);
}

// Started by the name Quillon uses, the sample file rewrites the simulated dongle.
TEST_F(BramletUpdateProcess, SampleFileAgainstSimulator) {
    std::filesystem::copy_file(SAMPLE_PARAMETERS_PATH, dir.Path() / "deviceparameters.txt");
    const std::string linkName =
        (std::filesystem::path(BRAMLET_UPDATE_PATH).parent_path() / "Bramlet Update.exe").string();
    const ProcessRun run = RunProgram(linkName, dir.Path(), stateFile);
    EXPECT_EQ(run.output, PROMPT +
                              "\tUpdate to version 2 successfull :>\n"
                              "\tPlease reconnect the Bramlet to PC\n");
    EXPECT_EQ(run.exitStatus, 0);
    const nlohmann::json dongle = nlohmann::json::parse(ReadFile(stateFile))["dongles"][0];
    EXPECT_EQ(dongle["serial"], "0020000100");
    EXPECT_EQ(dongle["vid"], 0x10C4);
    EXPECT_EQ(dongle["pid"], 0xEA61);
    EXPECT_EQ(dongle["version"], 0x0200);
    EXPECT_EQ(dongle["port_config"], "54CEFFCB54CE00");
}

}  // namespace
