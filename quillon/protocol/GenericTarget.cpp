// Block sizes of the generic targets. KM7-HS21 boot-loaders r1 to r5 take 10 records per block,
// later ones 16; KM8-HS21 and ZTRNWQ5 always take 16; every other model 10.
#include "quillon/protocol/GenericTarget.h"

#include <algorithm>
#include <array>
#include <span>

int recordsPerBlock = 0;
std::u16string bootloaderVersion;

namespace {
constexpr int SMALL_BLOCK = 10;
constexpr int LARGE_BLOCK = 16;

constexpr std::u16string_view SPLIT_MODEL = u"KM7-HS21";
constexpr std::array<std::u16string_view, 5> SMALL_BLOCK_BOOTLOADERS = {u"r1", u"r2", u"r3", u"r4",
                                                                        u"r5"};
constexpr std::array<std::u16string_view, 2> LARGE_BLOCK_MODELS = {u"KM8-HS21", u"ZTRNWQ5"};

bool IsOneOf(std::u16string_view text, std::span<const std::u16string_view> set) {
    return std::find(set.begin(), set.end(), text) != set.end();
}
}  // namespace

int RecordsPerBlockFor(std::u16string_view modelName, std::u16string_view bootloader) {
    if (modelName == SPLIT_MODEL) {
        return IsOneOf(bootloader, SMALL_BLOCK_BOOTLOADERS) ? SMALL_BLOCK : LARGE_BLOCK;
    }
    return IsOneOf(modelName, LARGE_BLOCK_MODELS) ? LARGE_BLOCK : SMALL_BLOCK;
}
