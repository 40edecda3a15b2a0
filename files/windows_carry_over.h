#pragma once
// The owner, permissions, attributes and creation time of a module, given to
// the file that replaces it.

#include <windows.h>

#include <filesystem>

namespace zentab {

// True once fresh carries all of the old file a rename would otherwise lose;
// false when any of it cannot be given (named streams, another owner), and
// the old file is then written in place.
bool CarryOver(const std::filesystem::path& oldFile, HANDLE fresh);

}  // namespace zentab
