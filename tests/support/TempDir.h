// A fresh temporary directory per test, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

class CTempDir {
public:
    CTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillon.XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        dir = made != nullptr ? made : pattern;
    }
    ~CTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return dir; }
    std::string File(const std::string& name) const { return (dir / name).string(); }

    // Writes bytes exactly as given (no line-end translation) into a file of this directory;
    // returns its path.
    std::string Put(const std::string& name, std::string_view bytes) const {
        const std::string path = File(name);
        Write(path, bytes);
        return path;
    }

    static void Write(const std::string& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path dir;
};
