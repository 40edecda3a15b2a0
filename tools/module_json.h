#pragma once
// The machine-readable view of a loaded module printed by show --json.

#include "module_session.h"

#include <QByteArray>

namespace zentab::cli {

QByteArray ModuleJson(const LoadedModule& loaded);

}  // namespace zentab::cli
