// The real shell: starts programs detached (in a terminal window when there is one) and opens
// web addresses with xdg-open; maps Windows folders onto this machine.
#include "platform/shell/Shell.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text/WideText.h"

namespace {

constexpr std::u16string_view WINDOWS_PROGRAM_FILES = u"C:\\Program Files";
constexpr const char* PROGRAM_FILES_VARIABLE = "QUILLON_PROGRAM_FILES";
constexpr const char* DEFAULT_PROGRAM_FILES = "/opt";

bool IsExecutableOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return false;
    }
    std::string dirs(path);
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

// Starts argv detached: the grandchild is re-parented, so nobody waits for it and no zombie is
// left. Returns false when the program could not be executed.
bool SpawnDetached(const std::vector<std::string>& argv) {
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(errorPipe[0]);
        close(errorPipe[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        signal(SIGHUP, SIG_IGN);
        const pid_t grandchild = fork();
        if (grandchild != 0) {
            _exit(grandchild < 0 ? 1 : 0);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        const int error = errno;
        (void)!write(errorPipe[1], &error, sizeof error);
        _exit(127);
    }
    close(errorPipe[1]);
    int status = 0;
    waitpid(child, &status, 0);
    int execError = 0;
    const ssize_t got = read(errorPipe[0], &execError, sizeof execError);
    close(errorPipe[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

// The terminal to run a console program in: $TERMINAL, else x-terminal-emulator, when there is
// a display to show it on.
std::string TerminalProgram() {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        return {};
    }
    if (const char* terminal = std::getenv("TERMINAL"); terminal != nullptr && *terminal != '\0') {
        return terminal;
    }
    return IsExecutableOnPath("x-terminal-emulator") ? "x-terminal-emulator" : std::string{};
}

class CRealShell final : public IShell {
public:
    bool OpenProgram(const std::u16string& path) override {
        const std::string program = ToUtf8(path);
        if (access(program.c_str(), X_OK) != 0) {
            return false;
        }
        const std::string terminal = TerminalProgram();
        if (!terminal.empty()) {
            return SpawnDetached({terminal, "-e", program});
        }
        return SpawnDetached({program});
    }

    bool OpenAddress(const std::u16string& address) override {
        return SpawnDetached({"xdg-open", ToUtf8(address)});
    }
};

CRealShell realShell;
IShell* installedShell = &realShell;

}  // namespace

IShell& TheShell() {
    return *installedShell;
}

void InstallShell(IShell* shell) {
    installedShell = shell != nullptr ? shell : &realShell;
}

std::u16string ProgramFilesFolder() {
    const char* folder = std::getenv(PROGRAM_FILES_VARIABLE);
    return FromUtf8(folder != nullptr && *folder != '\0' ? folder : DEFAULT_PROGRAM_FILES);
}

std::u16string MapWindowsPath(std::u16string_view windowsPath) {
    std::u16string path;
    if (windowsPath.substr(0, WINDOWS_PROGRAM_FILES.size()) == WINDOWS_PROGRAM_FILES) {
        path = ProgramFilesFolder();
        windowsPath.remove_prefix(WINDOWS_PROGRAM_FILES.size());
    }
    for (char16_t ch : windowsPath) {
        path.push_back(ch == u'\\' ? u'/' : ch);
    }
    return path;
}

unsigned GetFullPathName(std::u16string_view name, unsigned bufferLength, char16_t* buffer) {
    std::u16string full;
    if (name.empty() || name.front() != u'/') {
        std::vector<char> cwd(PATH_MAX);
        if (getcwd(cwd.data(), cwd.size()) == nullptr) {
            return 0;
        }
        full = FromUtf8(cwd.data());
        if (full.empty() || full.back() != u'/') {
            full.push_back(u'/');
        }
    }
    full.append(name);
    const auto length = static_cast<unsigned>(full.size());
    if (buffer == nullptr || length + 1 > bufferLength) {
        return length + 1;
    }
    full.copy(buffer, length);
    buffer[length] = u'\0';
    return length;
}
