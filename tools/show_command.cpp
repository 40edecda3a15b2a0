// show: what a technician checks before touching a module.

#include "capacity.h"
#include "cli_errors.h"
#include "command_args.h"
#include "commands.h"
#include "container.h"
#include "file_layer.h"
#include "model_codec.h"
#include "module_json.h"
#include "module_session.h"

#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace zentab::cli {

namespace {

std::string Hex(std::uint32_t value, int digits)
{
    std::ostringstream out;
    out << "0x" << std::uppercase << std::hex << std::setw(digits) << std::setfill('0') << value;
    return out.str();
}

void PrintTable(const std::filesystem::path& path, const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    const ChecksumStatus checksum = InspectChecksum(m.image);
    const int digits = loaded.royl ? 8 : 2;
    std::ostringstream out;
    out << "Module    " << ShownPath(path) << '\n'
        << "Form      " << (loaded.royl ? "ROYL" : "legacy") << ", module id " << loaded.moduleId << ", "
        << m.directory.count << " directory entries\n"
        << "Layout    " << (m.layout.isNew ? "NEW" : "STD") << ", " << m.layout.rowsPerFormat << " rows per format";
    if (m.layout.isNew)
        out << ", value block at offset " << m.layout.newBlockOffset;
    out << "\nChecksum  " << Hex(checksum.stored, digits) << " stored, " << Hex(checksum.computed, digits)
        << " computed: " << (checksum.stored == checksum.computed ? "valid" : "WRONG") << "\n\n";

    const int rows = RowsHandled(m.layout.rowsPerFormat);
    out << std::left << std::setw(8) << "Format" << std::setw(5) << "Row" << std::setw(26) << "Model name"
        << std::right << std::setw(20) << "Max LBA" << "  Size\n";
    for (int f = 1; f <= kFormats; ++f) {
        for (int r = 1; r <= rows; ++r) {
            const std::int64_t value = m.table.value(r, f);
            out << std::left << std::setw(8) << FormatName(f) << std::right << std::setw(3) << r << "  "
                << std::left << std::setw(26) << m.table.name(r, f) << std::right << std::setw(20) << value
                << "  " << SizeText(value, 512) << '\n';
        }
    }
    if (rows == 0)
        out << "(no rows)\n";
    if (m.layout.rowsPerFormat > rows)
        out << "Rows " << rows + 1 << " to " << m.layout.rowsPerFormat
            << " of every format are not shown; edits leave them as they are.\n";
    std::cout << out.str();
}

}  // namespace

int RunShow(const std::vector<std::string>& words)
{
    CommandArguments args("show");
    args.addFlag("json");
    if (!args.parse(words))
        return kExitDone;
    const std::filesystem::path path = args.inputFile();
    const LoadedModule loaded = LoadModule(path);
    if (args.isSet("json"))
        std::cout << ModuleJson(loaded);
    else
        PrintTable(path, loaded);
    return kExitDone;
}

}  // namespace zentab::cli
