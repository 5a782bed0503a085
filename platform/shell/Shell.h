// Shell services: starting a program or opening a web address with the "open" verb, the Program
// Files folder, and resolving names against the current directory.
#pragma once

#include <string>
#include <string_view>

// Contract: never waits for what it starts; returns false when the start itself failed.
class IShell {
public:
    virtual ~IShell() = default;
    // Starts a program file: in a terminal window when one is available, else directly.
    virtual bool OpenProgram(const std::u16string& path) = 0;
    virtual bool OpenAddress(const std::u16string& address) = 0;
};

// The process-wide shell, chosen once at start-up; a real one until another is installed.
IShell& TheShell();
void InstallShell(IShell* shell);

// The folder that stands for "C:\Program Files": $QUILLON_PROGRAM_FILES, else /opt.
std::u16string ProgramFilesFolder();

// Maps a Windows path onto this machine: a leading "C:\Program Files" becomes the Program Files
// folder, and backslashes become slashes.
std::u16string MapWindowsPath(std::u16string_view windowsPath);

// Resolves name against the current directory, as GetFullPathName does: when the full path and
// its terminating zero fit in bufferLength characters, writes them and returns the path's length;
// otherwise writes nothing and returns the size needed, terminating zero included. 0 on failure.
unsigned GetFullPathName(std::u16string_view name, unsigned bufferLength, char16_t* buffer);
