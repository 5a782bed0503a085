// What the generic updater keeps for the whole process: the boot-loader version of the last
// read-out and the number of record packets per block, with the rule that chooses it.
#pragma once

#include <string>
#include <string_view>

// 0 until the first successful target check.
extern int recordsPerBlock;
// Empty until a version report holds a boot-loader packet.
extern std::u16string bootloaderVersion;

// The block size for a model, given the boot-loader version it reported.
int RecordsPerBlockFor(std::u16string_view modelName, std::u16string_view bootloader);
