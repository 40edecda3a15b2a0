// The names a save gives its files.

#include "backup_names.h"

#include "file_layer.h"

#include <cstdint>
#include <cstdio>

namespace zentab {

namespace fs = std::filesystem;

namespace {

// A spare folder's backup keeps this much of the module's name, for the
// reader; the identity says whose it is.
constexpr std::size_t kShownNameLength = 64;

// The name cut to kShownNameLength units, never inside a character.
fs::path Shortened(const fs::path& name)
{
    auto text = name.native();
    if (text.size() <= kShownNameLength)
        return name;
    std::size_t end = kShownNameLength;
    const auto continues = [](auto unit) {
        const auto u = static_cast<std::uint32_t>(unit);
        return sizeof unit == 1 ? (u & 0xC0) == 0x80 : u >= 0xDC00 && u <= 0xDFFF;
    };
    while (end > 0 && continues(text[end]))
        --end;
    text.resize(end);
    return fs::path(text);
}

// 64-bit FNV-1a over the path as messages show it (its bytes, or UTF-8 on
// Windows): the full path in a file name's room.
std::string PathDigest(const fs::path& path)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char byte : DisplayPath(path))
        hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001b3u;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

fs::path Prefixed(const char* before, const fs::path& name, const std::string& after)
{
    fs::path prefix(before);
    prefix += name.native();
    prefix += after;
    return prefix;
}

}  // namespace

fs::path TemporaryPrefix(const fs::path& name) { return Prefixed(".", name, ".zentab-"); }

fs::path BackupPrefix(const fs::path& name) { return Prefixed("", name, ".zentab-backup-"); }

fs::path SpareBackupPrefix(const fs::path& name, const std::string& identity, const fs::path& fullPath)
{
    return Prefixed("zentab-backup-", Shortened(name), "-" + identity + "-" + PathDigest(fullPath) + "-");
}

}  // namespace zentab
