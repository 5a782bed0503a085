// Plugging, unplugging and running the simulated dongles of a state file.
#include "sim/SimBramlet.h"

#include "platform/clock/Clock.h"

CSimDongle::CSimDongle(const nlohmann::json& entry, std::size_t fileIndex,
                       const SimTargetFactory& factory)
    : entry(entry),
      config(ParseDongle(entry)),
      fileIndex(fileIndex),
      link(factory(config.target)),
      savedTarget(config.target) {}

CSimBramlet::CSimBramlet(const std::string& stateFile, const std::string& tracePath,
                         SimTargetFactory factory)
    : stateFile(stateFile), trace(tracePath, TheClock().NowMicros()), factory(std::move(factory)) {
    Reconcile();
}

void CSimBramlet::Update() {
    stateFile.Refresh();
    if (stateFile.Generation() != seenGeneration) {
        Reconcile();
    }
    const std::int64_t now = TheClock().NowMicros();
    bool changed = false;
    for (const auto& dongle : dongles) {
        if (!dongle->Gone()) {
            dongle->link.AdvanceTo(now);
            changed = changed || dongle->Gone();
        }
    }
    if (changed) {
        Reconcile();
    }
    SaveTargets();
}

void CSimBramlet::Reconcile() {
    seenGeneration = stateFile.Generation();
    std::vector<std::shared_ptr<CSimDongle>> kept;
    std::vector<std::shared_ptr<CSimDongle>> old = std::move(dongles);
    for (std::size_t i = 0; i < stateFile.DongleCount(); ++i) {
        const nlohmann::json& entry = stateFile.RawDongle(i);
        std::shared_ptr<CSimDongle> match;
        for (auto& candidate : old) {
            if (candidate && candidate->entry == entry) {
                match = std::move(candidate);
                break;
            }
        }
        if (!match) {
            match = std::make_shared<CSimDongle>(entry, i, factory);
        }
        match->fileIndex = i;
        kept.push_back(std::move(match));
    }
    for (auto& dropped : old) {
        if (dropped) {
            dropped->removed = true;
        }
    }
    dongles = std::move(kept);
    devices.clear();
    for (const auto& dongle : dongles) {
        if (dongle->Present()) {
            devices.push_back(dongle);
        }
    }
}

std::int64_t CSimBramlet::NextEventTime() const {
    std::int64_t next = -1;
    for (const auto& dongle : devices) {
        const std::int64_t at = dongle->link.NextEventTime();
        if (at >= 0 && (next < 0 || at < next)) {
            next = at;
        }
    }
    return next;
}

// The target keeps what it wants across runs (versions after an update) in its entry; only
// the process whose dongle matches the entry in the file writes it.
void CSimBramlet::SaveTargets() {
    for (const auto& dongle : dongles) {
        if (dongle->Gone()) {
            continue;
        }
        nlohmann::json target = dongle->savedTarget;
        dongle->Target().SaveState(target);
        if (target == dongle->savedTarget) {
            continue;
        }
        nlohmann::json written;
        stateFile.ModifyDongle(dongle->fileIndex, [&](nlohmann::json& entry) {
            if (entry != dongle->entry) {
                return;
            }
            entry[SIM_KEY_TARGET] = target;
            written = entry;
        });
        dongle->savedTarget = target;
        if (!written.is_null()) {
            dongle->entry = written;
        }
    }
    // Our own writes are no plugs, as the entries match again; others' changes seen meanwhile
    // are.
    if (stateFile.Generation() != seenGeneration) {
        Reconcile();
    }
}
