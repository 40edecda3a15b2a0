#include "auto_fill.h"
#include "core_test_support.h"
#include "expected_capacities.h"

#include <gtest/gtest.h>

using namespace zentab;
using namespace zentab::testkit;

namespace {

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
    return AutoInputs{head, divider, alignment};
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
    ModelTable t = Marked();
    AutoFillTable(t, 4, Inputs(kAutoHead0));
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= 4; ++r) {
            EXPECT_EQ(t.value(r, f), kAutoRows[f - 1][r - 1].lba) << "format " << f << " row " << r;
            EXPECT_EQ(t.name(r, f), AutoModelName(kAutoRows[f - 1][r - 1].number)) << "format " << f << " row " << r;
        }
    }
    ExpectUntouchedOutside(t, 4);
}

TEST(AutoFill, RowsUpToElevenAndNeverBeyondTheTable)
{
    ModelTable ten = Marked();
    AutoFillTable(ten, 10, Inputs(kAutoHead0));
    for (const auto& [row, cell] : {std::pair{9, kAutoMainRow9}, std::pair{10, kAutoMainRow10}}) {
        EXPECT_EQ(ten.value(row, 1), cell.lba);
        EXPECT_EQ(ten.name(row, 1), AutoModelName(cell.number));
    }
    ExpectUntouchedOutside(ten, 10);

    ModelTable eleven = Marked();
    AutoFillTable(eleven, 11, Inputs(kAutoHead0));
    EXPECT_EQ(eleven.value(11, 1), 5372157168);
    EXPECT_EQ(eleven.name(11, 1), AutoModelName("27"));
    for (int f = 1; f <= kFormats; ++f)
        EXPECT_NE(eleven.name(11, f), "MARK") << "format " << f;
    ExpectUntouchedOutside(eleven, 11);

    for (int rows : {12, 13, 1000}) {
        ModelTable more = Marked();
        AutoFillTable(more, rows, Inputs(kAutoHead0));
        EXPECT_EQ(more.names, eleven.names) << rows;
        EXPECT_EQ(more.values, eleven.values) << rows;
    }
}

TEST(AutoFill, SecondRunStartsFromTheValueOfMainRowOne)
{
    ModelTable t;
    AutoFillTable(t, 10, Inputs(500000000));
    EXPECT_EQ(t.value(9, 1), 4493080368);
    EXPECT_EQ(t.value(1, 1), kAutoHead0);
    AutoFillTable(t, 10, Inputs(t.value(1, 1)));
    EXPECT_EQ(t.value(9, 1), kAutoMainRow9.lba);
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
            EXPECT_PLATFORM_ERROR(AutoFillTable(t, c.rows, Inputs(kAutoHead0, c.divider, c.alignment)),
                                  "Division by zero");
        } else {
            AutoFillTable(t, c.rows, Inputs(kAutoHead0, c.divider, c.alignment));
        }
        ExpectUntouchedOutside(t, 0);
    }
}

TEST(AutoFill, ExtremeDividers)
{
    ModelTable wide;
    AutoFillTable(wide, 10, Inputs(kAutoHead0, 500000));  // step 0: every Format as Main
    for (int f = 2; f <= kFormats; ++f) {
        for (int r = 1; r <= 10; ++r) {
            EXPECT_EQ(wide.value(r, f), wide.value(r, 1)) << "format " << f << " row " << r;
            EXPECT_EQ(wide.name(r, f), wide.name(r, 1)) << "format " << f << " row " << r;
        }
    }

    ModelTable one;
    AutoFillTable(one, 4, Inputs(kAutoHead0, 1));  // step = head size
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(one.value(r, 2), 21168) << "row " << r;
        EXPECT_EQ(one.name(r, 2), AutoModelName("0")) << "row " << r;
    }
    EXPECT_EQ(one.value(1, 3), -488354832);
    EXPECT_EQ(one.name(1, 3), AutoModelName("-2500"));
}

TEST(FromHead, MainRowsFromOneHeadSize)
{
    struct Case {
        std::int64_t perHead;
        std::int32_t rows;
        std::vector<std::int64_t> values;
        std::vector<const char*> numbers;
    };
    const std::vector<std::int64_t> tenValues{488397168,  976773168,  1465149168, 1953525168, 2441901168,
                                              2930277168, 3418653168, 3907029168, 4395405168, 4883781168};
    const std::vector<const char*> tenNumbers{"2500", "5000", "7500", "10", "12", "15", "17", "20", "22", "25"};
    const Case cases[] = {
        {488378646 /* 3907029168 over 8 heads */, 8, {tenValues.begin(), tenValues.begin() + 8},
         {tenNumbers.begin(), tenNumbers.begin() + 8}},
        {0, 4, {21168, 21168, 21168, 21168}, {"0", "0", "0", "0"}},
        {kAutoHead0, 12, tenValues, tenNumbers},
        {kAutoHead0, 0, {}, {}},
        {kAutoHead0, -1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "per head " << c.perHead << " rows " << c.rows);
        const std::vector<ModelRow> rows = FromHeadRows(c.perHead, c.rows, 50, "WDC WD20EARS-00MVWB0");
        ASSERT_EQ(rows.size(), c.values.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].value, c.values[i]) << "row " << i + 1;
            EXPECT_EQ(rows[i].name, AutoModelName(c.numbers[i])) << "row " << i + 1;
        }
    }
    EXPECT_PLATFORM_ERROR(FromHeadRows(kAutoHead0, 4, 0, "WDC WD20EARS-00MVWB0"), "Division by zero");
}
