// The sample firmware files, sent record by record to the target their state file describes:
// the reassembled image equals the sample binary and the target then reports the file's
// version; the bad-checksum sample is refused at its damaged record.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "sim/target/GenericTarget.h"
#include "tests/sim/target/TargetDriver.h"

namespace {

const std::string SAMPLES = QUILLON_SAMPLES_DIR;

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

nlohmann::json TargetObject(const std::string& model) {
    std::ifstream in(SAMPLES + "/sim/" + model + ".json");
    nlohmann::json state = nlohmann::json::parse(in, nullptr, false);
    EXPECT_FALSE(state.is_discarded()) << model;
    EXPECT_EQ(state["dongles"][0]["serial"].get<std::string>().rfind("002", 0), 0u);
    return state["dongles"][0]["target"];
}

std::vector<std::string> Records(const std::vector<std::string>& lines) {
    std::vector<std::string> records;
    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == ':') {
            records.push_back(line);
        }
    }
    return records;
}

struct SampleCase {
    std::string model;
    std::string version;
};

class SampleFile : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SampleFile, UpdatesTargetToImageAndVersion) {
    const SampleCase& c = GetParam();
    std::string stem =
        SAMPLES + "/Vellmar/UpdateFiles/" + c.model + "/" + c.model + "-" + c.version;
    std::vector<std::string> lines = Lines(stem + ".kmx");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), c.model + " " + c.version);

    CGenericTarget target(ReadTargetSettings(TargetObject(c.model)));
    CTargetDriver host(target);
    host.BeginTransfer();
    host.SendRecords(Records(lines));
    host.Write("[cmd<update>end]");
    EXPECT_NE(host.output.Text().find("[res<update>complete][res<update>end]"), std::string::npos);
    EXPECT_EQ(target.Image(), Bytes(stem + ".bin"));
    EXPECT_EQ(target.FirmwareVersion(), c.version);
}

INSTANTIATE_TEST_SUITE_P(Models, SampleFile,
                         ::testing::Values(SampleCase{"KM7-HS21", "1.05"},
                                           SampleCase{"KM8-HS43", "2.10"},
                                           SampleCase{"yMOR", "1.21"},
                                           SampleCase{"ZTRNWQ5", "3.02"}),
                         [](const auto& info) {
                             std::string name = info.param.model;
                             std::erase(name, '-');
                             return name;
                         });

TEST(SampleFile, BadChecksumSampleIsRefusedAtItsDamagedRecord) {
    CGenericTarget target(ReadTargetSettings(TargetObject("KM7-HS21")));
    CTargetDriver host(target);
    host.BeginTransfer();
    host.output.Clear();
    host.SendRecords(
        Records(Lines(SAMPLES + "/Vellmar/UpdateFiles/KM7-HS21/KM7-HS21-1.05-badsum.kmx")));
    host.Write("[cmd<update>end]");
    // Sixteen packets per block for this boot loader: one block acknowledged, then the error.
    EXPECT_EQ(host.output.Text(), "[res<update>ok]\n[res<update>error]kmx-cksum");
    EXPECT_EQ(target.PacketsReceived(), 21);
    EXPECT_EQ(target.FirmwareVersion(), "1.04");
}

}  // namespace
