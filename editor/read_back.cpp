#include "read_back.h"

#include "container.h"
#include "errors.h"
#include "model_codec.h"
#include "name_field.h"

namespace zentab {

namespace {

const char* LayoutName(bool isNew) { return isNew ? "NEW" : "STD"; }

}  // namespace

std::string CheckReadsBack(const Module& edited)
{
    Module again;
    again.image.assign(edited.image.bytes());
    try {
        if (ReadModuleDirectory(again.image, again.directory) == 0)
            return "the edited module would no longer pass the container check.";
        DecideListLayout(again.image, again.directory, again.layout);
        const ListLayout& before = edited.layout;
        const ListLayout& after = again.layout;
        if (after.isNew != before.isNew)
            return std::string("the edited module would read as ") + LayoutName(after.isNew) + " instead of " +
                   LayoutName(before.isNew) +
                   (before.isNew ? "." : " (a module whose Main values are all 0 is taken as NEW).");
        if (after.isNew && after.newBlockOffset != before.newBlockOffset)
            return "a value written into the NEW block spells the block marker (20 20 20 20 00 00 00 00), so the "
                   "edited module would read its values from offset " +
                   std::to_string(after.newBlockOffset) + ".";
        ReadModelList(again.image, again.directory, again.layout, again.table);
    } catch (const PlatformError& error) {
        return std::string("the edited module would no longer read: ") + error.what();
    }
    const int rows = RowsHandled(edited.layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            const std::string cell = std::string(FormatName(f)) + " row " + std::to_string(r);
            // Compared with what the name field itself makes of the name, so
            // that only bytes another block overwrote count.
            if (again.table.name(r, f) != DecodeNameField(EncodeNameField(edited.table.name(r, f))) ||
                again.table.value(r, f) != edited.table.value(r, f))
                return cell + " would read back as \"" + again.table.name(r, f) + "\", " +
                       std::to_string(again.table.value(r, f)) +
                       " instead of what was written; blocks of the module share bytes.";
        }
    }
    return {};
}

}  // namespace zentab
