#pragma once
// Capacities and maximum LBAs as typed: on the command line and in the
// window's LBA fields.

#include <cstdint>
#include <optional>
#include <string>

namespace zentab {

// A plain number, or whole gigabytes or terabytes as "2000G" or "2T", as
// the LBA it stands for. Stricter than the window's field: text after the
// letter ("2T5") and counts whose LBA would leave 64 bits are refused
// rather than read as something else.
std::optional<std::int64_t> ParseLbaText(const std::string& text);

// The value an LBA field of the window holds: empty text is 0, otherwise the
// whole text must be a number (decimal, or hexadecimal after "$", "x" or
// "0x"); nullopt for anything else, a capacity not yet converted included.
std::optional<std::int64_t> LbaFieldValue(const std::string& text);

}  // namespace zentab
