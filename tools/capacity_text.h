#pragma once
// Capacities as typed on the command line.

#include <cstdint>
#include <optional>
#include <string>

namespace zentab::cli {

// A plain number, or whole gigabytes or terabytes as "2000G" or "2T", as
// the LBA it stands for. Stricter than the window's field: text after the
// letter ("2T5") and counts whose LBA would leave 64 bits are refused
// rather than read as something else.
std::optional<std::int64_t> ParseLbaText(const std::string& text);

}  // namespace zentab::cli
