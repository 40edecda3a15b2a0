#include "table_fit.h"

#include "model_codec.h"
#include "name_field.h"

#include <cstdint>
#include <limits>

namespace zentab::cli {

std::string NameProblem(const std::string& name)
{
    const std::string text = TrimControls(name);
    if (text.size() > kNameFieldSize)
        return "the model name \"" + text + "\" has " + std::to_string(text.size()) +
               " characters; the field holds " + std::to_string(kNameFieldSize) + ".";
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        // Reading turns these into blanks (127 reads back as itself).
        if (code < 32 || code > 127)
            return "the model name \"" + text + "\" has a character outside printable ASCII.";
    }
    return {};
}

std::string CheckTableFits(const ModelTable& table, const ListLayout& layout)
{
    const int rows = RowsHandled(layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            const std::string cell = std::string(FormatName(f)) + " row " + std::to_string(r) + ": ";
            if (std::string problem = NameProblem(table.name(r, f)); !problem.empty())
                return cell + problem;
            const std::int64_t value = table.value(r, f);
            if (!layout.isNew && (value < 0 || value > std::numeric_limits<std::uint32_t>::max()))
                return cell + "the LBA " + std::to_string(value) +
                       " does not fit the 32-bit values of an STD module (0 to 4294967295).";
        }
    }
    return {};
}

}  // namespace zentab::cli
