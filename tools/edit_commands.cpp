// fix, set and auto: the commands that write a module, always to the file
// named with -o (or standard output for "-o -") and only after the whole
// edit has been checked.

#include "auto_fill.h"
#include "capacity.h"
#include "lba_text.h"
#include "cli_errors.h"
#include "command_args.h"
#include "commands.h"
#include "container.h"
#include "container_facts.h"
#include "int_text.h"
#include "model_codec.h"
#include "module_session.h"
#include "table_fit.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace zentab::cli {

namespace {

std::string SavedChecksum(const LoadedModule& loaded)
{
    return ChecksumText(InspectChecksum(loaded.module.image).stored, loaded.royl);
}

}  // namespace

int RunFix(const std::vector<std::string>& words)
{
    CommandArguments args("fix");
    args.addOutput();
    if (!args.parse(words))
        return kExitDone;
    const std::filesystem::path in = args.inputFile();
    const std::filesystem::path out = args.outputFile();
    ModuleImage image = ReadModuleImage(in);
    ContainerFacts facts;
    try {
        facts = ReadContainerFacts(image);
    } catch (...) {
        RethrowAboutFile(in);
    }
    // A model list is loaded whole first, as the editor would, so that a
    // damaged one is refused rather than given a checksum that blesses it.
    // Every other module of the family shares only the container with it:
    // its checksum field is all that is written.
    LoadedModule loaded;
    if (facts.moduleId == kModelListId) {
        loaded = ReadLoadedModule(in, std::move(image));
    } else {
        loaded.path = in;
        loaded.royl = facts.royl;
        loaded.moduleId = facts.moduleId;
        loaded.module.image = std::move(image);
    }
    const ChecksumStatus& before = facts.checksum;
    SaveWithNewChecksum(loaded, out);
    ReportStream(out) << "Checksum " << ChecksumText(before.computed, loaded.royl)
                      << (before.stored == before.computed ? " (unchanged)"
                                                           : ", was " + ChecksumText(before.stored, loaded.royl))
                      << "; module written to " << OutputName(out) << '\n';
    return kExitDone;
}

int RunSet(const std::vector<std::string>& words)
{
    CommandArguments args("set");
    args.addValue("format");
    args.addValue("row");
    args.addValue("name");
    args.addValue("lba");
    args.addOutput();
    if (!args.parse(words))
        return kExitDone;
    const std::filesystem::path in = args.inputFile();
    const std::filesystem::path out = args.outputFile();
    const auto formatText = args.value("format");
    const auto rowText = args.value("row");
    if (!formatText)
        throw UsageError("missing --format F (1 Main, 2 to 6 Alt 1 to Alt 5)");
    if (!rowText)
        throw UsageError("missing --row R");
    const int format = ParseIndex(*formatText, "--format", 1, kFormats);
    const int row = ParseIndex(*rowText, "--row", 1, kTableRows);

    const auto nameText = args.value("name");
    const auto lbaText = args.value("lba");
    if (!nameText && !lbaText)
        throw UsageError("nothing to set: give --name, --lba or both");
    // A name or value that the module cannot take is judged with the module,
    // as every other edit is; only text that is no LBA at all is a usage error.
    std::optional<std::int64_t> lba;
    if (lbaText) {
        lba = ParseLbaText(*lbaText);
        if (!lba)
            ThrowOptionError("--lba", "a number or a capacity such as 976773168, 500G or 2T", *lbaText);
    }

    LoadedModule loaded = LoadModule(in);
    Module& m = loaded.module;
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    if (row > rows)
        throw UsageError(AboutFile(in, rows == 0 ? std::string("--row: the module has no rows to set")
                                                 : "--row: a number from 1 to " + std::to_string(rows) +
                                                       " for this module, not \"" + *rowText + "\""));
    if (nameText)
        m.table.name(row, format) = *nameText;
    if (lba)
        m.table.value(row, format) = *lba;
    SaveEditedModule(loaded, out);
    ReportStream(out) << FormatName(format) << " row " << row << ": " << m.table.name(row, format) << ", "
                      << m.table.value(row, format) << " (" << SizeText(m.table.value(row, format), 512)
                      << "); checksum " << SavedChecksum(loaded) << "; module written to " << OutputName(out)
                      << '\n';
    return kExitDone;
}

int RunAuto(const std::vector<std::string>& words)
{
    CommandArguments args("auto");
    args.addValue("head0");
    args.addValue("divider");
    args.addValue("align");
    args.addValue("template");
    args.addOutput();
    if (!args.parse(words))
        return kExitDone;
    const std::filesystem::path in = args.inputFile();
    const std::filesystem::path out = args.outputFile();
    const auto headText = args.value("head0");
    if (!headText)
        throw UsageError("missing --head0 N (the LBA size of head 0)");

    // Read as the window reads its fields (an empty divider is 0, an empty
    // alignment 50), but a value that is not a number is a mistake of the
    // command line, not a default; head 0 takes the capacity shorthand.
    // The window would answer 0 with its prompt and a divider or alignment
    // of 0 with a division by zero; on the command line they are mistakes of
    // the option, as are negative numbers.
    AutoInputs inputs;
    inputs.alignment = PositiveInt32(args.value("align").value_or("50"), "--align");
    if (const auto modelTemplate = args.value("template"))
        inputs.modelTemplate = *modelTemplate;
    const std::optional<std::int64_t> head = ParseLbaText(*headText);
    if (!head || *head <= 0)
        ThrowOptionError("--head0", "a size or an LBA greater than 0", *headText);
    inputs.headSize = *head;
    inputs.divider = PositiveInt32(args.value("divider").value_or("15"), "--divider");

    LoadedModule loaded = LoadModule(in);
    Module& m = loaded.module;
    try {
        AutoFillTable(m.table, m.layout.rowsPerFormat, inputs);
    } catch (...) {
        RethrowAboutFile(in);
    }
    SaveEditedModule(loaded, out);
    ReportStream(out) << "Rows 1 to " << RowsHandled(m.layout.rowsPerFormat)
                      << " of all six formats computed from head 0 = " << inputs.headSize << "; checksum "
                      << SavedChecksum(loaded) << "; module written to " << OutputName(out) << '\n';
    return kExitDone;
}

}  // namespace zentab::cli
