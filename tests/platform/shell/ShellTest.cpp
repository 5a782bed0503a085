// Path mapping and resolution against the current directory.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/shell/Shell.h"
#include "platform/text/WideText.h"

namespace {

struct MappingCase {
    const char* programFiles;  // nullptr: variable unset
    std::u16string windowsPath;
    std::u16string expected;
};

class MapWindowsPathTest : public testing::TestWithParam<MappingCase> {};

TEST_P(MapWindowsPathTest, MapsProgramFilesAndSlashes) {
    const MappingCase& c = GetParam();
    if (c.programFiles == nullptr) {
        unsetenv("QUILLON_PROGRAM_FILES");
    } else {
        setenv("QUILLON_PROGRAM_FILES", c.programFiles, 1);
    }
    EXPECT_EQ(ToUtf8(MapWindowsPath(c.windowsPath)), ToUtf8(c.expected));
    unsetenv("QUILLON_PROGRAM_FILES");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapWindowsPathTest,
    testing::Values(MappingCase{nullptr, u"C:\\Program Files\\Vellmar\\UpdateFiles\\KM7-HS21",
                                u"/opt/Vellmar/UpdateFiles/KM7-HS21"},
                    MappingCase{"/srv/pf", u"C:\\Program Files\\Vellmar\\UpdateFiles\\",
                                u"/srv/pf/Vellmar/UpdateFiles/"},
                    MappingCase{"", u"C:\\Program Files", u"/opt"},
                    MappingCase{nullptr, u"D:\\Firmware\\a.kmx", u"D:/Firmware/a.kmx"},
                    MappingCase{nullptr, u"/home/tech/a.kmx", u"/home/tech/a.kmx"}));

// Runs the body with the current directory set to a fresh folder whose path has the given length
// at least, and restores the old directory afterwards.
class FullPathTest : public testing::Test {
protected:
    void EnterFolder(std::size_t minimumLength) {
        old = std::filesystem::current_path();
        std::filesystem::path dir = std::filesystem::temp_directory_path() / "quillon-shell";
        while (dir.string().size() < minimumLength) {
            dir /= "deeper-folder";
        }
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        folder = dir.string();
    }
    void TearDown() override {
        if (!old.empty()) {
            std::filesystem::current_path(old);
        }
    }
    std::filesystem::path old;
    std::string folder;
};

TEST_F(FullPathTest, ShortPathFitsTheFirstBuffer) {
    chdir("/tmp");
    char16_t buffer[40] = {};
    const unsigned written = GetFullPathName(u"Bramlet Update.exe", 40, buffer);
    EXPECT_EQ(ToUtf8(buffer), "/tmp/Bramlet Update.exe");
    EXPECT_EQ(written, 23u);
}

TEST_F(FullPathTest, LongPathReportsTheSizeItNeedsThenResolves) {
    EnterFolder(60);
    const std::string expected = folder + "/Bramlet Update.exe";
    char16_t small[40] = {u'x'};
    const unsigned needed = GetFullPathName(u"Bramlet Update.exe", 40, small);
    EXPECT_EQ(needed, expected.size() + 1);
    EXPECT_EQ(small[0], u'x') << "nothing is written into a buffer that is too small";
    std::u16string large(needed, u'\0');
    EXPECT_EQ(GetFullPathName(u"Bramlet Update.exe", needed, large.data()), expected.size());
    EXPECT_EQ(ToUtf8(large.c_str()), expected);
}

TEST_F(FullPathTest, ExactFitNeedsRoomForTheTerminatingZero) {
    chdir("/tmp");
    char16_t buffer[24] = {};
    EXPECT_EQ(GetFullPathName(u"Bramlet Update.exe", 23, buffer), 24u);
    EXPECT_EQ(GetFullPathName(u"Bramlet Update.exe", 24, buffer), 23u);
}

}  // namespace
