#pragma once
// What Enter and the button of an LBA field do to its text: "2000G" and "2T"
// shorthand becomes the IDEMA value, and the button aligns a plain number.

#include <cstdint>
#include <optional>
#include <string>

namespace zentab {

// The text with the shorthand of letter 'G' or 'T' replaced by its value;
// whatever follows the letter is ignored.
std::string ApplyShorthand(const std::string& text, char letter);

// The field's text after Enter, or nullopt when Enter leaves it alone.
std::optional<std::string> ConvertOnEnter(const std::string& text);

// The field's text after its button is pressed.
std::string ConvertOnButton(const std::string& text);

// The G or T shorthand, or a plain number, as a maximum LBA; nullopt when
// the text is neither.
std::optional<std::int64_t> ParseCapacity(const std::string& text);

}  // namespace zentab
