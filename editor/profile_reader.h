#pragma once
// Reader for the settings file in the private-profile text format:
// [SECTION] lines and key=value entries, section and key names compared
// without regard to letter case (in any script), keys listed in file order
// as spelled in the file. The text is 8-bit (the system's code page), UTF-8,
// or UTF-16 after its byte-order mark, which is read as UTF-8. Written by
// hand because the format must not be sorted, unescaped or rewritten the
// way general-purpose settings classes do. Plain C++, so that
// it can be tested and fuzzed without a window.

#include <filesystem>
#include <string>
#include <vector>

namespace zentab {

class ProfileReader {
public:
    // The key names are returned through one area of this many bytes, each
    // followed by a zero byte and one more zero at the end; what does not
    // fit is cut, so a long list ends in a shortened name.
    static constexpr std::size_t kKeyListArea = 16384;
    // Values come through an area of this many bytes, the last one a zero.
    static constexpr std::size_t kValueArea = 2048;

    // A missing or unreadable file, or anything that is not a regular file
    // (a pipe, a device), reads as an empty one. Reading is bounded.
    static constexpr std::int64_t kMaxFileSize = std::int64_t{16} << 20;
    static ProfileReader FromFile(const std::filesystem::path& path);
    static ProfileReader FromText(const std::string& text);

    std::vector<std::string> sectionKeys(const std::string& section) const;
    // The value of the first entry of that key; empty when the file, the
    // section or the key is missing.
    std::string value(const std::string& section, const std::string& key) const;
    // The same for a key as a window shows it, the key names and the value
    // taken through shown (their 8-bit text to the window's).
    using Shown = std::string (*)(const std::string&);
    std::string value(const std::string& section, const std::string& shownKey, Shown shown) const;

private:
    struct Entry {
        std::string sectionFolded;  // as names are compared
        std::string key;
        std::string keyFolded;
        std::string value;
    };
    std::vector<Entry> entries_;
};

}  // namespace zentab
