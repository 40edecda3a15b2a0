#pragma once
// Random model-list modules for the properties: both header forms, STD and
// NEW, 1 to 11 rows, directories of 7 to 14 entries where the layout allows
// (NEW reads no block past entry 6), the twelve blocks in any order with
// gaps, names of any bytes, values over the whole 64-bit range with FF..FF
// and the block marker's neighbours, and bytes after the last block.
// RapidCheck shrinks a failing module towards a small one and prints it.

#include "module_builder.h"

#include <rapidcheck.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iomanip>
#include <ostream>
#include <string>
#include <vector>

namespace zentab::testkit {

struct DrawnModule {
    bool royl = true;
    bool isNew = false;
    int rows = 1;
    int entryCount = 12;
    std::array<int, 12> order{};
    std::array<std::size_t, 12> gaps{};
    // Cell (row r, Format f) at (f - 1) * rows + r - 1.
    std::vector<std::string> names;  // raw 24-byte fields
    std::vector<std::int64_t> values;
    std::vector<std::uint8_t> trailer;

    std::string& name(int row, int format) { return names[std::size_t((format - 1) * rows + row - 1)]; }
    std::int64_t& value(int row, int format) { return values[std::size_t((format - 1) * rows + row - 1)]; }

    ModuleBuilder builder() const
    {
        ModuleBuilder b;
        if (!royl)
            b.legacy();
        b.rows(rows).newLayout(isNew).entryCount(entryCount).blockOrder(order).blockGaps(gaps).trailer(trailer);
        for (int f = 1; f <= 6; ++f) {
            for (int r = 1; r <= rows; ++r) {
                const std::size_t at = std::size_t((f - 1) * rows + r - 1);
                b.rawName(r, f, names[at]).value(r, f, values[at]);
            }
        }
        return b;
    }
    std::vector<std::uint8_t> bytes() const { return builder().build().bytes; }
};

// The 64-bit value of the NEW block marker 20 20 20 20 00 00 00 00.
constexpr std::int64_t kMarkerValue = 0x20202020;

inline rc::Gen<std::int64_t> GenValue()
{
    return rc::gen::weightedOneOf<std::int64_t>({
        {4, rc::gen::arbitrary<std::int64_t>()},
        {2, rc::gen::inRange<std::int64_t>(0, 0x100000000LL)},
        {1, rc::gen::element<std::int64_t>(-1, 0, 1, kMarkerValue - 1, kMarkerValue, kMarkerValue + 1,
                                           0xFFFFFFFFLL, 0x100000000LL, INT64_MIN, INT64_MAX)},
    });
}

// Names as drives and technicians leave them: any bytes, or text padded
// with blanks or zero bytes, up to the field's 24.
inline rc::Gen<std::string> GenNameField()
{
    return rc::gen::weightedOneOf<std::string>({
        {1, rc::gen::container<std::string>(24, rc::gen::arbitrary<char>())},
        {3, rc::gen::map(rc::gen::container<std::string>(rc::gen::inRange<char>(32, 127)),
                         [](std::string text) {
                             text.resize(std::min<std::size_t>(text.size(), 24));
                             return text;
                         })},
    });
}

inline rc::Gen<DrawnModule> GenModule()
{
    return rc::gen::exec([] {
        DrawnModule s;
        s.royl = *rc::gen::arbitrary<bool>();
        s.isNew = *rc::gen::arbitrary<bool>();
        s.rows = *rc::gen::inRange(1, 12);
        // STD reads value blocks through entries 6..11; NEW only entry 6.
        s.entryCount = s.isNew ? *rc::gen::inRange(7, 15) : *rc::gen::inRange(12, 15);
        for (int i = 0; i < 12; ++i)
            s.order[std::size_t(i)] = i;
        const std::vector<int> shuffled = *rc::gen::container<std::vector<int>>(12, rc::gen::inRange(0, 1000));
        std::stable_sort(s.order.begin(), s.order.end(),
                         [&](int a, int b) { return shuffled[std::size_t(a)] < shuffled[std::size_t(b)]; });
        for (std::size_t& gap : s.gaps)
            gap = std::size_t(*rc::gen::inRange(0, 20));
        const std::size_t cells = std::size_t(6 * s.rows);
        s.names = *rc::gen::container<std::vector<std::string>>(cells, GenNameField());
        s.values = *rc::gen::container<std::vector<std::int64_t>>(cells, GenValue());
        if (!s.isNew) {
            // STD keeps 32 bits; a Main row 1 of 0 could make the module NEW.
            for (std::int64_t& v : s.values)
                v &= 0xFFFFFFFF;
            s.value(1, 1) |= 1;
        }
        // NEW: the marker must stay a multiple of 8 bytes below the end.
        const int trailerBytes = *rc::gen::inRange(0, 4) * (s.isNew ? 8 : 3);
        s.trailer = *rc::gen::container<std::vector<std::uint8_t>>(std::size_t(trailerBytes),
                                                                   rc::gen::arbitrary<std::uint8_t>());
        return s;
    });
}

inline void showValue(const DrawnModule& s, std::ostream& os)
{
    os << (s.royl ? "ROYL" : "legacy") << ' ' << (s.isNew ? "NEW" : "STD") << ", " << s.rows << " rows, "
       << s.entryCount << " entries, blocks";
    for (int b : s.order)
        os << ' ' << b;
    os << ", gaps";
    for (std::size_t g : s.gaps)
        os << ' ' << g;
    os << ", " << s.trailer.size() << " trailing bytes\n";
    for (int f = 1; f <= 6; ++f) {
        for (int r = 1; r <= s.rows; ++r) {
            const std::string& n = s.names[std::size_t((f - 1) * s.rows + r - 1)];
            os << "  F" << f << " R" << r << " name";
            for (unsigned char c : n)
                os << ' ' << std::hex << std::setw(2) << std::setfill('0') << int(c) << std::dec;
            os << " value " << s.values[std::size_t((f - 1) * s.rows + r - 1)] << '\n';
        }
    }
}

}  // namespace zentab::testkit
