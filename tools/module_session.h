#pragma once
// One module as every command of the tool sees it: loaded in the editor's
// order, refused where the editor could not save it safely, and written back
// only to the file named with -o.

#include "module_state.h"

#include <string>

namespace zentab::cli {

struct LoadedModule {
    Module module;
    bool royl = false;
    unsigned moduleId = 0;
};

// Load, container check, layout, model list, then the block check that Save
// relies on. Raises Refusal for a module that is not a model list or whose
// blocks cannot take a write, PlatformError for files that cannot be read.
LoadedModule LoadModule(const std::string& path);

// Writes the table into the image, recomputes the checksum and saves to out.
// Refuses, writing nothing, when the saved module would not read back with
// the table's names and values in the layout it was loaded with.
void SaveEditedModule(LoadedModule& loaded, const std::string& out);

// Recomputes the checksum and saves to out; no name or value is touched.
void SaveWithNewChecksum(LoadedModule& loaded, const std::string& out);

}  // namespace zentab::cli
