// diff: two model-list modules side by side, with the exit status of diff:
// 0 same bytes, 1 different, 2 trouble.

#include "capacity.h"
#include "cli_errors.h"
#include "command_args.h"
#include "commands.h"
#include "container_facts.h"
#include "file_layer.h"
#include "model_codec.h"
#include "module_diff.h"
#include "module_session.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>

namespace zentab::cli {

namespace {

const char kUsage[] =
    "Usage: zentab diff [--json] A B\n"
    "Compares two model-list modules: form, layout, rows per format, every cell that\n"
    "differs, the checksum of each, and the bytes that differ outside the name, value\n"
    "and checksum fields.\n"
    "  --json  one JSON object instead of the text\n"
    "Exit status: 0 the files are the same, 1 they differ, 2 trouble (a file refused or\n"
    "unreadable, a wrong command line).\n";

std::string Describe(const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    const ChecksumStatus checksum = InspectChecksum(m.image);
    std::string text = DisplayPath(loaded.path) + ": " + FormName(loaded.royl) + " module " +
                       ModuleIdText(loaded.moduleId, loaded.royl) + ", " + std::to_string(m.image.size()) +
                       " bytes, " + (m.layout.isNew ? "NEW" : "STD") + ", " + std::to_string(m.layout.rowsPerFormat) +
                       " rows per format, checksum " + ChecksumText(checksum.stored, loaded.royl);
    if (checksum.stored == checksum.computed)
        return text + " OK";
    return text + " WRONG (computed " + ChecksumText(checksum.computed, loaded.royl) + ")";
}

std::string CellText(const CellSide& side)
{
    if (!side.present)
        return "(no such row)";
    const std::string size = SizeText(side.lba, 512);
    return '"' + side.name + "\" " + std::to_string(side.lba) + (size.empty() ? "" : " (" + size + ")");
}

std::string Hex(std::int64_t value)
{
    std::ostringstream out;
    out << "0x" << std::uppercase << std::hex << value;
    return out.str();
}

std::string Count(std::size_t count, const std::string& what)
{
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

std::string Verdict(const ModuleDifference& d)
{
    if (d.identical)
        return "The files are identical.";
    if (d.onlyNamePadding())
        return std::string("The files differ only inside name fields, whose names read the same") +
               (d.checksumDiffers ? ", and in the checksum field." : ".");
    std::vector<std::string> parts;
    if (!d.cells.empty())
        parts.push_back(Count(d.cells.size(), "cell"));
    if (!d.otherBytes.empty())
        parts.push_back(Count(d.otherBytes.size(), "byte range") + " outside the fields");
    if (d.checksumDiffers)
        parts.push_back("the checksum field");
    if (parts.empty())
        return "The files differ.";
    std::string text = "The files differ: ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text + ".";
}

void PrintText(const LoadedModule& a, const LoadedModule& b, const ModuleDifference& d)
{
    std::ostringstream out;
    out << "A  " << Describe(a) << '\n' << "B  " << Describe(b) << '\n';
    if (!d.cells.empty()) {
        out << "\nCells that differ (A | B):\n";
        for (const CellDifference& cell : d.cells)
            out << "  " << FormatName(cell.format) << " row " << cell.row << ": " << CellText(cell.a) << " | "
                << CellText(cell.b) << '\n';
    }
    if (!d.otherBytes.empty()) {
        out << "\nBytes that differ outside the name, value and checksum fields:\n";
        for (const ByteRange& range : d.otherBytes)
            out << "  " << Hex(range.offset)
                << (range.length == 1 ? std::string(" (1 byte)")
                                      : " to " + Hex(range.offset + range.length - 1) + " (" +
                                            std::to_string(range.length) + " bytes)")
                << '\n';
    }
    out << '\n' << Verdict(d) << '\n';
    std::cout << out.str();
}

nlohmann::json SideJson(const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    const ChecksumStatus checksum = InspectChecksum(m.image);
    return {{"file", DisplayPath(loaded.path)},
            {"form", FormName(loaded.royl)},
            {"module_id", loaded.moduleId},
            {"size", m.image.size()},
            {"layout", m.layout.isNew ? "NEW" : "STD"},
            {"rows", m.layout.rowsPerFormat},
            {"checksum",
             {{"stored", checksum.stored}, {"computed", checksum.computed}, {"valid", checksum.stored == checksum.computed}}}};
}

nlohmann::json CellJson(const CellSide& side)
{
    if (!side.present)
        return nullptr;
    return {{"name", side.name}, {"lba", side.lba}, {"size", SizeText(side.lba, 512)}};
}

void PrintJson(const LoadedModule& a, const LoadedModule& b, const ModuleDifference& d)
{
    using nlohmann::json;
    json cells = json::array();
    for (const CellDifference& cell : d.cells)
        cells.push_back(
            {{"format", FormatName(cell.format)}, {"row", cell.row}, {"a", CellJson(cell.a)}, {"b", CellJson(cell.b)}});
    json ranges = json::array();
    for (const ByteRange& range : d.otherBytes)
        ranges.push_back({{"offset", range.offset}, {"length", range.length}});
    const json root{{"a", SideJson(a)},
                    {"b", SideJson(b)},
                    {"identical", d.identical},
                    {"cells", cells},
                    {"byte_ranges", ranges},
                    {"checksum_differs", d.checksumDiffers},
                    {"only_name_padding", d.onlyNamePadding()}};
    // File names need not be UTF-8; their stray bytes print as U+FFFD.
    std::cout << root.dump(4, ' ', false, json::error_handler_t::replace) << '\n';
}

}  // namespace

int RunDiff(const std::vector<std::string>& words)
{
    CommandArguments args(kUsage);
    args.addFlag("json");
    if (!args.parse(words))
        return kExitDone;
    const std::vector<std::string>& files = args.positional();
    if (files.size() != 2)
        throw UsageError(files.size() < 2 ? "diff needs two files, A and B"
                                          : "two files only; unexpected \"" + files[2] + "\"");
    try {
        const LoadedModule a = LoadModule(PathFromArgument(files[0]));
        const LoadedModule b = LoadModule(PathFromArgument(files[1]));
        const ModuleDifference difference = CompareModules(a, b);
        if (args.isSet("json"))
            PrintJson(a, b, difference);
        else
            PrintText(a, b, difference);
        return difference.identical ? kExitDone : kExitDifferent;
    } catch (const std::exception& error) {
        // Status 1 means "different" here, so trouble has a status of its own.
        std::cerr << "zentab: " << error.what() << '\n';
        return kExitTrouble;
    }
}

}  // namespace zentab::cli
