// The whole load path on arbitrary bytes: container check, layout decision,
// reading the lists, writing them back (with and without edits) and the
// checksum. Besides "no crash", it asserts what a technician relies on:
// nothing is written outside name fields, value fields and the checksum, a
// second checksum pass changes nothing, and no row beyond the table is kept.
// Through Save's own step, every module that loads saves back unchanged but
// for its name fields and checksum, or is refused with a reason.

#include "container.h"
#include "errors.h"
#include "model_codec.h"
#include "module_edit.h"

#include <cstring>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace zentab;

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

// Marks every byte WriteModelList may change for this directory and layout.
std::vector<bool> WritableBytes(std::size_t size, const ModuleDirectory& directory, const ListLayout& layout)
{
    std::vector<bool> writable(size, false);
    auto mark = [&](std::int64_t at, std::int64_t length) {
        for (std::int64_t i = at; i < at + length; ++i) {
            if (i >= 0 && static_cast<std::size_t>(i) < size)
                writable[static_cast<std::size_t>(i)] = true;
        }
    };
    const int rows = RowsHandled(layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        mark(directory[f - 1].offset, std::int64_t{rows} * 24);
        if (!layout.isNew)
            mark(directory[f + 5].offset, std::int64_t{rows} * 4);
        for (int r = 1; layout.isNew && r <= rows; ++r)
            mark(layout.newBlockOffset + 8 * (std::int64_t{f - 1} * layout.rowsPerFormat + (r - 1)), 8);
    }
    return writable;
}

bool TableBeyondRowsIsEmpty(const ModelTable& table, int rows)
{
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) {
            const bool inUse = r >= 1 && r <= rows && c < kFormats;
            if (!inUse && (!table.names[r][c].empty() || table.values[r][c] != 0))
                return false;
        }
    }
    return true;
}

void CheckChecksum(ModuleImage& image)
{
    UpdateChecksum(image);
    const std::vector<std::uint8_t> once = image.bytes();
    UpdateChecksum(image);
    Require(image.bytes() == once, "a second checksum pass changed the image");
    Require(image.position() == 0, "checksum left the position off 0");
    const ChecksumStatus status = InspectChecksum(image);
    Require(status.stored == status.computed, "checksum does not satisfy its sum rule");
}

// Save with no edit, as the window and the tool run it.
void CheckSaveUnchanged(const std::vector<std::uint8_t>& original)
{
    Module m;
    m.image.assign(original);
    if (!ReadModelListModule(m))
        return;
    const std::string refusal = ApplyEditedTable(m, m.table, "Save refused: ");
    if (!refusal.empty()) {
        Require(m.image.bytes() == original, "a refused save changed the image");
        return;
    }
    const std::vector<std::uint8_t>& saved = m.image.bytes();
    Require(saved.size() == original.size(), "saving without edits changed the size");
    std::vector<bool> mayChange(original.size(), false);
    const bool royl = original[0] == 'R' && original[1] == 'O' && original[2] == 'Y' && original[3] == 'L';
    for (std::size_t i = 0; i < original.size(); ++i)
        mayChange[i] = royl ? (i >= 12 && i < 16) : i == 3;
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= RowsHandled(m.layout.rowsPerFormat); ++r) {
            for (std::int64_t i = 0; i < 24; ++i)
                mayChange[static_cast<std::size_t>(m.directory[f - 1].offset + 24 * (r - 1) + i)] = true;
        }
    }
    for (std::size_t i = 0; i < original.size(); ++i)
        Require(mayChange[i] || saved[i] == original[i], "saving without edits changed a byte outside the names");
    Module again;
    again.image.assign(saved);
    Require(ReadModelListModule(again), "a module saved without edits no longer loads");
    Require(again.table.names == m.table.names && again.table.values == m.table.values,
            "a module saved without edits reads back another table");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> original(data, data + size);
    Module m;
    m.image.assign(original);
    try {
        if (ReadModuleDirectory(m.image, m.directory) == 0) {
            for (const DirectoryEntry& e : m.directory.entries)
                Require(e.offset == 0 && e.size == 0, "refused module left directory entries");
            return 0;
        }
        DecideListLayout(m.image, m.directory, m.layout);
        ReadModelList(m.image, m.directory, m.layout, m.table);
    } catch (const PlatformError& error) {
        Require(std::strlen(error.what()) > 0, "a module that did not load gave no message");
        Require(TableBeyondRowsIsEmpty(m.table, RowsHandled(m.layout.rowsPerFormat)), "row stored past the table");
        return 0;
    }
    CheckSaveUnchanged(original);
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    Require(TableBeyondRowsIsEmpty(m.table, rows), "row stored past the table");
    Require(m.image.bytes() == original, "reading changed the image");

    // Odd-sized inputs also edit every cell, so that writes really change bytes.
    if (size % 2 == 1) {
        for (int f = 1; f <= kFormats; ++f) {
            for (int r = 1; r <= rows; ++r) {
                m.table.name(r, f) = "EDIT" + std::to_string(f * 100 + r);
                m.table.value(r, f) ^= 0x0123456789ABCDEFLL;
            }
        }
    }
    const std::string refusal = WriteModelList(m.table, m.directory, m.layout, m.image);
    if (!refusal.empty()) {
        Require(m.image.bytes() == original, "a refused write changed the image");
        return 0;
    }
    Require(m.image.bytes().size() == original.size(), "writing grew the image");
    const std::vector<bool> writable = WritableBytes(original.size(), m.directory, m.layout);
    for (std::size_t i = 0; i < original.size(); ++i)
        Require(writable[i] || m.image.bytes()[i] == original[i], "a byte outside the model fields changed");
    Require(CheckWritableBlocks(m.image, m.directory, m.layout).empty(), "accepted blocks fail the block check");
    for (std::size_t i = 0; i < m.directory.headerSize && i < original.size(); ++i)
        Require(m.image.bytes()[i] == original[i], "model data landed in the header");

    const std::vector<std::uint8_t> written = m.image.bytes();
    try {
        CheckChecksum(m.image);
    } catch (const PlatformError&) {
        Require(size < 4, "checksum failed on an image of 4 bytes or more");
        return 0;
    }
    const bool royl = original.size() >= 4 && original[0] == 'R' && original[1] == 'O' && original[2] == 'Y' &&
                      original[3] == 'L';
    for (std::size_t i = 0; i < written.size(); ++i) {
        const bool checksumByte = royl ? (i >= 12 && i < 16) : i == 3;
        Require(checksumByte || m.image.bytes()[i] == written[i], "checksum changed more than its field");
    }
    return 0;
}
