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

namespace zentab::cli {

namespace {

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

// A cell the module cannot take refuses the edit in the form every command
// uses, with the table's line or cell in the reason.
void ApplyCell(Module& m, const TableCell& cell, const std::filesystem::path& module, const std::string& shown)
{
    auto refuse = [&](std::string why) {
        if (!why.empty() && why.back() == '.')
            why.pop_back();
        throw Refusal(AboutFile(module, std::string("Edit refused: ") + FormatName(cell.format) + " row " +
                                            std::to_string(cell.row) + ": " + why + " (" + shown + ", " +
                                            cell.where + "). Nothing was written."));
    };
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    if (cell.row > rows)
        refuse("the module has " + std::to_string(rows) + (rows == 1 ? " row" : " rows") + " per format");
    // As Save judges them: only what differs from the module's own cell.
    std::string& name = m.table.name(cell.row, cell.format);
    if (cell.name && *cell.name != name) {
        if (std::string problem = NameProblem(*cell.name); !problem.empty())
            refuse(problem);
        name = *cell.name;
    }
    std::int64_t& value = m.table.value(cell.row, cell.format);
    if (cell.lba && *cell.lba != value) {
        if (std::string problem = ValueProblem(*cell.lba, m.layout); !problem.empty())
            refuse(problem);
        value = *cell.lba;
    }
}

}  // namespace

int RunExport(const std::vector<std::string>& words)
{
    CommandArguments args("export");
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
        std::cerr << "zentab: " << ShownPath(in) << ": rows " << rows + 1 << " to " << m.layout.rowsPerFormat
                  << " of every format are not exported; an import leaves them as they are.\n";
    return kExitDone;
}

int RunImport(const std::vector<std::string>& words)
{
    CommandArguments args("import");
    args.addOutput();
    if (!args.parse(words))
        return kExitDone;
    const std::vector<std::string>& files = args.positional();
    if (files.size() != 2)
        throw UsageError(files.size() < 2 ? "import needs FILE and TABLE"
                                          : "FILE and TABLE only; unexpected \"" + files[2] + "\"");
    if (files[0] == "-" && files[1] == "-")
        throw UsageError("FILE and TABLE cannot both be standard input (\"-\")");
    const std::filesystem::path in = PathFromArgument(files[0]);
    const std::filesystem::path out = args.outputFile();
    const std::string shown = files[1] == "-" ? "standard input" : DisplayPath(PathFromArgument(files[1]));

    LoadedModule loaded = LoadModule(in);
    const std::vector<TableCell> cells = ParseTable(ReadTable(files[1], shown), shown);
    for (const TableCell& cell : cells)
        ApplyCell(loaded.module, cell, in, shown);
    SaveEditedModule(loaded, out);
    ReportStream(out) << cells.size() << (cells.size() == 1 ? " cell" : " cells") << " set from " << shown
                      << "; checksum " << ChecksumText(InspectChecksum(loaded.module.image).stored, loaded.royl)
                      << "; module written to " << OutputName(out) << '\n';
    return kExitDone;
}

}  // namespace zentab::cli
