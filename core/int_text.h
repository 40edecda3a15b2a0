#pragma once
// Integer text as technicians type it: decimal, or hexadecimal after "$",
// "x" or "0x"; anything that does not convert falls back to the caller's
// default instead of raising an error.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentab {

// Leading blanks, one optional sign, then digits that end the text; nullopt
// for anything else or a value outside the signed 64-bit range.
std::optional<std::int64_t> ParseInt64(std::string_view text);

std::int64_t StrToInt64Def(std::string_view text, std::int64_t fallback);
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);

std::string IntToStr(std::int64_t value);

}  // namespace zentab
