#pragma once
// Model names are 8-bit text, one byte a character, read as Latin-1 where a
// format wants Unicode (JSON).

#include <optional>
#include <string>

namespace zentab {

std::string Latin1ToUtf8(const std::string& text);

// nullopt when the text holds a character beyond U+00FF or is not UTF-8.
std::optional<std::string> Utf8ToLatin1(const std::string& text);

}  // namespace zentab
