#pragma once
// Resolves the name a save was given to the file it will write.

#include "save_primitives.h"

#include <filesystem>

namespace zentab {

// Links are followed as the system follows them, and a final link that
// another user made in a shared (sticky, world-writable) folder is refused,
// as the kernel's protected-link rule does where it is on. A dangling link
// stands for its missing target.
Status InspectSaveTarget(const std::filesystem::path& requested, SaveTarget& target);

}  // namespace zentab
