#pragma once
// Two model-list modules compared the way a technician compares a donor's
// module with the patient's: cell by cell, and byte by byte everywhere the
// lists and the checksum do not account for.

#include "module_session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zentab::cli {

struct CellSide {
    bool present = false;  // false where the module has fewer rows
    std::string name;
    std::int64_t lba = 0;
};

struct CellDifference {
    int format = 0;
    int row = 0;
    CellSide a;
    CellSide b;
};

enum class ByteField : std::uint8_t { Other, Name, Value, Checksum };

// A run of differing bytes within one field (or outside all of them).
struct ByteRange {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    ByteField field = ByteField::Other;
    int format = 0;  // for a name or value field
    int row = 0;
};

struct ModuleDifference {
    bool identical = true;  // the files' bytes
    std::vector<CellDifference> cells;
    // Every run of differing bytes, bytes only the longer file has included
    // (as Other). Fields are those the codec reads and writes; rows beyond
    // the lists are not among them, so a change there shows as Other.
    std::vector<ByteRange> byteRanges;
    // Name fields whose bytes differ while both names read the same.
    int sameNameFields = 0;

    bool differIn(ByteField field) const
    {
        for (const ByteRange& range : byteRanges)
            if (range.field == field)
                return true;
        return false;
    }
    // Every differing byte lies in a name field, and every name reads the same.
    bool onlyNamePadding() const
    {
        return !identical && cells.empty() && !differIn(ByteField::Other) && !differIn(ByteField::Value) &&
               !differIn(ByteField::Checksum);
    }
    bool onlyChecksum() const
    {
        return !identical && !differIn(ByteField::Other) && !differIn(ByteField::Value) &&
               !differIn(ByteField::Name);
    }
};

ModuleDifference CompareModules(const LoadedModule& a, const LoadedModule& b);

}  // namespace zentab::cli
