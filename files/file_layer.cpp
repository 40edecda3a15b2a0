// The parts of the file layer that are the same on every platform.

#include "file_layer.h"

#include "errors.h"

namespace zentab {

std::string TooLarge(std::int64_t maxSize)
{
    return "The file is larger than " + std::to_string(maxSize >> 20) +
           " MiB; a model-list module is never that large.";
}

std::optional<std::vector<std::uint8_t>> TryReadWholeFile(const std::filesystem::path& path, std::int64_t maxSize)
{
    try {
        return ReadWholeFile(path, maxSize);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

}  // namespace zentab
