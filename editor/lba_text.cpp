#include "lba_text.h"

#include "capacity.h"
#include "capacity_entry.h"
#include "int_text.h"

namespace zentab {

std::optional<std::int64_t> ParseLbaText(const std::string& text)
{
    const std::optional<std::int64_t> value = ParseCapacity(text);
    if (!value)
        return std::nullopt;
    // ParseCapacity looks for G before T; the same letter is checked here.
    std::size_t at = text.find('G');
    const bool terabytes = at == std::string::npos;
    if (terabytes)
        at = text.find('T');
    if (at == std::string::npos)
        return value;
    if (at + 1 != text.size())
        return std::nullopt;
    std::int64_t gigabytes = *ParseInt64(std::string_view(text).substr(0, at));
    std::int64_t lba = 0;
    if ((terabytes && __builtin_mul_overflow(gigabytes, 1000, &gigabytes)) ||
        __builtin_mul_overflow(gigabytes, kSectorsPerGigabyte, &lba) ||
        __builtin_add_overflow(lba, kIdemaExtraSectors, &lba))
        return std::nullopt;
    return lba;
}

std::optional<std::int64_t> LbaFieldValue(const std::string& text)
{
    if (text.empty())
        return 0;
    return ParseInt64(text);
}

}  // namespace zentab
