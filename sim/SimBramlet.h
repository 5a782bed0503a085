// The simulated Bramlet dongles described by a state file: which are plugged in, in library
// order, each with its bridge chip and target. Passive: Update brings everything up to the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimLink.h"
#include "sim/SimStateFile.h"
#include "sim/SimTrace.h"

// Builds the target behind a newly plugged dongle from its "target" object; CreateSimTarget
// unless a test puts its own targets behind the dongles.
using SimTargetFactory = std::function<std::unique_ptr<ISimTarget>(const nlohmann::json&)>;

// One dongle as plugged in. It stays the same object while its state file entry stays the same;
// any change to the entry made by someone else is an unplug followed by a plug of a new dongle.
class CSimDongle {
public:
    CSimDongle(const nlohmann::json& entry, std::size_t fileIndex, const SimTargetFactory& factory);

    const SimDongleConfig& Config() const { return config; }
    const nlohmann::json& Entry() const { return entry; }
    std::size_t FileIndex() const { return fileIndex; }
    CSimLink& Link() { return link; }
    ISimTarget& Target() { return link.Target(); }

    // Gone for good: unplugged by the target, or its entry removed or changed in the file. A gone
    // dongle never comes back; changing its entry plugs a new one.
    bool Gone() const { return removed || link.Unplugged(); }
    bool Present() const { return !Gone() && config.attached; }

    bool open = false;  // held by a library handle

private:
    friend class CSimBramlet;

    nlohmann::json entry;
    SimDongleConfig config;
    std::size_t fileIndex;
    CSimLink link;
    bool removed = false;
    nlohmann::json savedTarget;  // the target object as last written to the file
};

class CSimBramlet {
public:
    // tracePath empty: no trace. The trace's times count from the clock's time now.
    CSimBramlet(const std::string& stateFile, const std::string& tracePath = {},
                SimTargetFactory factory = CreateSimTarget);

    // Re-reads the state file when it changed (plugging and unplugging dongles), runs every
    // link up to the clock's time, and writes changed target state back to the file.
    void Update();

    // Dongles plugged in, in library order: entries of the file in their order, leaving out
    // those not attached or unplugged. Valid until the next Update.
    std::size_t DeviceCount() const { return devices.size(); }
    const std::shared_ptr<CSimDongle>& Device(std::size_t index) const { return devices[index]; }
    CSimDongle& Dongle(std::size_t index) { return *devices[index]; }
    ISimTarget& Target(std::size_t index) { return devices[index]->Target(); }
    // Earliest pending event over all plugged dongles; -1 when none.
    std::int64_t NextEventTime() const;

    CSimStateFile& StateFile() { return stateFile; }
    CSimTrace& Trace() { return trace; }

private:
    void Reconcile();
    void SaveTargets();

    CSimStateFile stateFile;
    CSimTrace trace;
    SimTargetFactory factory;
    std::uint64_t seenGeneration = 0;
    std::vector<std::shared_ptr<CSimDongle>> dongles;  // one per file entry, in file order
    std::vector<std::shared_ptr<CSimDongle>> devices;
};
