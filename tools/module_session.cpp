#include "module_session.h"

#include "byte_io.h"
#include "cli_errors.h"
#include "container.h"
#include "container_facts.h"
#include "errors.h"
#include "file_layer.h"
#include "model_codec.h"
#include "module_edit.h"
#include "name_field.h"
#include "standard_input.h"
#include "table_fit.h"

#include <algorithm>

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

// What the model-list reader was at when the module ended, told from where
// the read began and what the directory and layout said by then.
std::string ReadingWhat(const Module& m, bool royl, std::int64_t at)
{
    const std::int64_t fixedHeader = royl ? 52 : 28;
    const int rows = RowsHandled(m.layout.rowsPerFormat);
    // A NEW module whose value block was not found reads it at offset -1.
    if (m.layout.isNew && (at < 0 || (at >= m.layout.newBlockOffset && at < m.layout.newBlockOffset + 8 * kFormats * rows)))
        return "the NEW value block";
    if (at < fixedHeader)
        return "the module header";
    if (m.directory.headerSize == 0 || at < m.directory.headerSize)
        return "the directory";
    // The list whose block begins nearest below the read.
    int nearest = -1;
    for (int i = 0; i < 2 * kFormats; ++i)
        if (m.directory[i].offset <= at && (nearest < 0 || m.directory[i].offset >= m.directory[nearest].offset))
            nearest = i;
    if (nearest < 0)
        return "the model lists";
    const int format = nearest % kFormats + 1;
    return std::string(nearest < kFormats ? "the names of " : "the values of ") + FormatName(format);
}

}  // namespace

bool IsStandardStream(const std::filesystem::path& path) { return path == std::filesystem::path("-"); }

std::string ShownPath(const std::filesystem::path& path)
{
    return IsStandardStream(path) ? "standard input" : DisplayPath(path);
}

std::string StreamReadText(const StreamReadError& error, const std::string& what)
{
    return std::string(error.what()) + " (the module ends at byte " + std::to_string(error.size) +
           " while reading " + what + " at " + std::to_string(error.at) + ")";
}

ModuleImage LoadModuleImage(const std::filesystem::path& path)
{
    ModuleImage image;
    if (!IsStandardStream(path)) {
        image.loadFromFile(path);
        return image;
    }
    std::string bytes = ReadStandardInput(ModuleImage::kMaxFileSize);
    if (bytes.size() > ModuleImage::kMaxFileSize)
        throw PlatformError(TooLarge(ModuleImage::kMaxFileSize));
    image.assign(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return image;
}

ModuleImage ReadModuleImage(const std::filesystem::path& path)
{
    try {
        return LoadModuleImage(path);
    } catch (...) {
        RethrowAboutFile(path);
    }
    return {};
}

std::string AboutFile(const std::filesystem::path& path, const std::string& message)
{
    const std::string name = ShownPath(path);
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
    } catch (const StreamReadError& error) {
        // Only the container's fields have been read at this point.
        throw PlatformError(AboutFile(path, StreamReadText(error, "the module header")));
    } catch (const PlatformError& error) {
        throw PlatformError(AboutFile(path, error.what()));
    }
}

LoadedModule LoadModule(const std::filesystem::path& path)
{
    return ReadLoadedModule(path, ReadModuleImage(path));
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
    } catch (const StreamReadError& error) {
        const bool royl = m.image.size() >= 4 && LoadDWord(m.image.data()) == kRoylSignature;
        throw PlatformError(AboutFile(path, StreamReadText(error, ReadingWhat(m, royl, error.at))));
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
    // The codec leads some reasons with the window's "Save refused: "; here
    // every refusal reads alike.
    if (std::string reason = ApplyEditedTable(m, edited, "Edit refused: "); !reason.empty()) {
        if (reason.rfind("Save refused: ", 0) == 0)
            reason.replace(0, 4, "Edit");
        throw Refusal(AboutFile(loaded.path, reason));
    }
    Save(m.image, out);
}

void SaveWithNewChecksum(LoadedModule& loaded, const std::filesystem::path& out)
{
    UpdateChecksum(loaded.module.image);
    Save(loaded.module.image, out);
}

bool IsStandardOutput(const std::filesystem::path& out) { return IsStandardStream(out); }

std::ostream& ReportStream(const std::filesystem::path& out) { return IsStandardOutput(out) ? std::cerr : std::cout; }

std::string OutputName(const std::filesystem::path& out)
{
    return IsStandardOutput(out) ? "standard output" : DisplayPath(out);
}

}  // namespace zentab::cli
