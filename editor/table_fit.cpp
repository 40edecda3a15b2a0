#include "table_fit.h"

#include "model_codec.h"
#include "name_field.h"

#include <cstdint>
#include <limits>

namespace zentab {

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

std::string CheckTableFits(const ModelTable& table, const ModelTable& stored, const ListLayout& layout)
{
    const int rows = RowsHandled(layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            if (table.name(r, f) == stored.name(r, f))
                continue;
            if (std::string problem = NameProblem(table.name(r, f)); !problem.empty())
                return std::string(FormatName(f)) + " row " + std::to_string(r) + ": " + problem;
        }
    }
    return CheckValuesFit(table, stored, layout);
}

std::string CheckValuesFit(const ModelTable& table, const ModelTable& stored, const ListLayout& layout)
{
    const int rows = RowsHandled(layout.rowsPerFormat);
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            if (table.value(r, f) == stored.value(r, f))
                continue;
            if (std::string problem = ValueProblem(table.value(r, f), layout); !problem.empty())
                return std::string(FormatName(f)) + " row " + std::to_string(r) + ": " + problem;
        }
    }
    return {};
}

std::string ValueProblem(std::int64_t value, const ListLayout& layout)
{
    if (!layout.isNew && (value < 0 || value > std::numeric_limits<std::uint32_t>::max()))
        return "the LBA " + std::to_string(value) + " does not fit the 32-bit values of an STD module (0 to 4294967295).";
    // A NEW value would keep the bits, and a drive would take them as a capacity of some 18 exabytes.
    if (value < 0)
        return "the LBA " + std::to_string(value) + " is negative; a maximum LBA is 0 or more.";
    return {};
}

}  // namespace zentab
