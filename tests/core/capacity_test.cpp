#include "capacity.h"
#include "capacity_entry.h"
#include "core_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace zentab;

namespace {

constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

// The definition: bytes in 64 bits, then three divisions by 1000 in
// extended precision, rounded half to even.
std::int64_t ReferenceGigabytes(std::int64_t sectors)
{
    const auto bytes = static_cast<std::int64_t>(static_cast<std::uint64_t>(sectors) * 512u);
    return llrintl(static_cast<long double>(bytes) / 1000 / 1000 / 1000);
}

}  // namespace

TEST(Capacity, IdemaLbaOfWholeGigabytes)
{
    const std::pair<std::int64_t, std::int64_t> cases[] = {
        {0, 21168},          {50, 97696368},          {80, 156301488},   {250, 488397168},
        {500, 976773168},    {1000, 1953525168},      {2000, 3907029168}, {4000, 7814037168},
        {-250, -488354832},
    };
    for (const auto& [gigabytes, lba] : cases) {
        EXPECT_EQ(IdemaLba(gigabytes), lba) << gigabytes;
        EXPECT_EQ(lba % kFormatGranule, 0) << gigabytes;
    }
}

TEST(Capacity, RoundedGigabytesMatchesExtendedPrecisionDefinition)
{
    const std::int64_t examples[] = {
        0, 1, 976562, 976563, -976562, -976563, 1953125, 2929687, 2929688, 488397168, 1367513280, 1953525168,
        3907029168, 4493080368, 5372368848, -488397168, std::int64_t{1} << 53, (std::int64_t{1} << 54) - 1,
        kMin64, kMin64 + 1, std::numeric_limits<std::int64_t>::max(),
    };
    for (std::int64_t c : examples)
        EXPECT_EQ(RoundedGigabytes(c), ReferenceGigabytes(c)) << "sectors " << c;
    EXPECT_EQ(RoundedGigabytes(488397168), 250);
    EXPECT_EQ(RoundedGigabytes(455837760), 233);
    EXPECT_EQ(RoundedGigabytes(488397168LL * 9), 2251);

    const std::uint32_t seed = 20240611;
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int64_t> small(-(std::int64_t{1} << 40), std::int64_t{1} << 40);
    std::uniform_int_distribution<std::int64_t> any(kMin64, std::numeric_limits<std::int64_t>::max());
    for (int i = 0; i < 4000; ++i) {
        // Counts just either side of a half gigabyte are where rounding slips.
        const std::int64_t c = i % 3 == 0   ? small(rng)
                               : i % 3 == 1 ? any(rng)
                                            : small(rng) / 1953125 * 1953125 + 976562 + i % 2;
        ASSERT_EQ(RoundedGigabytes(c), ReferenceGigabytes(c)) << "sectors " << c << ", seed " << seed;
    }
}

TEST(Capacity, AlignmentAndModelNumber)
{
    const std::tuple<std::int64_t, std::int64_t, std::int64_t> aligned[] = {
        {233, 50, 200}, {250, 50, 250}, {1465, 1, 1465}, {1465, 1000, 1000}, {999, 1000, 0}, {-251, 50, -250},
    };
    for (const auto& [g, s, expected] : aligned)
        EXPECT_EQ(AlignedGigabytes(g, s), expected) << g << " by " << s;
    EXPECT_PLATFORM_ERROR(AlignedGigabytes(250, 0), "Division by zero");

    const std::pair<std::int64_t, std::int64_t> numbers[] = {
        {250, 2500}, {950, 9500}, {999, 9990}, {1000, 10}, {1250, 12}, {1299, 12}, {2000, 20}, {0, 0}, {-250, -2500},
    };
    for (const auto& [a, number] : numbers)
        EXPECT_EQ(ModelNumber(a), number) << a;
}

TEST(Capacity, ModelSuffixFromTemplate)
{
    const std::pair<std::string, std::string> cases[] = {
        {"WDC WD20EARS-00MVWB0", "EARS-00MVWB0"}, {"ST3500", ""}, {"wdc wd20EARS", ""},
        {"XWDC WD20EARS", "D20EARS"}, {"WDC WD 20 -EARS", "EARS"}, {"WDC WD2000", ""}, {"WDC WD", ""},
        {"WDC WD20@EARS", "EARS"} /* '@' is just below 'A' */, {"WDC WD20AEARS", "AEARS"},
        {"WDC WD20\xC8" "EARS", "\xC8" "EARS"}, {"WDC WD20\x80", "\x80"},
    };
    for (const auto& [templ, suffix] : cases)
        EXPECT_EQ(ModelSuffix(templ), suffix) << templ;
    EXPECT_EQ(ModelName(2500, "EARS-00MVWB0"), "WDC WD2500EARS-00MVWB0");
    EXPECT_EQ(ModelName(-2500, ""), "WDC WD-2500");
}

