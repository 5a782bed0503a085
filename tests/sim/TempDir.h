// A fresh temporary directory per test, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

class CTempDir {
public:
    CTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "simtest.XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        dir = made != nullptr ? made : pattern;
    }
    ~CTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    std::string File(const std::string& name) const { return (dir / name).string(); }

    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path dir;
};
