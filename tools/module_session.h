#pragma once
// One module as every command of the tool sees it: loaded in the editor's
// order, refused where the editor could not save it safely, and written back
// only to the file named with -o, or to standard output for "-o -".

#include "module_state.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace zentab::cli {

struct LoadedModule {
    std::filesystem::path path;  // the file it was loaded from, for messages
    Module module;
    bool royl = false;
    unsigned moduleId = 0;
};

// The bytes of FILE, or of standard input for "-", up to the 256 MiB a
// module may have; errors name the file.
ModuleImage ReadModuleImage(const std::filesystem::path& path);
// The same, with the file layer's own message when it fails.
ModuleImage LoadModuleImage(const std::filesystem::path& path);

// Load, container check, layout, model list. Raises Refusal for a module
// that is not a model list, PlatformError for files that cannot be read;
// either message names the file.
LoadedModule LoadModule(const std::filesystem::path& path);
// The same for a file already read whole into image.
LoadedModule ReadLoadedModule(const std::filesystem::path& path, ModuleImage&& image);

// A module file as messages name it: "standard input" for "-".
std::string ShownPath(const std::filesystem::path& path);

// "Stream read error (the module ends at byte N while reading WHAT at A)".
std::string StreamReadText(const StreamReadError& error, const std::string& what);

// message about the file at path, led by its name unless the platform's
// message quotes it already ("Cannot open file "…". reason").
std::string AboutFile(const std::filesystem::path& path, const std::string& message);

// Inside a catch block: throws the Refusal, UsageError or PlatformError being
// handled again with its message about the file at path. Other exceptions
// are thrown again as they are.
[[noreturn]] void RethrowAboutFile(const std::filesystem::path& path);

// Writes the table into the image, recomputes the checksum and saves to out.
// Refuses, writing nothing, when the saved module would not read back with
// the table's names and values in the layout it was loaded with.
void SaveEditedModule(LoadedModule& loaded, const std::filesystem::path& out);

// Recomputes the checksum and saves to out; no name or value is touched.
void SaveWithNewChecksum(LoadedModule& loaded, const std::filesystem::path& out);

// FILE "-" is standard input; OUT "-" is standard output.
bool IsStandardStream(const std::filesystem::path& path);

// OUT "-": the module goes to standard output and no file is created.
bool IsStandardOutput(const std::filesystem::path& out);

// Where a writing command reports what it did: standard error while the
// module itself is on standard output, so that the stream is the module alone.
std::ostream& ReportStream(const std::filesystem::path& out);

// out as the report names it.
std::string OutputName(const std::filesystem::path& out);

}  // namespace zentab::cli
