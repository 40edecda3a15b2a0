#include "latin1_text.h"

namespace zentab {

std::optional<std::string> Utf8ToLatin1(const std::string& text)
{
    std::string latin1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            latin1 += text[i];
            continue;
        }
        // Only U+0080..U+00FF have a byte: C2 or C3, then one continuation byte.
        if ((lead != 0xC2 && lead != 0xC3) || i + 1 == text.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(text[++i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        latin1 += static_cast<char>((lead & 0x03) << 6 | (next & 0x3F));
    }
    return latin1;
}

}  // namespace zentab
