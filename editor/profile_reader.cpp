#include "profile_reader.h"

#include "case_fold.h"
#include "file_layer.h"
#include "system_text.h"

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

// Names compare as the windows show them, letters of any script without
// regard to case.
std::string Folded(const std::string& name) { return FoldCase(SystemTextToUtf8(name)); }

// Text saved as UTF-16 ("Unicode" in Notepad) is told by its byte-order
// mark and read as UTF-8 from here on; without a mark, text is 8-bit.
std::string AsUtf8(const std::string& text)
{
    if (text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0)
        return Utf16ToUtf8(text.substr(2), text[0] == '\xFE');
    return text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
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

ProfileReader ProfileReader::FromText(const std::string& marked)
{
    ProfileReader reader;
    const std::string text = AsUtf8(marked);
    std::string section;
    std::string sectionFolded;
    bool inSection = false;
    std::size_t pos = 0;
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
            sectionFolded = Folded(section);
            inSection = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos)
            continue;
        Entry entry{sectionFolded, TrimBlanks(line.substr(0, equals)), {}, Unquote(TrimBlanks(line.substr(equals + 1)))};
        if (entry.key.empty())
            continue;
        entry.keyFolded = Folded(entry.key);
        reader.entries_.push_back(std::move(entry));
    }
    return reader;
}

std::vector<std::string> ProfileReader::sectionKeys(const std::string& section) const
{
    // A section given twice reads as one; a key given twice is listed once.
    std::vector<std::string> keys;
    std::vector<const std::string*> seen;
    const std::string wanted = Folded(section);
    std::size_t used = 0;
    for (const Entry& e : entries_) {
        if (e.sectionFolded != wanted ||
            std::any_of(seen.begin(), seen.end(), [&e](const std::string* k) { return *k == e.keyFolded; }))
            continue;
        seen.push_back(&e.keyFolded);
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
    const std::string wantedSection = Folded(section), wantedKey = Folded(key);
    for (const Entry& e : entries_) {
        if (e.sectionFolded == wantedSection && e.keyFolded == wantedKey)
            return e.value.substr(0, kValueArea - 1);
    }
    return {};
}

std::string ProfileReader::value(const std::string& section, const std::string& shownKey, Shown shown) const
{
    const std::string wantedSection = Folded(section), wantedKey = FoldCase(shownKey);
    for (const Entry& e : entries_) {
        if (e.sectionFolded == wantedSection && FoldCase(shown(e.key)) == wantedKey)
            return shown(e.value.substr(0, kValueArea - 1));
    }
    return {};
}

}  // namespace zentab
