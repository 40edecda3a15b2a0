#include "profile_reader.h"

#include "file_layer.h"

#include <algorithm>

namespace zentab {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

ProfileReader ProfileReader::FromFile(const std::filesystem::path& path)
{
    const auto bytes = TryReadWholeFile(path, kMaxFileSize);
    if (!bytes)
        return {};
    return FromText(std::string(bytes->begin(), bytes->end()));
}

ProfileReader ProfileReader::FromText(const std::string& text)
{
    ProfileReader reader;
    std::string section;
    bool inSection = false;
    // A byte-order mark is no part of the first line.
    std::size_t pos = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        // Names travel as zero-terminated text: a zero byte ends the line.
        raw.resize(std::min(raw.size(), raw.find('\0')));
        const std::string line = TrimBlanks(raw);
        // Comments and lines without "=" carry no entry.
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            section = TrimBlanks(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos)
            continue;
        Entry entry{section, TrimBlanks(line.substr(0, equals)), Unquote(TrimBlanks(line.substr(equals + 1)))};
        if (entry.key.empty())
            continue;
        reader.entries_.push_back(std::move(entry));
    }
    return reader;
}

std::vector<std::string> ProfileReader::sectionKeys(const std::string& section) const
{
    // A section given twice reads as one; a key given twice is listed once.
    std::vector<std::string> keys;
    std::size_t used = 0;
    for (const Entry& e : entries_) {
        if (!SameName(e.section, section))
            continue;
        bool seen = false;
        for (const std::string& k : keys)
            seen = seen || SameName(k, e.key);
        if (seen)
            continue;
        // Room for names and their zero bytes, less the two closing zeros.
        const std::size_t room = kKeyListArea - 2 - used;
        if (e.key.size() >= room) {
            if (room > 0)
                keys.push_back(e.key.substr(0, room));
            break;
        }
        keys.push_back(e.key);
        used += e.key.size() + 1;
    }
    return keys;
}

std::string ProfileReader::value(const std::string& section, const std::string& key) const
{
    return value(section, key, [](const std::string& text) { return text; });
}

std::string ProfileReader::value(const std::string& section, const std::string& shownKey, Shown shown) const
{
    for (const Entry& e : entries_) {
        if (SameName(e.section, section) && SameName(shown(e.key), shownKey))
            return shown(e.value.substr(0, kValueArea - 1));
    }
    return {};
}

}  // namespace zentab
