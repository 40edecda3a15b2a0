#include "auto_fill.h"
#include "core_test_support.h"

#include <gtest/gtest.h>

using namespace zentab;

namespace {

const std::string kSuffix = "EARS-00MVWB0";

// Every cell, used or not, holds a mark, so stray writes show.
ModelTable Marked()
{
    ModelTable t;
    for (auto& row : t.names)
        row.fill("MARK");
    for (auto& row : t.values)
        row.fill(-7);
    return t;
}

AutoInputs Inputs(std::int64_t head, std::int32_t divider = 15, std::int32_t alignment = 50)
{
    AutoInputs in;
    in.headSize = head;
    in.divider = divider;
    in.alignment = alignment;
    return in;
}

// Rows above `rows`, row 0 and the unused columns still hold their marks.
void ExpectUntouchedOutside(const ModelTable& t, int rows)
{
    for (std::size_t r = 0; r < t.names.size(); ++r) {
        for (std::size_t c = 0; c < t.names[r].size(); ++c) {
            if (r >= 1 && static_cast<int>(r) <= rows && c < kFormats)
                continue;
            EXPECT_EQ(t.names[r][c], "MARK") << "row " << r << " column " << c;
            EXPECT_EQ(t.values[r][c], -7) << "row " << r << " column " << c;
        }
    }
}

}  // namespace

TEST(AutoFill, FourRowsFromStartUpInputs)
{
    const std::int64_t values[kFormats][4] = {
        {488397168, 976773168, 1465149168, 1953525168}, {390721968, 879097968, 1367473968, 1758174768},
        {390721968, 781422768, 1269798768, 1660499568}, {390721968, 781422768, 1172123568, 1562824368},
        {293046768, 683747568, 1074448368, 1367473968}, {293046768, 586072368, 976773168, 1269798768},
    };
    const int numbers[kFormats][4] = {
        {2500, 5000, 7500, 10}, {2000, 4500, 7000, 9000}, {2000, 4000, 6500, 8500},
        {2000, 4000, 6000, 8000}, {1500, 3500, 5500, 7000}, {1500, 3000, 5000, 6500},
    };
    ModelTable t = Marked();
    AutoFillTable(t, 4, Inputs(488397168));
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= 4; ++r) {
            EXPECT_EQ(t.value(r, f), values[f - 1][r - 1]) << "format " << f << " row " << r;
            EXPECT_EQ(t.name(r, f), "WDC WD" + std::to_string(numbers[f - 1][r - 1]) + kSuffix)
                << "format " << f << " row " << r;
        }
    }
    ExpectUntouchedOutside(t, 4);
}

TEST(AutoFill, RowsUpToElevenAndNeverBeyondTheTable)
{
    ModelTable ten = Marked();
    AutoFillTable(ten, 10, Inputs(488397168));
    EXPECT_EQ(ten.value(9, 1), 4395405168);
    EXPECT_EQ(ten.name(9, 1), "WDC WD22" + kSuffix);
    EXPECT_EQ(ten.value(10, 1), 4883781168);
    EXPECT_EQ(ten.name(10, 1), "WDC WD25" + kSuffix);
    ExpectUntouchedOutside(ten, 10);

    ModelTable eleven = Marked();
    AutoFillTable(eleven, 11, Inputs(488397168));
    EXPECT_EQ(eleven.value(11, 1), 5372157168);
    EXPECT_EQ(eleven.name(11, 1), "WDC WD27" + kSuffix);
    for (int f = 1; f <= kFormats; ++f)
        EXPECT_NE(eleven.name(11, f), "MARK") << "format " << f;
    ExpectUntouchedOutside(eleven, 11);

    for (int rows : {12, 13, 1000}) {
        ModelTable more = Marked();
        AutoFillTable(more, rows, Inputs(488397168));
        EXPECT_EQ(more.names, eleven.names) << rows;
        EXPECT_EQ(more.values, eleven.values) << rows;
    }
}

