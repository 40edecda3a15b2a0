// The guard between a module read from an unknown drive and the bytes Save
// writes: model data must never land on the header or past the end of the
// image. (Lists that share bytes are caught by WriteModelList's read-back.)

#include "model_codec.h"
#include "name_field.h"

namespace zentab {

namespace {

std::string Describe(const char* what, int format, std::int64_t offset, std::int64_t length)
{
    return std::string("the ") + what + " of " + FormatName(format) + " format (offset " + std::to_string(offset) +
           ", " + std::to_string(length) + " bytes)";
}

std::string CheckSpan(const ModuleImage& image, const ModuleDirectory& directory, const std::string& what,
                      std::int64_t offset, std::int64_t length)
{
    if (offset < directory.headerSize)
        return "Save refused: " + what + " lies inside the module header. Nothing was written.";
    if (offset > image.size() || length > image.size() - offset)
        return "Save refused: " + what + " runs past the end of the module. Nothing was written.";
    return {};
}

std::string CheckDirectoryBlock(const ModuleImage& image, const ModuleDirectory& directory, const char* what,
                                int entry, int format, std::int64_t needed)
{
    // The declared block size is not consulted: modules in the field declare
    // blocks smaller than their rows, and the rows are what a drive reads. A
    // missing entry has offset 0, which lies in the header.
    const DirectoryEntry& block = directory[entry];
    return CheckSpan(image, directory, Describe(what, format, block.offset, needed), block.offset, needed);
}

}  // namespace

std::string CheckWritableBlocks(const ModuleImage& image, const ModuleDirectory& directory,
                                const ListLayout& layout)
{
    const int rows = RowsHandled(layout.rowsPerFormat);
    if (rows == 0)
        return {};
    for (int f = 1; f <= kFormats; ++f) {
        const std::string reason = CheckDirectoryBlock(image, directory, "name block", f - 1, f,
                                                       std::int64_t{rows} * std::int64_t{kNameFieldSize});
        if (!reason.empty())
            return reason;
    }
    if (!layout.isNew) {
        for (int f = 1; f <= kFormats; ++f) {
            const std::string reason =
                CheckDirectoryBlock(image, directory, "value block", f + 5, f, std::int64_t{rows} * 4);
            if (!reason.empty())
                return reason;
        }
        return {};
    }
    // The NEW block is found by its marker, not by the directory; it holds
    // the values of all six Formats, rows per format each.
    if (layout.newBlockOffset < 0)
        return "Save refused: the module has no NEW value block marker (20 20 20 20 00 00 00 00). Nothing was written.";
    const std::int64_t length = std::int64_t{layout.rowsPerFormat} * kFormats * 8;
    return CheckSpan(image, directory,
                     "the NEW value block (offset " + std::to_string(layout.newBlockOffset) + ", " +
                         std::to_string(length) + " bytes)",
                     layout.newBlockOffset, length);
}

}  // namespace zentab
