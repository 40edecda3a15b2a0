#include "capacity_entry.h"

#include "capacity.h"
#include "int_text.h"

namespace zentab {

namespace {

std::int64_t ShorthandValue(const std::string& text, char letter)
{
    const std::size_t at = text.find(letter);
    const std::int64_t n = StrToInt64Def(std::string_view(text).substr(0, at), 0);
    return letter == 'T' ? IdemaLba(static_cast<std::int64_t>(static_cast<std::uint64_t>(n) * 1000)) : IdemaLba(n);
}

}  // namespace

std::string ApplyShorthand(const std::string& text, char letter)
{
    return IntToStr(ShorthandValue(text, letter));
}

std::optional<std::string> ConvertOnEnter(const std::string& text)
{
    std::string result = text;
    if (result.find('G') != std::string::npos)
        result = ApplyShorthand(result, 'G');
    if (result.find('T') != std::string::npos)
        result = ApplyShorthand(result, 'T');
    if (result == text)
        return std::nullopt;
    return result;
}

std::string ConvertOnButton(const std::string& text)
{
    if (text.find('G') != std::string::npos)
        return ApplyShorthand(text, 'G');
    if (text.find('T') != std::string::npos)
        return ApplyShorthand(text, 'T');
    return IntToStr(AlignDown1008(StrToInt64Def(text, 0)));
}

std::optional<std::int64_t> ParseCapacity(const std::string& text)
{
    for (char letter : {'G', 'T'}) {
        const std::size_t at = text.find(letter);
        if (at == std::string::npos)
            continue;
        if (!ParseInt64(std::string_view(text).substr(0, at)))
            return std::nullopt;
        return ShorthandValue(text, letter);
    }
    return ParseInt64(text);
}

}  // namespace zentab
