#include "module_diff.h"

#include "model_codec.h"
#include "name_field.h"

#include <algorithm>

namespace zentab::cli {

namespace {

enum class ByteKind : std::uint8_t { Other, Name, Value, Checksum };

void Mark(std::vector<ByteKind>& kinds, std::int64_t offset, std::int64_t length, ByteKind kind)
{
    const auto size = static_cast<std::int64_t>(kinds.size());
    if (offset < 0 || offset >= size)
        return;
    const std::int64_t end = std::min(size, offset + length);
    for (std::int64_t i = offset; i < end; ++i)
        kinds[static_cast<std::size_t>(i)] = kind;
}

// The fields the codec reads and writes (rows beyond the table are not among
// them, so a change there shows as bytes), and the checksum field.
std::vector<ByteKind> ClassifyBytes(const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    std::vector<ByteKind> kinds(static_cast<std::size_t>(m.image.size()), ByteKind::Other);
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            Mark(kinds, std::int64_t{m.directory[f - 1].offset} + std::int64_t{kNameFieldSize} * (r - 1),
                 kNameFieldSize, ByteKind::Name);
            if (m.layout.isNew)
                Mark(kinds,
                     std::int64_t{m.layout.newBlockOffset} +
                         8 * (std::int64_t{f - 1} * m.layout.rowsPerFormat + (r - 1)),
                     8, ByteKind::Value);
            else
                Mark(kinds, std::int64_t{m.directory[f + 5].offset} + 4 * (r - 1), 4, ByteKind::Value);
        }
    }
    if (loaded.royl)
        Mark(kinds, 12, 4, ByteKind::Checksum);
    else
        Mark(kinds, 3, 1, ByteKind::Checksum);
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
    for (std::size_t i = 0; i < size; ++i) {
        const bool inA = i < bytesA.size();
        const bool inB = i < bytesB.size();
        if (inA && inB && bytesA[i] == bytesB[i])
            continue;
        difference.identical = false;
        const ByteKind kindA = inA ? kindsA[i] : ByteKind::Other;
        const ByteKind kindB = inB ? kindsB[i] : ByteKind::Other;
        for (const ByteKind kind : {kindA, kindB}) {
            difference.nameBytesDiffer |= kind == ByteKind::Name;
            difference.valueBytesDiffer |= kind == ByteKind::Value;
            difference.checksumDiffers |= kind == ByteKind::Checksum;
        }
        // Bytes only the longer file has are listed whatever they hold.
        if (inA && inB && (kindA != ByteKind::Other || kindB != ByteKind::Other))
            continue;
        std::vector<ByteRange>& ranges = difference.otherBytes;
        const auto at = static_cast<std::int64_t>(i);
        if (!ranges.empty() && ranges.back().offset + ranges.back().length == at)
            ++ranges.back().length;
        else
            ranges.push_back({at, 1});
    }
    return difference;
}

}  // namespace zentab::cli
