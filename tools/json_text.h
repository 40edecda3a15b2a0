#pragma once
// JSON text in the layout show --json has always printed, so that scripts
// comparing outputs see no change: keys sorted, four blanks per level, every
// array element and object member on its own line, an empty array as "[",
// newline, "]", and a newline at the end.

#include <nlohmann/json.hpp>

#include <string>

namespace zentab::cli {

std::string IndentedJson(const nlohmann::json& document);

}  // namespace zentab::cli