TEST(Capacity, FormatStepIsTruncatedToGranule)
{
    const std::tuple<std::int64_t, std::int64_t, std::int64_t> cases[] = {
        {488397168, 15, 32559408},
        {-488397168, 15, -32559408},
        {488397168, 500000, 0},
        {488397168, 1, 488397168},
        {1007, 1, 0},
        {2015, -1, -1008},
    };
    for (const auto& [head, divider, step] : cases)
        EXPECT_EQ(FormatStep(head, divider), step) << head << " / " << divider;
    EXPECT_PLATFORM_ERROR(FormatStep(488397168, 0), "Division by zero");
    const std::int64_t wrapped = FormatStep(kMin64, -1);  // must not trap
    EXPECT_EQ(wrapped % kFormatGranule, 0);
    EXPECT_LT(wrapped, 0);
    EXPECT_EQ(DivideTruncating(-7, 2), -3);
    EXPECT_EQ(DivideTruncating(kMin64, -1), kMin64);
}

TEST(Capacity, SizeTextPicksUnitAndDecimals)
{
    struct Case {
        std::int64_t count;
        const char* dot;
        const char* comma;
    };
    const Case cases[] = {
        {0, "", ""}, {1, "1", "1"}, {1000, "512", "512"}, {2000, "1M", "1M"}, {21168, "11M", "11M"},
        {156301488, "80G", "80G"}, {976773168, "500G", "500G"},
        {1953125000, "1000G", "1000G"} /* exactly 10^12 bytes stays in G */, {1952500000, "1000G", "1000G"},
        {1953525168, "1.0T", "1,0T"}, {3907029168, "2.0T", "2,0T"}, {3906250000000, "2.00P", "2,00P"},
        {1953125000000000, "1000.00P", "1000,00P"} /* no unit above P */, {-1, "-1", "-1"},
        {-3907029168, "-2000398934", "-2000398934"} /* negatives stay in the first unit */,
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SizeText(c.count, 512), c.dot) << c.count;
        EXPECT_EQ(SizeText(c.count, 512, ","), c.comma) << c.count;
    }
    EXPECT_EQ(SizeText(3906250000000, 512, "\u066B"), "2\u066B00P");  // Arabic: two bytes in UTF-8
    EXPECT_EQ(SizeText(1, 0xFFFFFFFFu), "4G");  // the unit is unsigned
    EXPECT_EQ(SizeText(3, 1000), "3");
}

TEST(CapacityEntry, EnterAndButtonOnTypedText)
{
    struct Case {
        const char* text;
        const char* enter;  // nullptr: Enter leaves the text alone
        const char* button;
    };
    const Case cases[] = {
        {"2000G", "3907029168", "3907029168"}, {"2T", "3907029168", "3907029168"},
        {"500G", "976773168", "976773168"}, {"4T", "7814037168", "7814037168"},
        {"2000GB", "3907029168", "3907029168"}, {"2TB", "3907029168", "3907029168"},
        {"2000g", nullptr, "0"}, {"2t", nullptr, "0"}, {"1.5T", "21168", "21168"}, {"500 G", "21168", "21168"},
        {"G", "21168", "21168"}, {" 500G", "976773168", "976773168"},
        {"2TG", "21168", "21168"} /* G wins: "2T" before it does not convert */,
        {"$10G", "31277232", "31277232"}, {"-1G", "-1932336", "-1932336"}, {"1000000", nullptr, "999936"},
        {"976773168", nullptr, "976773168"}, {"1007", nullptr, "0"}, {"1008", nullptr, "1008"},
        {"-1500", nullptr, "-1008"}, {"", nullptr, "0"}, {"abc", nullptr, "0"},
        {"9223372036854775807", nullptr, "9223372036854775296"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        const auto enter = ConvertOnEnter(c.text);
        if (c.enter) {
            EXPECT_EQ(enter, std::optional<std::string>(c.enter));
        } else {
            EXPECT_EQ(enter, std::nullopt);
        }
        EXPECT_EQ(ConvertOnButton(c.text), c.button);
    }
    EXPECT_EQ(ApplyShorthand("3T and more", 'T'), "5860533168");
}

TEST(CapacityEntry, ParseCapacityAcceptsShorthandOrNumber)
{
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"2T", 3907029168}, {"2000G", 3907029168}, {"2TB", 3907029168}, {"123", 123},
        {"1.5T", std::nullopt}, {"G", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseCapacity(text), value) << text;
}
