// The block size rule: early KM7-HS21 boot loaders take 10 packets, later ones 16; KM8-HS21 and
// ZTRNWQ5 take 16; every other model 10.
#include "sim/target/TargetBlockSize.h"

#include <array>

namespace {
constexpr int SMALL_BLOCK = 10;
constexpr int LARGE_BLOCK = 16;
constexpr std::array<const char*, 5> EARLY_KM7_HS21_BOOTLOADERS{"r1", "r2", "r3", "r4", "r5"};
constexpr std::array<const char*, 2> LARGE_BLOCK_MODELS{"KM8-HS21", "ZTRNWQ5"};
}  // namespace

int TargetRecordsPerBlock(const std::string& model, const std::string& bootloader) {
    if (model == "KM7-HS21") {
        for (const char* early : EARLY_KM7_HS21_BOOTLOADERS) {
            if (bootloader == early) {
                return SMALL_BLOCK;
            }
        }
        return LARGE_BLOCK;
    }
    for (const char* large : LARGE_BLOCK_MODELS) {
        if (model == large) {
            return LARGE_BLOCK;
        }
    }
    return SMALL_BLOCK;
}
