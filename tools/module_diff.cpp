#include "module_diff.h"

#include "model_codec.h"
#include "name_field.h"

#include <algorithm>

namespace zentab::cli {

namespace {

struct ByteKind {
    ByteField field = ByteField::Other;
    std::uint8_t format = 0;
    std::uint8_t row = 0;
    bool operator==(const ByteKind&) const = default;
};

void Mark(std::vector<ByteKind>& kinds, std::int64_t offset, std::int64_t length, ByteKind kind)
{
    const auto size = static_cast<std::int64_t>(kinds.size());
    if (offset < 0 || offset >= size)
        return;
    const std::int64_t end = std::min(size, offset + length);
    for (std::int64_t i = offset; i < end; ++i)
        kinds[static_cast<std::size_t>(i)] = kind;
}

// The fields the codec reads and writes, and the checksum field.
std::vector<ByteKind> ClassifyBytes(const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    std::vector<ByteKind> kinds(static_cast<std::size_t>(m.image.size()));
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            const auto format = static_cast<std::uint8_t>(f);
            const auto row = static_cast<std::uint8_t>(r);
            Mark(kinds, std::int64_t{m.directory[f - 1].offset} + std::int64_t{kNameFieldSize} * (r - 1),
                 kNameFieldSize, {ByteField::Name, format, row});
            if (m.layout.isNew)
                Mark(kinds,
                     std::int64_t{m.layout.newBlockOffset} +
                         8 * (std::int64_t{f - 1} * m.layout.rowsPerFormat + (r - 1)),
                     8, {ByteField::Value, format, row});
            else
                Mark(kinds, std::int64_t{m.directory[f + 5].offset} + 4 * (r - 1), 4, {ByteField::Value, format, row});
        }
    }
    if (loaded.royl)
        Mark(kinds, 12, 4, {ByteField::Checksum});
    else
        Mark(kinds, 3, 1, {ByteField::Checksum});
    return kinds;
}

CellSide Side(const LoadedModule& loaded, int row, int format)
{
    CellSide side;
    if (row > RowsHandled(loaded.module.layout.rowsPerFormat))
        return side;
    side.present = true;
    side.name = loaded.module.table.name(row, format);
    side.lba = loaded.module.table.value(row, format);
    return side;
}

bool SameCell(const CellSide& a, const CellSide& b)
{
    return a.present == b.present && a.name == b.name && a.lba == b.lba;
}

}  // namespace

ModuleDifference CompareModules(const LoadedModule& a, const LoadedModule& b)
{
    ModuleDifference difference;
    const int rows = std::max(RowsHandled(a.module.layout.rowsPerFormat), RowsHandled(b.module.layout.rowsPerFormat));
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            CellDifference cell{f, r, Side(a, r, f), Side(b, r, f)};
            if (!SameCell(cell.a, cell.b))
                difference.cells.push_back(std::move(cell));
        }
    }

    const std::vector<std::uint8_t>& bytesA = a.module.image.bytes();
    const std::vector<std::uint8_t>& bytesB = b.module.image.bytes();
    const std::vector<ByteKind> kindsA = ClassifyBytes(a);
    const std::vector<ByteKind> kindsB = ClassifyBytes(b);
    const std::size_t size = std::max(bytesA.size(), bytesB.size());
    std::vector<ByteRange>& ranges = difference.byteRanges;
    for (std::size_t i = 0; i < size; ++i) {
        const bool inBoth = i < bytesA.size() && i < bytesB.size();
        if (inBoth && bytesA[i] == bytesB[i])
            continue;
        difference.identical = false;
        // A byte in a field of either module belongs to that field; bytes
        // only the longer file has belong to none.
        ByteKind kind;
        if (inBoth)
            kind = kindsA[i].field != ByteField::Other ? kindsA[i] : kindsB[i];
        const auto at = static_cast<std::int64_t>(i);
        if (!ranges.empty() && ranges.back().offset + ranges.back().length == at && ranges.back().field == kind.field &&
            ranges.back().format == kind.format && ranges.back().row == kind.row)
            ++ranges.back().length;
        else
            ranges.push_back({at, 1, kind.field, kind.format, kind.row});
    }
    std::vector<std::pair<int, int>> counted;
    for (const ByteRange& range : ranges) {
        if (range.field != ByteField::Name)
            continue;
        const CellSide sideA = Side(a, range.row, range.format);
        const CellSide sideB = Side(b, range.row, range.format);
        const std::pair<int, int> cell{range.format, range.row};
        if (sideA.present && sideB.present && sideA.name == sideB.name &&
            std::find(counted.begin(), counted.end(), cell) == counted.end()) {
            counted.push_back(cell);
            ++difference.sameNameFields;
        }
    }
    return difference;
}

}  // namespace zentab::cli
