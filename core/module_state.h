#pragma once
// State shared by Load, Save and Auto between one Load and the next. A
// program keeps one Module for its whole run; tests make their own.

#include "module_image.h"

#include <array>
#include <cstdint>
#include <string>

namespace zentab {

struct DirectoryEntry {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

struct ModuleDirectory {
    static constexpr int kEntries = 128;
    std::array<DirectoryEntry, kEntries> entries{};
    // What the last container check saw: the header's own entry count (up to
    // 255, of which only the first 128 are kept) and where the header ends.
    int count = 0;
    std::uint32_t headerSize = 0;

    void clear() { *this = ModuleDirectory{}; }
    const DirectoryEntry& operator[](int i) const { return entries[static_cast<std::size_t>(i)]; }
};

struct ListLayout {
    std::int32_t newBlockOffset = 0;
    bool isNew = false;
    std::int32_t rowsPerFormat = 0;
};

constexpr int kFormats = 6;
constexpr int kTableRows = 11;  // rows 1..11; row 0 unused
constexpr int kShownRows = 10;

struct ModelTable {
    // [row][column], column f-1 for Format f; row 0 and columns 6..11 unused.
    std::array<std::array<std::string, 12>, 12> names;
    std::array<std::array<std::int64_t, 12>, 12> values;

    ModelTable() { reset(); }
    void reset()
    {
        for (auto& row : names) {
            for (std::string& name : row)
                name.clear();
        }
        for (auto& row : values)
            row.fill(0);
    }
    std::string& name(int row, int format) { return names[row][format - 1]; }
    std::int64_t& value(int row, int format) { return values[row][format - 1]; }
    const std::string& name(int row, int format) const { return names[row][format - 1]; }
    std::int64_t value(int row, int format) const { return values[row][format - 1]; }
};

struct Module {
    ModuleImage image;
    ModuleDirectory directory;
    ListLayout layout;
    ModelTable table;
};

// Rows the table holds for a module of the given rows per format: modules
// with more rows are read and written only as far as the table reaches.
inline int RowsHandled(std::int32_t rowsPerFormat)
{
    return rowsPerFormat < 0 ? 0 : (rowsPerFormat > kTableRows ? kTableRows : rowsPerFormat);
}

}  // namespace zentab
