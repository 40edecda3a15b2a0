// The settings-file reader on arbitrary text (8-bit, UTF-8, UTF-16 after its
// byte-order mark, or none of these): key names are listed within the area
// the list is read through, values are cut to the value area, every listed
// key finds its value, also as a window shows and types it, and folding
// letters to one case is stable.

#include "case_fold.h"
#include "profile_reader.h"
#include "system_text.h"

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
            // As typed into a window, for the first few keys: each look-up
            // converts every entry.
            if (&key - keys.data() >= 8)
                continue;
            const std::string shown = zentab::SystemTextToUtf8(key);
            Require(reader.value(section, zentab::FoldCase(shown), zentab::SystemTextToUtf8) ==
                        reader.value(section, shown, zentab::SystemTextToUtf8),
                    "a key typed in other case finds another value");
        }
        Require(area <= zentab::ProfileReader::kKeyListArea, "key list larger than its area");
    }
    Require(reader.value("CAPACITY", text.substr(0, 64)).size() < zentab::ProfileReader::kValueArea,
            "value longer than its area");
    const std::string folded = zentab::FoldCase(text);
    Require(zentab::FoldCase(folded) == folded, "folding to one case is not stable");
    return 0;
}
