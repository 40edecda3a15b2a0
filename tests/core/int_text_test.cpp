#include "int_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

using namespace zentab;

namespace {

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kFallback = -777;

}  // namespace

TEST(IntText, TextsConvertOrFallBack)
{
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {"123", 123}, {" 123", 123}, {"   7", 7}, {"123 ", {}}, {"1 2", {}}, {"$10", 16}, {"x1F", 31},
        {"X1f", 31}, {"0x1f", 31}, {"0X1f", 31}, {"$ff", 255}, {"+5", 5}, {"-5", -5}, {"-$10", -16},
        {"+0x10", 16}, {"007", 7}, {"0", 0}, {"-0", 0}, {"", {}}, {" ", {}}, {"-", {}}, {"+", {}}, {"$", {}},
        {"x", {}}, {"0x", {}}, {"--5", {}}, {"+-5", {}}, {"- 5", {}}, {"$-5", {}}, {"1.5", {}}, {"1,000", {}},
        {"12a", {}}, {"1f", {}} /* hex needs a prefix */, {"$1g", {}},
        {"9223372036854775807", kMax64}, {"9223372036854775808", {}}, {"99999999999999999999", {}},
        {"-9223372036854775808", kMin64}, {"-9223372036854775809", {}}, {"$7FFFFFFFFFFFFFFF", kMax64},
        {"$8000000000000000", {}}, {"-$8000000000000000", kMin64}, {"$10000000000000000", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_EQ(ParseInt64(c.text), c.value);
        EXPECT_EQ(StrToInt64Def(c.text, kFallback), c.value.value_or(kFallback));
    }
}

TEST(IntText, ThirtyTwoBitConversionFallsBackOutsideItsRange)
{
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"2147483647", 2147483647}, {"2147483648", -777}, {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-2147483649", -777}, {"$7FFFFFFF", 2147483647}, {"$80000000", -777},
        {"4294967311", -777} /* must not wrap to 15 */, {"15", 15}, {" -$32", -50}, {"", -777}, {"15 ", -777},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_EQ(StrToIntDef(c.text, -777), c.expected);
    }
}

TEST(IntText, DecimalTextOfSixtyFourBitValues)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"}, {-5, "-5"}, {3907029168, "3907029168"}, {kMax64, "9223372036854775807"},
        {kMin64, "-9223372036854775808"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(IntToStr(value), text);
        EXPECT_EQ(ParseInt64(IntToStr(value)), value);
    }
}
