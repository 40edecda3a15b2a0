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

std::string Describe(const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    const ChecksumStatus checksum = InspectChecksum(m.image);
    std::string text = ShownPath(loaded.path) + ": " + FormName(loaded.royl) + " module " +
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
        return "The files differ only inside name fields, whose names read the same.";
    if (d.onlyChecksum())
        return "The files differ only in the checksum field.";
    std::vector<std::string> parts;
    if (!d.cells.empty())
        parts.push_back(Count(d.cells.size(), "cell"));
    if (d.sameNameFields > 0)
        parts.push_back(Count(static_cast<std::size_t>(d.sameNameFields), "name field") + " whose name" +
                        (d.sameNameFields == 1 ? " reads" : "s read") + " the same");
    std::size_t other = 0;
    for (const ByteRange& range : d.byteRanges)
        other += range.field == ByteField::Other;
    if (other > 0)
        parts.push_back(Count(other, "byte range") + " outside the fields");
    if (d.differIn(ByteField::Checksum))
        parts.push_back("the checksum field");
    if (parts.empty())
        return "The files differ.";
    std::string text = "The files differ: ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text + ".";
}

const char* FieldName(ByteField field)
{
    switch (field) {
    case ByteField::Name:
        return "name";
    case ByteField::Value:
        return "value";
    case ByteField::Checksum:
        return "checksum";
    case ByteField::Other:
        break;
    }
    return "other";
}

std::string FieldText(const ByteRange& range)
{
    if (range.field == ByteField::Other)
        return "outside the fields";
    if (range.field == ByteField::Checksum)
        return "checksum field";
    return std::string(FieldName(range.field)) + " field, " + FormatName(range.format) + " row " +
           std::to_string(range.row);
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
    if (!d.byteRanges.empty()) {
        out << "\nBytes that differ:\n";
        for (const ByteRange& range : d.byteRanges)
            out << "  " << Hex(range.offset)
                << (range.length == 1 ? std::string(" (1 byte)")
                                      : " to " + Hex(range.offset + range.length - 1) + " (" +
                                            std::to_string(range.length) + " bytes)")
                << ": " << FieldText(range) << '\n';
    }
    out << '\n' << Verdict(d) << '\n';
    std::cout << out.str();
}

nlohmann::json SideJson(const LoadedModule& loaded)
{
    const Module& m = loaded.module;
    const ChecksumStatus checksum = InspectChecksum(m.image);
    return {{"file", ShownPath(loaded.path)},
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
    for (const ByteRange& range : d.byteRanges) {
        json entry{{"offset", range.offset}, {"length", range.length}, {"field", FieldName(range.field)}};
        if (range.field == ByteField::Name || range.field == ByteField::Value) {
            entry["format"] = FormatName(range.format);
            entry["row"] = range.row;
        }
        ranges.push_back(entry);
    }
    const json root{{"a", SideJson(a)},
                    {"b", SideJson(b)},
                    {"identical", d.identical},
                    {"cells", cells},
                    {"byte_ranges", ranges},
                    {"name_fields_same_name", d.sameNameFields},
                    {"checksum_differs", d.differIn(ByteField::Checksum)},
                    {"only_name_padding", d.onlyNamePadding()},
                    {"only_checksum", d.onlyChecksum()}};
    // File names need not be UTF-8; their stray bytes print as U+FFFD.
    std::cout << root.dump(4, ' ', false, json::error_handler_t::replace) << '\n';
}

}  // namespace

int RunDiff(const std::vector<std::string>& words)
{
    CommandArguments args("diff");
    args.addFlag("json");
    if (!args.parse(words))
        return kExitDone;
    const std::vector<std::string>& files = args.positional();
    if (files.size() != 2)
        throw UsageError(files.size() < 2 ? "diff needs two files, A and B"
                                          : "two files only; unexpected \"" + files[2] + "\"");
    if (files[0] == "-" && files[1] == "-")
        throw UsageError("A and B cannot both be standard input (\"-\")");
    // A refused or unreadable file reaches main, which answers 2 for diff.
    const LoadedModule a = LoadModule(PathFromArgument(files[0]));
    const LoadedModule b = LoadModule(PathFromArgument(files[1]));
    const ModuleDifference difference = CompareModules(a, b);
    if (args.isSet("json"))
        PrintJson(a, b, difference);
    else
        PrintText(a, b, difference);
    return difference.identical ? kExitDone : kExitDifferent;
}

}  // namespace zentab::cli
