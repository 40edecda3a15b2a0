#include "container_facts.h"

#include "byte_io.h"
#include "module_image.h"

#include <cstdio>

namespace zentab::cli {

namespace {

std::string Hex(std::uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

}  // namespace

ContainerFacts ReadContainerFacts(const ModuleImage& image)
{
    ContainerFacts facts;
    facts.size = image.size();
    const std::uint8_t* bytes = image.data();
    facts.royl = facts.size >= 4 && LoadDWord(bytes) == kRoylSignature;
    // A ROYL file shorter than its checksum field would grow when the field
    // is written; fix and check refuse it as the editor's reads would.
    if (facts.size < (facts.royl ? 16 : 5))
        throw StreamReadError(facts.size < 4 ? 0 : facts.royl ? 12 : 4, facts.size);
    facts.moduleId = facts.royl ? unsigned{bytes[8]} | unsigned{bytes[9]} << 8 : unsigned{bytes[4]};
    facts.checksum = InspectChecksum(image);
    return facts;
}

const char* FormName(bool royl) { return royl ? "ROYL" : "legacy"; }

std::string ModuleIdText(unsigned moduleId, bool royl) { return Hex(moduleId, royl ? 4 : 2); }

std::string ChecksumText(std::uint32_t checksum, bool royl) { return Hex(checksum, royl ? 8 : 2); }

}  // namespace zentab::cli