TEST(AutoFill, SecondRunStartsFromTheValueOfMainRowOne)
{
    ModelTable t;
    AutoFillTable(t, 10, Inputs(500000000));
    EXPECT_EQ(t.value(9, 1), 4493080368);
    EXPECT_EQ(t.value(1, 1), 488397168);
    AutoFillTable(t, 10, Inputs(t.value(1, 1)));
    EXPECT_EQ(t.value(9, 1), 4395405168);
}

TEST(AutoFill, ZeroDividerOrAlignmentFailsBeforeAnyCell)
{
    struct Case {
        std::int32_t rows, divider, alignment;
        bool fails;
    };
    for (const Case c : {Case{4, 0, 50, true}, Case{4, 15, 0, true}, Case{11, 0, 0, true}, Case{0, 0, 0, false},
                         Case{-3, 0, 50, false}}) {
        SCOPED_TRACE(::testing::Message() << "rows " << c.rows << " divider " << c.divider << " alignment "
                                          << c.alignment);
        ModelTable t = Marked();
        if (c.fails) {
            EXPECT_PLATFORM_ERROR(AutoFillTable(t, c.rows, Inputs(488397168, c.divider, c.alignment)),
                                  "Division by zero");
        } else {
            AutoFillTable(t, c.rows, Inputs(488397168, c.divider, c.alignment));
        }
        ExpectUntouchedOutside(t, 0);
    }
}

TEST(AutoFill, ExtremeDividers)
{
    ModelTable wide;
    AutoFillTable(wide, 10, Inputs(488397168, 500000));  // step 0: every Format as Main
    for (int f = 2; f <= kFormats; ++f) {
        for (int r = 1; r <= 10; ++r) {
            EXPECT_EQ(wide.value(r, f), wide.value(r, 1)) << "format " << f << " row " << r;
            EXPECT_EQ(wide.name(r, f), wide.name(r, 1)) << "format " << f << " row " << r;
        }
    }

    ModelTable one;
    AutoFillTable(one, 4, Inputs(488397168, 1));  // step = head size
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(one.value(r, 2), 21168) << "row " << r;
        EXPECT_EQ(one.name(r, 2), "WDC WD0" + kSuffix) << "row " << r;
    }
    EXPECT_EQ(one.value(1, 3), -488354832);
    EXPECT_EQ(one.name(1, 3), "WDC WD-2500" + kSuffix);
}

TEST(FromHead, MainRowsFromOneHeadSize)
{
    struct Case {
        std::int64_t perHead;
        std::int32_t rows;
        std::vector<std::int64_t> values;
        std::vector<int> numbers;
    };
    const Case cases[] = {
        {488378646 /* 3907029168 over 8 heads */, 8,
         {488397168, 976773168, 1465149168, 1953525168, 2441901168, 2930277168, 3418653168, 3907029168},
         {2500, 5000, 7500, 10, 12, 15, 17, 20}},
        {0, 4, {21168, 21168, 21168, 21168}, {0, 0, 0, 0}},
        {488397168, 12,
         {488397168, 976773168, 1465149168, 1953525168, 2441901168, 2930277168, 3418653168, 3907029168,
          4395405168, 4883781168},
         {2500, 5000, 7500, 10, 12, 15, 17, 20, 22, 25}},
        {488397168, 0, {}, {}},
        {488397168, -1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "per head " << c.perHead << " rows " << c.rows);
        const std::vector<ModelRow> rows = FromHeadRows(c.perHead, c.rows, 50, "WDC WD20EARS-00MVWB0");
        ASSERT_EQ(rows.size(), c.values.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].value, c.values[i]) << "row " << i + 1;
            EXPECT_EQ(rows[i].name, "WDC WD" + std::to_string(c.numbers[i]) + kSuffix) << "row " << i + 1;
        }
    }
    EXPECT_PLATFORM_ERROR(FromHeadRows(488397168, 4, 0, "WDC WD20EARS-00MVWB0"), "Division by zero");
}
