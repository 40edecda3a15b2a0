#include "latin1_text.h"

namespace zentab {

std::string Latin1ToUtf8(const std::string& text)
{
    std::string utf8;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

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
