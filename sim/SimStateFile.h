// The simulator's state file: the JSON list of attached dongles that several processes share.
// Reads it, notices when it changed on disk, and changes it atomically under a lock.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

// Keys of a dongle entry, and the defaults a missing or mistyped key takes.
constexpr const char* SIM_KEY_DONGLES = "dongles";
constexpr const char* SIM_KEY_SERIAL = "serial";
constexpr const char* SIM_KEY_SERIAL_READABLE = "serial_readable";
constexpr const char* SIM_KEY_PRODUCT = "product";
constexpr const char* SIM_KEY_VID = "vid";
constexpr const char* SIM_KEY_PID = "pid";
constexpr const char* SIM_KEY_POWER = "power";
constexpr const char* SIM_KEY_VERSION = "version";
constexpr const char* SIM_KEY_PORT_CONFIG = "port_config";
constexpr const char* SIM_KEY_ATTACHED = "attached";
constexpr const char* SIM_KEY_TARGET = "target";

constexpr const char* SIM_DEFAULT_SERIAL = "0020000001";
constexpr bool SIM_DEFAULT_SERIAL_READABLE = true;
constexpr const char* SIM_DEFAULT_PRODUCT = "Bramlet";
constexpr std::uint16_t SIM_DEFAULT_VID = 0x10C4;
constexpr std::uint16_t SIM_DEFAULT_PID = 0xEA60;
constexpr std::uint8_t SIM_DEFAULT_POWER = 50;  // in 2 mA units: 100 mA
constexpr std::uint16_t SIM_DEFAULT_VERSION = 0x0100;
constexpr bool SIM_DEFAULT_ATTACHED = true;

constexpr std::size_t SIM_PORT_CONFIG_SIZE = 7;
using SimPortConfig = std::array<std::uint8_t, SIM_PORT_CONFIG_SIZE>;
constexpr SimPortConfig SIM_DEFAULT_PORT_CONFIG{0, 0, 0, 0, 0, 0, 0};

// One dongle entry with every default applied.
struct SimDongleConfig {
    std::string serial = SIM_DEFAULT_SERIAL;
    bool serialReadable = SIM_DEFAULT_SERIAL_READABLE;
    std::string product = SIM_DEFAULT_PRODUCT;
    std::uint16_t vid = SIM_DEFAULT_VID;
    std::uint16_t pid = SIM_DEFAULT_PID;
    std::uint8_t power = SIM_DEFAULT_POWER;
    std::uint16_t version = SIM_DEFAULT_VERSION;
    SimPortConfig portConfig = SIM_DEFAULT_PORT_CONFIG;
    bool attached = SIM_DEFAULT_ATTACHED;
    nlohmann::json target = nlohmann::json::object();
};

// Typed view of a raw entry; anything that is not an object gives all defaults.
SimDongleConfig ParseDongle(const nlohmann::json& entry);
// Writes every typed key into a raw entry; other keys of the entry stay as they are.
void StoreDongle(const SimDongleConfig& config, nlohmann::json& entry);
// Port configuration as 14 hex digits (two per byte, upper case) and back. Parsing accepts
// upper or lower case and fails on any other length or character.
std::string PortConfigToHex(const SimPortConfig& config);
bool PortConfigFromHex(const std::string& text, SimPortConfig& config);

// Results of CSimStateFile::Modify.
enum SimFileResult : int {
    SIM_FILE_OK = 0,
    SIM_FILE_LOCK_FAILED = 1,
    SIM_FILE_UNREADABLE = 2,  // the file holds no valid JSON object; it is left untouched
    SIM_FILE_WRITE_FAILED = 3,
    SIM_FILE_NO_DONGLE = 4,
};

// A missing file means no dongle is attached. A file that does not parse (for example while an
// editor is half-way through writing it) leaves the last good content in force and is read again
// at the next Refresh. Not thread-safe; each process or thread uses its own object.
class CSimStateFile {
public:
    explicit CSimStateFile(std::string path);

    const std::string& Path() const { return path; }

    // Reads the file again when it changed on disk (inode, size or times differ from what was
    // seen). Returns true when the content changed.
    bool Refresh();
    // Counts content changes seen by this object, so callers can cache what they derive.
    std::uint64_t Generation() const { return generation; }

    const nlohmann::json& Root() const { return root; }
    std::size_t DongleCount() const;
    // The raw entry of dongle index (0-based, file order); null when there is no such entry.
    const nlohmann::json& RawDongle(std::size_t index) const;
    SimDongleConfig Dongle(std::size_t index) const { return ParseDongle(RawDongle(index)); }

    // Read-modify-write under an exclusive lock on "<path>.lock": reads the file fresh, lets edit
    // change the whole document, and when it changed writes a temporary file and renames it over
    // the state file. Two processes doing this never lose each other's changes.
    int Modify(const std::function<void(nlohmann::json& root)>& edit);
    // The same for one dongle entry (0-based, file order).
    int ModifyDongle(std::size_t index, const std::function<void(nlohmann::json& entry)>& edit);

private:
    struct FileSignature {
        bool exists = false;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t mtimeNs = 0;
        std::int64_t ctimeNs = 0;
        bool operator==(const FileSignature&) const = default;
    };

    FileSignature Stat() const;
    // Reads and parses the file; false when it exists but does not hold a JSON object.
    bool Load(nlohmann::json& document) const;
    bool Store(const nlohmann::json& document);
    void Accept(nlohmann::json document, const FileSignature& signature);

    std::string path;
    nlohmann::json root;
    FileSignature seen;
    bool loaded = false;
    std::uint64_t generation = 0;
};
