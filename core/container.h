#pragma once
// The module container: two header forms (ROYL and legacy), module id 12, the
// block directory, and the checksum over the whole image.

#include "module_state.h"

#include <cstdint>

namespace zentab {

constexpr std::uint32_t kRoylSignature = 0x4C594F52;  // "ROYL"
constexpr std::uint16_t kModelListId = 12;

// Fills the directory from the header and returns the header's entry count;
// 0 when the module id is not 12 or the directory is empty.
std::uint8_t ReadModuleDirectory(ModuleImage& image, ModuleDirectory& directory);

// Recomputes and stores the checksum of the form the first four bytes select;
// leaves the position at 0.
void UpdateChecksum(ModuleImage& image);

struct ChecksumStatus {
    bool royl = false;
    std::uint32_t stored = 0;
    std::uint32_t computed = 0;
};

// What UpdateChecksum would store, and what the image holds now. Needs at
// least 4 bytes, like UpdateChecksum.
ChecksumStatus InspectChecksum(const ModuleImage& image);

}  // namespace zentab
