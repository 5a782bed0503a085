// The console dialogue on the virtual clock: its texts byte for byte, what has been flushed at
// each wait and at the read, the waits themselves, and the exit status of every outcome.
#include <gtest/gtest.h>

#include <cstdint>
#include <istream>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bridgeupdate/ConsoleDriver.h"
#include "bridgeupdate/DeviceParameters.h"
#include "platform/clock/Clock.h"
#include "tests/bridgeupdate/RecordingBridgeConfig.h"
#include "tests/support/TempDir.h"

namespace {

// Output that remembers, at each flush, the text written since the last one and the clock time.
class CFlushLog : public std::stringbuf {
public:
    using Chunk = std::pair<std::string, std::int64_t>;
    std::vector<Chunk> chunks;
    std::string Flushed() const { return str().substr(0, flushedLength); }

protected:
    int sync() override {
        const std::string all = str();
        chunks.emplace_back(all.substr(flushedLength), TheClock().NowMillis());
        flushedLength = all.size();
        return 0;
    }

private:
    std::size_t flushedLength = 0;
};

// Standard input at end of file, remembering what the user had been shown when it was read.
class CEndOfInput : public std::streambuf {
public:
    explicit CEndOfInput(const CFlushLog& log) : log(log) {}
    std::vector<std::string> shownAtRead;

protected:
    int_type underflow() override {
        shownAtRead.push_back(log.Flushed());
        return traits_type::eof();
    }

private:
    const CFlushLog& log;
};

const std::string PROMPT =
    "Vellmar\nBramlet firmware update\n\nConnect the Bramlet and press ENTER to start the "
    "update...\n";
const std::string WAIT = "Please wait...\n";

const std::string GOOD_FILE =
    "[VID]\n?10C4\n[PID]\n?EA61\n[Product String]\n?Bramlet\n[Serial Number]\n?0020001\n"
    "[Bus Power]\n?50\n[Device Version]\n?1.0\n[Port]\n?0\n";

class ConsoleDriverTest : public testing::Test {
protected:
    ConsoleDriverTest() { InstallClock(&clock); }
    ~ConsoleDriverTest() override { InstallClock(nullptr); }

    std::string ParametersPath() const { return (dir.Path() / DEVICE_PARAMETERS_FILE).string(); }

    CVirtualClock clock;
    CTempDir dir;
    CRecordingBridgeConfig library;
    CFlushLog log;
    std::ostream out{&log};
};

struct DialogueCase {
    const char* name;
    // nullptr: no parameters file.
    const char* file;
    std::uint32_t numDevices;
    const char* failingCall;
    std::string outcome;
    std::int64_t outcomeAtMillis;
    std::size_t libraryCalls;
};

// Test names show the case, not its bytes.
void PrintTo(const DialogueCase& c, std::ostream* os) {
    *os << c.name;
}

const DialogueCase DIALOGUE_CASES[] = {
    {"FileMissing", nullptr, 1, "", "File failed to open.\n\n", 10000, 0},
    {"FileInvalid", "[VID]\n10C4\n", 1, "", "\tInvalid file parameter\n\n", 10000, 0},
    {"NoDevice", GOOD_FILE.c_str(), 0, "", "Device not found.\n", 10000, 1},
    {"Success", GOOD_FILE.c_str(), 1, "",
     "\tUpdate to version 2 successfull :>\n\tPlease reconnect the Bramlet to PC\n", 10100, 17},
    {"Failure", GOOD_FILE.c_str(), 1, "SetPid", "\tUpdate to version 2 unsuccessfull :<\n", 10100,
     17},
};

class DialogueTest : public ConsoleDriverTest, public testing::WithParamInterface<DialogueCase> {};

TEST_P(DialogueTest, WritesTextsWaitsAndExitsWithZero) {
    const DialogueCase& c = GetParam();
    if (c.file != nullptr) {
        dir.Put(DEVICE_PARAMETERS_FILE, c.file);
    }
    library.numDevices = c.numDevices;
    if (*c.failingCall != '\0') {
        library.statusOf[c.failingCall] = CONFIG_INVALID_PARAMETER;
    }
    CEndOfInput input(log);
    std::istream in(&input);

    EXPECT_EQ(RunBramletUpdate(in, out, library, ParametersPath()), 0);

    const std::vector<CFlushLog::Chunk> expected = {
        {PROMPT, 0}, {WAIT, 0}, {c.outcome, c.outcomeAtMillis}};
    EXPECT_EQ(log.chunks, expected);
    EXPECT_EQ(input.shownAtRead, std::vector<std::string>{PROMPT});
    EXPECT_EQ(clock.NowMillis(), c.outcomeAtMillis + 3000);
    EXPECT_EQ(library.calls.size(), c.libraryCalls);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, DialogueTest, testing::ValuesIn(DIALOGUE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConsoleDriverTest, TypedLineConsumesOnlyItsFirstCharacter) {
    std::istringstream in("abc\n");
    EXPECT_EQ(RunBramletUpdate(in, out, library, ParametersPath()), 0);
    EXPECT_EQ(log.str(), PROMPT + WAIT + "File failed to open.\n\n");
    EXPECT_EQ(in.get(), 'b');
}

}  // namespace
