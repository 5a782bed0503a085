// Reading, change detection and locked atomic rewriting of the simulator's state file.
#include "sim/SimStateFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>

namespace {

using Json = nlohmann::json;

const Json NULL_ENTRY;

template <typename T>
T IntegerOr(const Json& entry, const char* key, T fallback) {
    const auto it = entry.find(key);
    if (it == entry.end() || !it->is_number_integer()) {
        return fallback;
    }
    const std::int64_t value = it->get<std::int64_t>();
    if (value < 0 || value > std::int64_t{std::numeric_limits<T>::max()}) {
        return fallback;
    }
    return static_cast<T>(value);
}

bool BoolOr(const Json& entry, const char* key, bool fallback) {
    const auto it = entry.find(key);
    return it != entry.end() && it->is_boolean() ? it->get<bool>() : fallback;
}

std::string TextOr(const Json& entry, const char* key, const char* fallback) {
    const auto it = entry.find(key);
    return it != entry.end() && it->is_string() ? it->get<std::string>() : std::string(fallback);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::int64_t Nanos(const timespec& t) {
    return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

std::string Serialise(const Json& document) {
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

// Holds an exclusive flock on the sidecar lock file for its lifetime.
class CFileLock {
public:
    explicit CFileLock(const std::string& lockPath)
        : fd(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        if (fd >= 0 && flock(fd, LOCK_EX) != 0) {
            close(fd);
            fd = -1;
        }
    }
    ~CFileLock() {
        if (fd >= 0) {
            close(fd);  // releases the lock
        }
    }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    bool Held() const { return fd >= 0; }

private:
    int fd;
};

}  // namespace

SimDongleConfig ParseDongle(const Json& entry) {
    SimDongleConfig config;
    if (!entry.is_object()) {
        return config;
    }
    config.serial = TextOr(entry, SIM_KEY_SERIAL, SIM_DEFAULT_SERIAL);
    config.serialReadable = BoolOr(entry, SIM_KEY_SERIAL_READABLE, SIM_DEFAULT_SERIAL_READABLE);
    config.product = TextOr(entry, SIM_KEY_PRODUCT, SIM_DEFAULT_PRODUCT);
    config.vid = IntegerOr<std::uint16_t>(entry, SIM_KEY_VID, SIM_DEFAULT_VID);
    config.pid = IntegerOr<std::uint16_t>(entry, SIM_KEY_PID, SIM_DEFAULT_PID);
    config.power = IntegerOr<std::uint8_t>(entry, SIM_KEY_POWER, SIM_DEFAULT_POWER);
    config.version = IntegerOr<std::uint16_t>(entry, SIM_KEY_VERSION, SIM_DEFAULT_VERSION);
    config.attached = BoolOr(entry, SIM_KEY_ATTACHED, SIM_DEFAULT_ATTACHED);
    const std::string portHex = TextOr(entry, SIM_KEY_PORT_CONFIG, "");
    if (!PortConfigFromHex(portHex, config.portConfig)) {
        config.portConfig = SIM_DEFAULT_PORT_CONFIG;
    }
    const auto target = entry.find(SIM_KEY_TARGET);
    if (target != entry.end() && target->is_object()) {
        config.target = *target;
    }
    return config;
}

void StoreDongle(const SimDongleConfig& config, Json& entry) {
    if (!entry.is_object()) {
        entry = Json::object();
    }
    entry[SIM_KEY_SERIAL] = config.serial;
    entry[SIM_KEY_SERIAL_READABLE] = config.serialReadable;
    entry[SIM_KEY_PRODUCT] = config.product;
    entry[SIM_KEY_VID] = config.vid;
    entry[SIM_KEY_PID] = config.pid;
    entry[SIM_KEY_POWER] = config.power;
    entry[SIM_KEY_VERSION] = config.version;
    entry[SIM_KEY_PORT_CONFIG] = PortConfigToHex(config.portConfig);
    entry[SIM_KEY_ATTACHED] = config.attached;
    entry[SIM_KEY_TARGET] = config.target;
}

std::string PortConfigToHex(const SimPortConfig& config) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : config) {
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 0x0F];
    }
    return text;
}

