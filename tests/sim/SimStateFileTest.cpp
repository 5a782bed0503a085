// The state file: defaults of a dongle entry, change detection and locked atomic modification.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "sim/SimStateFile.h"
#include "tests/support/TempDir.h"

using Json = nlohmann::json;

namespace {

struct EntryCase {
    const char* name;
    const char* entry;
    SimDongleConfig expected;
};

SimDongleConfig With(void (*change)(SimDongleConfig&)) {
    SimDongleConfig config;
    change(config);
    return config;
}

const EntryCase ENTRY_CASES[] = {
    {"empty", "{}", {}},
    {"not_an_object", "[1,2]", {}},
    {"all_keys",
     R"({"serial":"0019","serial_readable":false,"product":"Dongle X","vid":4660,"pid":22136,
         "power":200,"version":513,"port_config":"0102030405060A","attached":false,
         "target":{"model":"KM7-HS21"}})",
     With([](SimDongleConfig& c) {
         c.serial = "0019";
         c.serialReadable = false;
         c.product = "Dongle X";
         c.vid = 0x1234;
         c.pid = 0x5678;
         c.power = 200;
         c.version = 0x0201;
         c.portConfig = {1, 2, 3, 4, 5, 6, 0x0A};
         c.attached = false;
         c.target = Json{{"model", "KM7-HS21"}};
     })},
    {"port_config_valid", R"({"port_config":"54ceFFcb54CE00"})",
     With([](SimDongleConfig& c) { c.portConfig = {0x54, 0xCE, 0xFF, 0xCB, 0x54, 0xCE, 0x00}; })},
    {"mistyped_keys_take_defaults",
     R"({"serial":12,"serial_readable":"no","vid":"10C4","power":1.5,"target":"x"})",
     {}},
    {"out_of_range_numbers_take_defaults", R"({"vid":65536,"pid":-1,"power":256})", {}},
    {"port_config_wrong_length", R"({"port_config":"54CEFF"})", {}},
    {"port_config_bad_digit", R"({"port_config":"54CEFFCB54CEG0"})", {}},
};

class DongleEntry : public testing::TestWithParam<EntryCase> {};

TEST_P(DongleEntry, TakesValuesOrDefaults) {
    const SimDongleConfig got = ParseDongle(Json::parse(GetParam().entry));
    const SimDongleConfig& want = GetParam().expected;
    EXPECT_EQ(got.serial, want.serial);
    EXPECT_EQ(got.serialReadable, want.serialReadable);
    EXPECT_EQ(got.product, want.product);
    EXPECT_EQ(got.vid, want.vid);
    EXPECT_EQ(got.pid, want.pid);
    EXPECT_EQ(got.power, want.power);
    EXPECT_EQ(got.version, want.version);
    EXPECT_EQ(got.portConfig, want.portConfig);
    EXPECT_EQ(got.attached, want.attached);
    EXPECT_EQ(got.target, want.target);
}

