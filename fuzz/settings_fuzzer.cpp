// The settings-file reader on arbitrary text: key names are listed within the
// area the list is read through, values are cut to the value area, and every
// listed key finds its value.

#include "profile_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const zentab::ProfileReader reader = zentab::ProfileReader::FromText(text);
    for (const char* section : {"CAPACITY", "capacity", ""}) {
        std::size_t area = 1;  // the closing zero
        const auto keys = reader.sectionKeys(section);
        for (const std::string& key : keys) {
            Require(!key.empty(), "an empty key name was listed");
            Require(key.find('\0') == std::string::npos, "a key name holds a zero byte");
            area += key.size() + 1;
            Require(reader.value(section, key).size() <= zentab::ProfileReader::kValueArea - 1,
                    "value longer than its area");
        }
        Require(area <= zentab::ProfileReader::kKeyListArea, "key list larger than its area");
    }
    Require(reader.value("CAPACITY", text.substr(0, 64)).size() < zentab::ProfileReader::kValueArea,
            "value longer than its area");
    return 0;
}
