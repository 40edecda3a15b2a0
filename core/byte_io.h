#pragma once
// Little-endian reads and writes at the image's position; every module field
// goes through these.

#include "module_image.h"

#include <cstdint>

namespace zentab {

std::uint8_t ReadByte(ModuleImage& image);
std::uint16_t ReadWord(ModuleImage& image);
std::uint32_t ReadDWord(ModuleImage& image);
std::uint64_t ReadQWord(ModuleImage& image);

void WriteByte(ModuleImage& image, std::uint8_t value);
void WriteDWord(ModuleImage& image, std::uint32_t value);
void WriteQWord(ModuleImage& image, std::uint64_t value);

// Plain decoding of a little-endian word from memory; inline, since the
// checksum runs it over every word of the image.
inline std::uint32_t LoadDWord(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace zentab