INSTANTIATE_TEST_SUITE_P(Cases, DongleEntry, testing::ValuesIn(ENTRY_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DongleEntry, StoreThenParseRoundTripsAndKeepsOtherKeys) {
    SimDongleConfig config;
    config.serial = "0010000042";
    config.portConfig = {1, 2, 3, 4, 5, 0xAB, 0xFF};
    config.target = Json{{"firmware", "1.2"}};
    Json entry = Json{{"note", "kept"}};
    StoreDongle(config, entry);
    EXPECT_EQ(entry["port_config"], "0102030405ABFF");
    EXPECT_EQ(entry["note"], "kept");
    const SimDongleConfig back = ParseDongle(entry);
    EXPECT_EQ(back.serial, config.serial);
    EXPECT_EQ(back.portConfig, config.portConfig);
    EXPECT_EQ(back.target, config.target);
}

class StateFile : public testing::Test {
protected:
    CTempDir temp;
    std::string path = temp.File("state.json");
};

TEST_F(StateFile, MissingFileMeansNoDongles) {
    CSimStateFile file(path);
    EXPECT_EQ(file.DongleCount(), 0u);
    EXPECT_TRUE(file.RawDongle(0).is_null());
}

TEST_F(StateFile, RefreshSeesExternalRewriteOnlyWhenContentChanges) {
    CTempDir::Write(path, R"({"dongles":[{"serial":"0020000001"}]})");
    CSimStateFile file(path);
    ASSERT_EQ(file.DongleCount(), 1u);
    const std::uint64_t first = file.Generation();
    EXPECT_FALSE(file.Refresh());

    CTempDir::Write(path, R"({"dongles":[{"serial":"0010000001"},{}]})");
    EXPECT_TRUE(file.Refresh());
    EXPECT_EQ(file.DongleCount(), 2u);
    EXPECT_EQ(file.Dongle(0).serial, "0010000001");
    EXPECT_GT(file.Generation(), first);

    std::remove(path.c_str());
    EXPECT_TRUE(file.Refresh());
    EXPECT_EQ(file.DongleCount(), 0u);
}

TEST_F(StateFile, HalfWrittenFileKeepsLastGoodContentUntilRepaired) {
    CTempDir::Write(path, R"({"dongles":[{"serial":"0020000001"}]})");
    CSimStateFile file(path);
    CTempDir::Write(path, R"({"dongles":[{"ser)");
    EXPECT_FALSE(file.Refresh());
    EXPECT_EQ(file.DongleCount(), 1u);
    EXPECT_EQ(file.Modify([](Json& root) { root["x"] = 1; }), SIM_FILE_UNREADABLE);
    EXPECT_EQ(CTempDir::Read(path), R"({"dongles":[{"ser)");

    CTempDir::Write(path, R"({"dongles":[]})");
    EXPECT_TRUE(file.Refresh());
    EXPECT_EQ(file.DongleCount(), 0u);
}

TEST_F(StateFile, ModifyDongleWritesThroughAndRejectsMissingIndex) {
    CTempDir::Write(path, R"({"dongles":[{"serial":"0010000001"}]})");
    CSimStateFile writer(path);
    CSimStateFile reader(path);
    EXPECT_EQ(writer.ModifyDongle(0, [](Json& entry) { entry["serial"] = "0020000009"; }),
              SIM_FILE_OK);
    EXPECT_EQ(writer.Dongle(0).serial, "0020000009");
    EXPECT_FALSE(writer.Refresh());  // its own write is already known
    EXPECT_TRUE(reader.Refresh());
    EXPECT_EQ(reader.Dongle(0).serial, "0020000009");
    EXPECT_EQ(writer.ModifyDongle(1, [](Json& entry) { entry["serial"] = "x"; }),
              SIM_FILE_NO_DONGLE);
}

// Writers in parallel, each with its own object (as separate processes would have): no
// increment may be lost.
TEST_F(StateFile, ConcurrentModificationsAreNotLost) {
    CTempDir::Write(path, R"({"dongles":[{"count":0},{"count":0}]})");
    constexpr int WRITERS = 4;
    constexpr int INCREMENTS = 50;
    std::vector<std::thread> writers;
    for (int w = 0; w < WRITERS; ++w) {
        writers.emplace_back([&, w] {
            CSimStateFile file(path);
            for (int i = 0; i < INCREMENTS; ++i) {
                ASSERT_EQ(
                    file.ModifyDongle(
                        w % 2, [](Json& entry) { entry["count"] = entry["count"].get<int>() + 1; }),
                    SIM_FILE_OK);
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    CSimStateFile file(path);
    EXPECT_EQ(file.RawDongle(0)["count"], WRITERS * INCREMENTS / 2);
    EXPECT_EQ(file.RawDongle(1)["count"], WRITERS * INCREMENTS / 2);
}

}  // namespace
