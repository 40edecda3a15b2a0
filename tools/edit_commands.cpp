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

const char kFixUsage[] =
    "Usage: zentab fix FILE -o OUT\n"
    "Recomputes the checksum of FILE and writes the module to OUT (which may be FILE).\n"
    "Any module of either form is fixed, whatever its id; a model list (id 12) must\n"
    "also read as one.\n";

const char kSetUsage[] =
    "Usage: zentab set FILE --format F --row R [--name TEXT] [--lba VALUE] -o OUT\n"
    "Changes one cell of the model lists and writes the module to OUT (which may be FILE).\n"
    "  --format F    1 Main, 2 to 6 Alt 1 to Alt 5\n"
    "  --row R       1 to the module's rows per format (at most 11)\n"
    "  --name TEXT   model name, up to 24 printable ASCII characters\n"
    "  --lba VALUE   maximum LBA: a number, or whole gigabytes or terabytes as 500G or 2T\n";

const char kAutoUsage[] =
    "Usage: zentab auto FILE --head0 N [--divider D] [--align S] [--template T] -o OUT\n"
    "Computes all six model lists from the LBA size of head 0 and writes the module to OUT.\n"
    "  --head0 N      LBA size of head 0\n"
    "  --divider D    format step divider (default 15)\n"
    "  --align S      gigabytes each capacity is rounded down to a multiple of (default 50)\n"
    "  --template T   model name template (default \"WDC WD20EARS-00MVWB0\")\n";

std::string SavedChecksum(const LoadedModule& loaded)
{
    return ChecksumText(InspectChecksum(loaded.module.image).stored, loaded.royl);
}

}  // namespace

int RunFix(const std::vector<std::string>& words)
{
    CommandArguments args(kFixUsage);
    args.addOutput();
    if (!args.parse(words))
        return kExitDone;
    const std::filesystem::path in = args.inputFile();
    const std::filesystem::path out = args.outputFile();
    ModuleImage image;
    ContainerFacts facts;
    try {
        image.loadFromFile(in);
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
    CommandArguments args(kSetUsage);
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
    std::string name;
    if (nameText) {
        name = *nameText;
        if (std::string problem = NameProblem(name); !problem.empty())
            throw UsageError("--name: " + problem);
    }
    std::optional<std::int64_t> lba;
    if (lbaText) {
        lba = ParseLbaText(*lbaText);
        if (!lba)
            throw UsageError("--lba: \"" + *lbaText +
                             "\" is not a number or a capacity such as 976773168, 500G or 2T");
    }

    LoadedModule loaded = LoadModule(in);
    Module& m = loaded.module;
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    if (row > rows)
        throw UsageError(AboutFile(in, rows == 0 ? std::string("the module has no rows to set")
                                                 : "--row must be from 1 to " + std::to_string(rows) +
                                                       " for this module"));
    if (nameText)
        m.table.name(row, format) = name;
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
    CommandArguments args(kAutoUsage);
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
    AutoInputs inputs;
    inputs.alignment = OptionInt32(args.value("align").value_or("50"), "--align", 50);
    if (const auto modelTemplate = args.value("template"))
        inputs.modelTemplate = *modelTemplate;
    const std::optional<std::int64_t> head = ParseLbaText(*headText);
    if (!head)
        throw UsageError("--head0: \"" + *headText +
                         "\" is not a number or a capacity such as 488397168, 250G or 2T");
    inputs.headSize = *head;
    inputs.divider = OptionInt32(args.value("divider").value_or("15"), "--divider", 0);

    LoadedModule loaded = LoadModule(in);
    Module& m = loaded.module;
    if (inputs.headSize == 0)
        throw Refusal(AboutFile(in, "Enter LBA Size for Head 0"));

    try {
        AutoFillTable(m.table, m.layout.rowsPerFormat, inputs);
    } catch (...) {
        RethrowAboutFile(in);  // a divider or alignment of 0
    }
    SaveEditedModule(loaded, out);
    ReportStream(out) << "Rows 1 to " << RowsHandled(m.layout.rowsPerFormat)
                      << " of all six formats computed from head 0 = " << inputs.headSize << "; checksum "
                      << SavedChecksum(loaded) << "; module written to " << OutputName(out) << '\n';
    return kExitDone;
}

}  // namespace zentab::cli
