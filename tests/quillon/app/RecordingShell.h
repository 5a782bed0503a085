// A shell that records what would have been started or opened, for tests.
#pragma once

#include <string>
#include <vector>

#include "platform/shell/Shell.h"

class CRecordingShell final : public IShell {
public:
    bool OpenProgram(const std::u16string& path) override {
        programs.push_back(path);
        return false;
    }
    bool OpenAddress(const std::u16string& address) override {
        addresses.push_back(address);
        return true;
    }

    std::vector<std::u16string> programs;
    std::vector<std::u16string> addresses;
};
