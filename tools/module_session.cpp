#include "module_session.h"

#include "byte_io.h"
#include "cli_errors.h"
#include "container.h"
#include "container_facts.h"
#include "errors.h"
#include "file_layer.h"
#include "module_edit.h"
#include "table_fit.h"

#include <iostream>

namespace zentab::cli {

namespace {

void Save(const ModuleImage& image, const std::filesystem::path& out)
{
    if (IsStandardOutput(out))
        WriteStandardOutput(image.bytes());
    else if (const std::string warning = image.saveToFile(out); !warning.empty())
        std::cerr << "zentab: warning: " << warning << '\n';
}

}  // namespace

std::string AboutFile(const std::filesystem::path& path, const std::string& message)
{
    const std::string name = DisplayPath(path);
    if (message.find('"' + name + '"') != std::string::npos)
        return message;
    return name + ": " + message;
}

void RethrowAboutFile(const std::filesystem::path& path)
{
    try {
        throw;
    } catch (const Refusal& error) {
        throw Refusal(AboutFile(path, error.what()));
    } catch (const UsageError& error) {
        throw UsageError(AboutFile(path, error.what()));
    } catch (const PlatformError& error) {
        throw PlatformError(AboutFile(path, error.what()));
    }
}

LoadedModule LoadModule(const std::filesystem::path& path)
{
    ModuleImage image;
    try {
        image.loadFromFile(path);
    } catch (...) {
        RethrowAboutFile(path);
    }
    return ReadLoadedModule(path, std::move(image));
}

LoadedModule ReadLoadedModule(const std::filesystem::path& path, ModuleImage&& image)
{
    LoadedModule loaded;
    loaded.path = path;
    Module& m = loaded.module;
    m.table.reset();
    m.image = std::move(image);
    try {
        const bool read = ReadModelListModule(m, [&](const ListLayout&) {
            // The container check has read past both header forms, so these fields exist.
            const std::uint8_t* bytes = m.image.data();
            loaded.royl = LoadDWord(bytes) == kRoylSignature;
            loaded.moduleId = loaded.royl ? unsigned{bytes[8]} | unsigned{bytes[9]} << 8 : unsigned{bytes[4]};
        });
        if (!read) {
            const std::uint8_t* bytes = m.image.data();
            const bool royl = LoadDWord(bytes) == kRoylSignature;
            const unsigned id = royl ? unsigned{bytes[8]} | unsigned{bytes[9]} << 8 : unsigned{bytes[4]};
            throw Refusal(id != kModelListId
                              ? "not a model-list module (module id " + ModuleIdText(id, royl) + ", not 12)"
                              : std::string("not a model-list module (the directory is empty)"));
        }
    } catch (...) {
        RethrowAboutFile(path);
    }
    return loaded;
}

void SaveEditedModule(LoadedModule& loaded, const std::filesystem::path& out)
{
    Module& m = loaded.module;
    const ModelTable edited = m.table;
    if (std::string reason = CheckTableFits(m.table, StoredTable(m), m.layout); !reason.empty())
        throw Refusal(AboutFile(loaded.path, "Edit refused: " + reason + " Nothing was written."));
    if (std::string reason = ApplyEditedTable(m, edited, "Edit refused: "); !reason.empty())
        throw Refusal(AboutFile(loaded.path, reason));
    Save(m.image, out);
}

void SaveWithNewChecksum(LoadedModule& loaded, const std::filesystem::path& out)
{
    UpdateChecksum(loaded.module.image);
    Save(loaded.module.image, out);
}

bool IsStandardOutput(const std::filesystem::path& out) { return out == std::filesystem::path("-"); }

std::ostream& ReportStream(const std::filesystem::path& out) { return IsStandardOutput(out) ? std::cerr : std::cout; }

std::string OutputName(const std::filesystem::path& out)
{
    return IsStandardOutput(out) ? "standard output" : DisplayPath(out);
}

}  // namespace zentab::cli
