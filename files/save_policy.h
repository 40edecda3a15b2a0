#pragma once
// How a save replaces a file, the same on every platform; the steps it is
// made of are the platform's (save_primitives.h).

#include "save_primitives.h"

#include <filesystem>
#include <string>

namespace zentab {

// Writes bytes as the whole content of path, as WriteWholeFile describes.
// Returns a warning (empty when there is nothing to say); throws
// PlatformError for a save that did not happen or is not safe on disk.
std::string SaveWholeFile(SavePrimitives& primitives, const std::filesystem::path& path, const Bytes& bytes);

}  // namespace zentab
