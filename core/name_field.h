#pragma once
// The 24-byte model-name field of the name blocks.

#include <array>
#include <cstdint>
#include <string>

namespace zentab {

constexpr std::size_t kNameFieldSize = 24;
using NameField = std::array<std::uint8_t, kNameFieldSize>;

// Trims bytes of code 32 and below, turns every other byte outside 32..127
// into a blank, and trims again: drives pad names with blanks or zeros.
std::string DecodeNameField(const NameField& field);

// Trimmed name, blank-padded to 23 with a zero byte last; cut to 24 bytes, so
// a 24-character name fills the field with no terminator.
NameField EncodeNameField(const std::string& name);

// Drops leading and trailing bytes of code 32 and below.
std::string TrimControls(const std::string& text);

}  // namespace zentab
