#pragma once
// What the container says about any module of the family, whatever its id:
// the header form, the module id, the size and the checksum. The container
// and its checksum are the same for every module, so check and fix need no
// more than this.

#include "container.h"
#include "module_image.h"

#include <cstdint>
#include <string>

namespace zentab::cli {

struct ContainerFacts {
    bool royl = false;
    unsigned moduleId = 0;  // 16 bits in the ROYL form, one byte in the legacy form
    std::int64_t size = 0;
    ChecksumStatus checksum;

    bool checksumValid() const { return checksum.stored == checksum.computed; }
};

// "Stream read error" for an image too short to hold its form's id and
// checksum fields (16 bytes for ROYL, 5 for legacy).
ContainerFacts ReadContainerFacts(const ModuleImage& image);

const char* FormName(bool royl);
// As the container stores them: 0x000C and 0x12345678 for ROYL, 0x0C and 0x5A
// for the legacy form's id and checksum bytes.
std::string ModuleIdText(unsigned moduleId, bool royl);
std::string ChecksumText(std::uint32_t checksum, bool royl);

}  // namespace zentab::cli
