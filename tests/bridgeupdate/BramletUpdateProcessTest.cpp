// Runs of the real bramlet-update executable, with its real waits, in a scratch working directory
// against a scratch simulator state file: missing file and invalid file. The run with a good file
// is part of the update path test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/TempDir.h"

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
    std::string stateFile = dir.Put("state.json", STATE);
};

TEST_F(BramletUpdateProcess, MissingFile) {
    const ProcessRun run = RunProgram(BRAMLET_UPDATE_PATH, dir.Path(), stateFile);
    EXPECT_EQ(run.output, PROMPT + "File failed to open.\n\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(ReadFile(stateFile), STATE);
}

TEST_F(BramletUpdateProcess, InvalidFile) {
    const std::string sample = ReadFile(SAMPLE_PARAMETERS_PATH);
    dir.Put("deviceparameters.txt", sample.substr(0, sample.find("[Port]")) + "[Port]\n0\n");
    const ProcessRun run = RunProgram(BRAMLET_UPDATE_PATH, dir.Path(), stateFile);
    EXPECT_EQ(run.output, PROMPT + "\tInvalid file parameter\n\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(ReadFile(stateFile), STATE);
}

}  // namespace