bool PortConfigFromHex(const std::string& text, SimPortConfig& config) {
    if (text.size() != 2 * SIM_PORT_CONFIG_SIZE) {
        return false;
    }
    SimPortConfig parsed{};
    for (std::size_t i = 0; i < SIM_PORT_CONFIG_SIZE; ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        parsed[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    config = parsed;
    return true;
}

CSimStateFile::CSimStateFile(std::string path) : path(std::move(path)) {
    Refresh();
}

std::size_t CSimStateFile::DongleCount() const {
    if (!root.is_object()) {
        return 0;
    }
    const auto dongles = root.find(SIM_KEY_DONGLES);
    return dongles != root.end() && dongles->is_array() ? dongles->size() : 0;
}

const Json& CSimStateFile::RawDongle(std::size_t index) const {
    if (index >= DongleCount()) {
        return NULL_ENTRY;
    }
    return root.find(SIM_KEY_DONGLES)->at(index);
}

CSimStateFile::FileSignature CSimStateFile::Stat() const {
    struct stat info {};
    FileSignature signature;
    if (stat(path.c_str(), &info) != 0) {
        return signature;
    }
    signature.exists = true;
    signature.inode = info.st_ino;
    signature.size = info.st_size;
    signature.mtimeNs = Nanos(info.st_mtim);
    signature.ctimeNs = Nanos(info.st_ctim);
    return signature;
}

bool CSimStateFile::Load(Json& document) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        // Vanished between stat and open: no dongle attached.
        document = Json{{SIM_KEY_DONGLES, Json::array()}};
        return true;
    }
    std::ostringstream text;
    text << in.rdbuf();
    document = Json::parse(text.str(), nullptr, false);
    return !document.is_discarded() && document.is_object();
}

bool CSimStateFile::Store(const Json& document) {
    static std::atomic<unsigned> counter = 0;
    const std::string temporary =
        path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(++counter);
    const std::string text = Serialise(document);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void CSimStateFile::Accept(Json document, const FileSignature& signature) {
    if (!loaded || document != root) {
        root = std::move(document);
        ++generation;
    }
    seen = signature;
    loaded = true;
}

bool CSimStateFile::Refresh() {
    const FileSignature signature = Stat();
    if (loaded && signature == seen) {
        return false;
    }
    Json document = Json{{SIM_KEY_DONGLES, Json::array()}};
    if (signature.exists && !Load(document)) {
        return false;  // keep the last good content; try again next time
    }
    const std::uint64_t before = generation;
    Accept(std::move(document), signature);
    return generation != before;
}

int CSimStateFile::Modify(const std::function<void(Json& root)>& edit) {
    CFileLock lock(path + ".lock");
    if (!lock.Held()) {
        return SIM_FILE_LOCK_FAILED;
    }
    const FileSignature before = Stat();
    Json document = Json{{SIM_KEY_DONGLES, Json::array()}};
    if (before.exists && !Load(document)) {
        return SIM_FILE_UNREADABLE;
    }
    Json edited = document;
    edit(edited);
    if (edited == document) {
        Accept(std::move(document), before);
        return SIM_FILE_OK;
    }
    if (!Store(edited)) {
        return SIM_FILE_WRITE_FAILED;
    }
    Accept(std::move(edited), Stat());
    return SIM_FILE_OK;
}

int CSimStateFile::ModifyDongle(std::size_t index, const std::function<void(Json& entry)>& edit) {
    bool found = false;
    const int result = Modify([&](Json& document) {
        const auto dongles = document.find(SIM_KEY_DONGLES);
        if (dongles == document.end() || !dongles->is_array() || index >= dongles->size()) {
            return;
        }
        found = true;
        edit((*dongles)[index]);
    });
    if (result == SIM_FILE_OK && !found) {
        return SIM_FILE_NO_DONGLE;
    }
    return result;
}
