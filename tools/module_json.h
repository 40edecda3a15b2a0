#pragma once
// The machine-readable view of a loaded module printed by show --json.

#include "module_session.h"

#include <string>

namespace zentab::cli {

std::string ModuleJson(const LoadedModule& loaded);

}  // namespace zentab::cli
