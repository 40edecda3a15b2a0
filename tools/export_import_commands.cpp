// export and import: the six lists through a spreadsheet or a script. An
// import writes names, values and checksum exactly as set does, so an
// unchanged table gives back the module set would save.

#include "cli_errors.h"
#include "command_args.h"
#include "commands.h"
#include "container.h"
#include "container_facts.h"
#include "errors.h"
#include "file_layer.h"
#include "standard_input.h"
#include "model_codec.h"
#include "module_session.h"
#include "table_fit.h"
#include "table_text.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>

namespace zentab::cli {

namespace {

const char kExportUsage[] =
    "Usage: zentab export [--csv | --json] FILE\n"
    "Writes the six model lists of FILE to standard output as a table.\n"
    "  --csv   format,row,name,lba with CR LF line ends (the default)\n"
    "  --json  {\"cells\": [{\"format\": \"Main\", \"row\": 1, \"name\": ..., \"lba\": ...}, ...]}\n";

const char kImportUsage[] =
    "Usage: zentab import FILE TABLE -o OUT\n"
    "Sets the cells a CSV or JSON table lists (as export writes it; TABLE \"-\" is\n"
    "standard input) and writes the module to OUT, as set does. Every CSV row sets\n"
    "name and LBA; a JSON cell may leave out \"name\" or \"lba\". LBA is a number or a\n"
    "capacity such as 500G or 2T. A table with any cell the module cannot take is\n"
    "refused whole and nothing is written.\n";

// Tables are typed or saved by hand; anything larger was picked by mistake.
constexpr std::size_t kMaxTableSize = std::size_t{16} << 20;

std::string ReadTable(const std::string& argument, const std::string& shown)
{
    if (argument != "-") {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(PathFromArgument(argument), kMaxTableSize);
        return std::string(bytes.begin(), bytes.end());
    }
    std::string text = ReadStandardInput(kMaxTableSize);
    if (text.size() > kMaxTableSize)
        throw Refusal(shown + ": the table is larger than 16 MiB.");
    return text;
}

void ApplyCell(Module& m, const TableCell& cell, const std::string& shown)
{
    const std::string at = shown + ": " + cell.where + ": " + FormatName(cell.format) + " row " +
                           std::to_string(cell.row) + ": ";
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    if (cell.row > rows)
        throw Refusal(at + "the module has " + std::to_string(rows) + (rows == 1 ? " row" : " rows") +
                      " per format. Nothing was written.");
    if (cell.name) {
        if (std::string problem = NameProblem(*cell.name); !problem.empty())
            throw Refusal(at + problem + " Nothing was written.");
        m.table.name(cell.row, cell.format) = *cell.name;
    }
    if (cell.lba) {
        if (!m.layout.isNew && (*cell.lba < 0 || *cell.lba > std::numeric_limits<std::uint32_t>::max()))
            throw Refusal(at + "the LBA " + std::to_string(*cell.lba) +
                          " does not fit the 32-bit values of an STD module (0 to 4294967295). Nothing was written.");
        m.table.value(cell.row, cell.format) = *cell.lba;
    }
}

}  // namespace

int RunExport(const std::vector<std::string>& words)
{
    CommandArguments args(kExportUsage);
    args.addFlag("csv");
    args.addFlag("json");
    args.exclude("csv", "json");
    if (!args.parse(words))
        return kExitDone;
    const std::filesystem::path in = args.inputFile();
    const LoadedModule loaded = LoadModule(in);
    const Module& m = loaded.module;
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    std::cout << (args.isSet("json") ? TableJson(m.table, rows) : TableCsv(m.table, rows));
    if (m.layout.rowsPerFormat > rows)
        std::cerr << "zentab: " << DisplayPath(in) << ": rows " << rows + 1 << " to " << m.layout.rowsPerFormat
                  << " of every format are not exported; an import leaves them as they are.\n";
    return kExitDone;
}

int RunImport(const std::vector<std::string>& words)
{
    CommandArguments args(kImportUsage);
    args.addOutput();
    if (!args.parse(words))
        return kExitDone;
    const std::vector<std::string>& files = args.positional();
    if (files.size() != 2)
        throw UsageError(files.size() < 2 ? "import needs FILE and TABLE"
                                          : "FILE and TABLE only; unexpected \"" + files[2] + "\"");
    const std::filesystem::path in = PathFromArgument(files[0]);
    const std::filesystem::path out = args.outputFile();
    const std::string shown = files[1] == "-" ? "standard input" : DisplayPath(PathFromArgument(files[1]));

    LoadedModule loaded = LoadModule(in);
    const std::vector<TableCell> cells = ParseTable(ReadTable(files[1], shown), shown);
    for (const TableCell& cell : cells)
        ApplyCell(loaded.module, cell, shown);
    SaveEditedModule(loaded, out);
    ReportStream(out) << cells.size() << (cells.size() == 1 ? " cell" : " cells") << " set from " << shown
                      << "; checksum " << ChecksumText(InspectChecksum(loaded.module.image).stored, loaded.royl)
                      << "; module written to " << OutputName(out) << '\n';
    return kExitDone;
}

}  // namespace zentab::cli
