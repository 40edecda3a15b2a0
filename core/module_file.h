#pragma once
// Whole-file read and write of module files. Writing goes through a temporary
// file beside the target, renamed over it only once every byte is on disk, so
// a failed save never leaves a truncated module where the good one was.

#include <cstdint>
#include <string>
#include <vector>

namespace zentab {

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::int64_t maxSize);
void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace zentab
