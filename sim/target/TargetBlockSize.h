// How many record packets a target takes per block: the same rule the host applies when it
// picks its block size from the model and the boot-loader version.
#pragma once

#include <string>

int TargetRecordsPerBlock(const std::string& model, const std::string& bootloader);
