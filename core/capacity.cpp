#include "capacity.h"

#include "errors.h"

#include <charconv>
#include <limits>

namespace zentab {

namespace {

std::int64_t WrapMul(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}

std::int64_t WrapAdd(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

}  // namespace

std::int64_t DivideTruncating(std::int64_t dividend, std::int64_t divisor)
{
    if (divisor == 0)
        ThrowDivisionByZero();
    if (divisor == -1)
        return WrapMul(dividend, -1);
    return dividend / divisor;
}

std::int64_t IdemaLba(std::int64_t gigabytes)
{
    return WrapAdd(WrapMul(kSectorsPerGigabyte, gigabytes), kIdemaExtraSectors);
}

std::int64_t RoundedGigabytes(std::int64_t sectors)
{
    // sectors x 512 / 10^9 is exactly (sectors x 512 / 512) / 1953125. The
    // product is taken in 64 bits as the byte count is, so it wraps the same
    // way; dividing it back by 512 is exact. 1953125 is odd, so a whole
    // count never falls halfway between two gigabytes.
    const std::int64_t bytes = WrapMul(sectors, 512);
    const std::int64_t units = bytes / 512;
    constexpr std::int64_t kSectorsPerDecimalGigabyte = 1953125;
    std::int64_t quotient = units / kSectorsPerDecimalGigabyte;
    const std::int64_t remainder = units % kSectorsPerDecimalGigabyte;
    if (2 * remainder > kSectorsPerDecimalGigabyte)
        ++quotient;
    else if (2 * remainder < -kSectorsPerDecimalGigabyte)
        --quotient;
    return quotient;
}

std::int64_t AlignedGigabytes(std::int64_t gigabytes, std::int64_t alignment)
{
    return WrapMul(DivideTruncating(gigabytes, alignment), alignment);
}

std::int64_t ModelNumber(std::int64_t alignedGigabytes)
{
    return alignedGigabytes < 1000 ? WrapMul(alignedGigabytes, 10) : alignedGigabytes / 100;
}

std::string ModelSuffix(const std::string& modelTemplate)
{
    if (modelTemplate.find("WDC WD") == std::string::npos)
        return {};
    // Cut six characters from the front wherever the marker stood, then skip
    // everything below 'A': the capacity digits and separators. A template
    // with no letter left gives an empty suffix.
    std::string rest = modelTemplate.substr(6);
    std::size_t i = 0;
    while (i < rest.size() && static_cast<unsigned char>(rest[i]) < 65)
        ++i;
    return rest.substr(i);
}

std::string ModelName(std::int64_t modelNumber, const std::string& suffix)
{
    return "WDC WD" + std::to_string(modelNumber) + suffix;
}

std::int64_t FormatStep(std::int64_t headSize, std::int64_t divider)
{
    return AlignDown1008(DivideTruncating(headSize, divider));
}

std::int64_t AlignDown1008(std::int64_t value) { return value - value % kFormatGranule; }

std::string SizeText(std::int64_t count, std::uint32_t unitSize, const std::string& decimalSeparator)
{
    if (count == 0)
        return {};
    static const struct {
        int decimals;
        const char* unit;
    } formats[] = {{0, ""}, {0, "M"}, {0, "G"}, {1, "T"}, {2, "P"}};
    long double x = static_cast<long double>(WrapMul(count, std::int64_t{unitSize}));
    x /= 1000;
    std::size_t chosen = 0;
    for (std::size_t next = 1; next < std::size(formats); ++next) {
        if (x > 1000) {
            x /= 1000;
            chosen = next;
        }
    }
    // Rounded from the exact binary value, as printf would, but without
    // depending on the C library's locale.
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, x, std::chars_format::fixed,
                                      formats[chosen].decimals);
    std::string text;
    for (const char* c = digits; c != result.ptr; ++c) {
        if (*c == '.')
            text += decimalSeparator;
        else
            text += *c;
    }
    return text + formats[chosen].unit;
}

}  // namespace zentab
