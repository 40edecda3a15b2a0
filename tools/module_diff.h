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

struct ByteRange {
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

struct ModuleDifference {
    bool identical = true;  // the files' bytes
    std::vector<CellDifference> cells;
    // Differing bytes outside every name, value and checksum field of either
    // module, bytes only the longer file has included.
    std::vector<ByteRange> otherBytes;
    bool nameBytesDiffer = false;
    bool valueBytesDiffer = false;
    bool checksumDiffers = false;

    // The bytes differ, but only in how names are padded (and so perhaps in
    // the checksum): every cell reads the same.
    bool onlyNamePadding() const
    {
        return !identical && cells.empty() && otherBytes.empty() && !valueBytesDiffer;
    }
};

ModuleDifference CompareModules(const LoadedModule& a, const LoadedModule& b);

}  // namespace zentab::cli
