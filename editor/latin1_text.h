#pragma once
// Model names are 8-bit text, one byte a character, read as Latin-1 where a
// format wants Unicode (JSON).

#include "system_text.h"  // Latin1ToUtf8, which the settings file needs too

#include <optional>
#include <string>

namespace zentab {

// nullopt when the text holds a character beyond U+00FF or is not UTF-8.
std::optional<std::string> Utf8ToLatin1(const std::string& text);

}  // namespace zentab
