#include "model_codec.h"

#include "byte_io.h"
#include "name_field.h"

#include <cstring>

namespace zentab {

namespace {

constexpr std::uint8_t kValueBlockMarker[8] = {0x20, 0x20, 0x20, 0x20, 0, 0, 0, 0};
constexpr std::int64_t kNewBlockAfterMarker = 72;

int NameEntry(int format) { return format - 1; }
int StdValueEntry(int format) { return format + 5; }

// Position of a NEW value, Format by Format with the module's own row count
// as stride, so that rows beyond the table keep their place.
std::int64_t NewValueAt(const ListLayout& layout, int row, int format)
{
    const std::int64_t index = std::int64_t{format - 1} * layout.rowsPerFormat + (row - 1);
    return std::int64_t{layout.newBlockOffset} + index * 8;
}

}  // namespace

const char* FormatName(int format)
{
    static const char* const names[kFormats] = {"Main", "Alt 1", "Alt 2", "Alt 3", "Alt 4", "Alt 5"};
    return format >= 1 && format <= kFormats ? names[format - 1] : "";
}

std::int32_t FindNewValueBlock(ModuleImage& image)
{
    std::int64_t p = image.size() - 8;
    std::uint8_t candidate[8];
    do {
        image.seek(p);
        image.read(candidate, sizeof candidate);
        if (std::memcmp(candidate, kValueBlockMarker, sizeof candidate) == 0)
            return static_cast<std::int32_t>(p + kNewBlockAfterMarker);
        p -= 8;
    } while (p > 1);
    return -1;
}

void DecideListLayout(ModuleImage& image, const ModuleDirectory& directory, ListLayout& layout)
{
    layout.rowsPerFormat = static_cast<std::int32_t>(directory[0].size / kNameFieldSize);
    layout.newBlockOffset = FindNewValueBlock(image);
    layout.isNew = true;
    image.seek(directory[StdValueEntry(1)].offset);
    for (std::int32_t r = 0; r < layout.rowsPerFormat; ++r) {
        if (ReadDWord(image) != 0) {
            layout.isNew = false;
            break;
        }
    }
}

void ReadModelList(ModuleImage& image, const ModuleDirectory& directory, const ListLayout& layout,
                   ModelTable& table)
{
    const int rows = RowsHandled(layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        image.seek(directory[NameEntry(f)].offset);
        for (int r = 1; r <= rows; ++r) {
            NameField field;
            image.read(field.data(), field.size());
            table.name(r, f) = DecodeNameField(field);
        }
    }
    for (int f = 1; f <= kFormats; ++f) {
        if (!layout.isNew)
            image.seek(directory[StdValueEntry(f)].offset);
        for (int r = 1; r <= rows; ++r) {
            if (layout.isNew) {
                image.seek(NewValueAt(layout, r, f));
                table.value(r, f) = static_cast<std::int64_t>(ReadQWord(image));
            } else {
                table.value(r, f) = ReadDWord(image);
            }
        }
    }
}

namespace {

void WriteLists(const ModelTable& table, const ModuleDirectory& directory, const ListLayout& layout,
                ModuleImage& image)
{
    const int rows = RowsHandled(layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        image.seek(directory[NameEntry(f)].offset);
        for (int r = 1; r <= rows; ++r) {
            const NameField field = EncodeNameField(table.name(r, f));
            image.write(field.data(), field.size());
        }
    }
    for (int f = 1; f <= kFormats; ++f) {
        if (!layout.isNew)
            image.seek(directory[StdValueEntry(f)].offset);
        for (int r = 1; r <= rows; ++r) {
            if (layout.isNew) {
                image.seek(NewValueAt(layout, r, f));
                WriteQWord(image, static_cast<std::uint64_t>(table.value(r, f)));
            } else {
                // STD holds 32 bits: larger and negative values keep their low word.
                WriteDWord(image, static_cast<std::uint32_t>(table.value(r, f)));
            }
        }
    }
}

// Blocks of two lists may share bytes; then the list written later would
// silently undo an edit of the other. Reading back tells.
std::string CheckReadBack(ModuleImage& image, const ModuleDirectory& directory, const ListLayout& layout,
                          const ModelTable& written)
{
    ModelTable back;
    ReadModelList(image, directory, layout, back);
    const int rows = RowsHandled(layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            const std::int64_t value = written.value(r, f);
            const std::int64_t stored = layout.isNew ? value : static_cast<std::uint32_t>(value);
            const char* what = nullptr;
            if (back.name(r, f) != DecodeNameField(EncodeNameField(written.name(r, f))))
                what = "name";
            else if (back.value(r, f) != stored)
                what = "value";
            if (what) {
                return std::string("Save refused: the ") + what + " of " + FormatName(f) + " format row " +
                       std::to_string(r) + " would not read back as written, because blocks of this module "
                       "overlap. Nothing was written.";
            }
        }
    }
    return {};
}

}  // namespace

std::string WriteModelList(const ModelTable& table, const ModuleDirectory& directory, const ListLayout& layout,
                           ModuleImage& image)
{
    if (std::string reason = CheckWritableBlocks(image, directory, layout); !reason.empty())
        return reason;
    // Written into a copy first, so that a refusal leaves the image as it was.
    ModuleImage draft;
    draft.assign(image.bytes());
    WriteLists(table, directory, layout, draft);
    const std::int64_t end = draft.position();
    if (std::string reason = CheckReadBack(draft, directory, layout, table); !reason.empty())
        return reason;
    image.assign(draft.takeBytes());
    image.seek(end);
    return {};
}

}  // namespace zentab
