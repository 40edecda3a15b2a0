#pragma once
// What a technician relies on after a save, written out independently of
// the codec: which bytes a save may change (the name fields, normalised, and
// the checksum field) and what a name field and a checksum look like.

#include "module_builder.h"

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zentab::testkit {

// A name field as a reader cleans it: blanks and control bytes off both
// ends, every other byte outside 32..127 a blank, the ends trimmed again.
inline std::string CleanName(const std::string& field)
{
    auto trim = [](std::string s) {
        const auto keep = [](char c) { return static_cast<unsigned char>(c) > 32; };
        std::size_t from = 0, to = s.size();
        while (from < to && !keep(s[from]))
            ++from;
        while (to > from && !keep(s[to - 1]))
            --to;
        return s.substr(from, to - from);
    };
    std::string s = trim(field);
    for (char& c : s) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 127)
            c = ' ';
    }
    return trim(s);
}

// The 24 bytes a name is written as: its ends trimmed, blanks to 23, a zero
// byte, cut to 24.
inline std::string FieldOf(const std::string& name)
{
    std::size_t from = 0, to = name.size();
    while (from < to && static_cast<unsigned char>(name[from]) <= 32)
        ++from;
    while (to > from && static_cast<unsigned char>(name[to - 1]) <= 32)
        --to;
    std::string field = name.substr(from, to - from);
    if (field.size() < 23)
        field.resize(23, ' ');
    field.push_back('\0');
    field.resize(24);
    return field;
}

struct EditedCell {
    int row = 0;
    int format = 0;
    std::optional<std::string> name;  // the name as given
    std::optional<std::int64_t> value;
    std::int64_t valueAt = -1;  // offset of the value's bytes in the module
    int valueWidth = 0;         // 4 (STD) or 8 (NEW)
};

// The first difference between before and after that a save of the module
// (rows rows per format) with at most the one edit may not make; empty when
// there is none. Name fields must hold their normalised form (or the edited
// name's field), the checksum field may change, the edited value must hold
// its new bytes, and every other byte stays.
inline std::string UnexpectedChange(const BuiltModule& built, bool royl, int rows,
                                    const std::vector<std::uint8_t>& after, const EditedCell& edit = {})
{
    const std::vector<std::uint8_t>& before = built.bytes;
    if (after.size() != before.size())
        return "the size changed from " + std::to_string(before.size()) + " to " + std::to_string(after.size());
    std::vector<bool> accounted(before.size(), false);
    for (std::size_t at = 0; at < before.size(); ++at)
        accounted[at] = royl ? at >= 12 && at < 16 : at == 3;
    for (int f = 1; f <= 6; ++f) {
        for (int r = 1; r <= rows; ++r) {
            const std::size_t at = built.nameFieldAt(r, f);
            const bool edited = edit.name && edit.row == r && edit.format == f;
            const std::string expected = edited ? FieldOf(*edit.name) : FieldOf(CleanName(NameAt(before, at)));
            if (NameAt(after, at) != expected)
                return "the name field of Format " + std::to_string(f) + " row " + std::to_string(r) +
                       " is not what was written";
            for (std::size_t i = 0; i < 24; ++i)
                accounted[at + i] = true;
        }
    }
    if (edit.value) {
        const auto at = static_cast<std::size_t>(edit.valueAt);
        if (LE(after, at, edit.valueWidth) != (static_cast<std::uint64_t>(*edit.value) &
                                               (edit.valueWidth == 8 ? ~0ULL : 0xFFFFFFFFULL)))
            return "the edited value is not what was written";
        for (int i = 0; i < edit.valueWidth; ++i)
            accounted[at + std::size_t(i)] = true;
    }
    for (std::size_t at = 0; at < before.size(); ++at) {
        if (!accounted[at] && after[at] != before[at]) {
            std::ostringstream out;
            out << "byte " << at << " changed from " << int(before[at]) << " to " << int(after[at]);
            return out.str();
        }
    }
    const bool sums = royl ? RoylWordSum(after) == 0 : LegacyByteSum(after) == 0;
    return sums ? std::string() : std::string("the checksum does not sum to 0");
}

}  // namespace zentab::testkit
