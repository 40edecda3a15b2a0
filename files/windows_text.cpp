#include "windows_text.h"

#include <cstdint>
#include <cstring>

namespace zentab {

std::string Narrow(const std::wstring& wide)
{
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t c = static_cast<std::uint16_t>(wide[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) {
            const std::uint32_t low = static_cast<std::uint16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring Widen(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const std::uint8_t lead = byte(i);
        const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                                                      : lead >= 0xF0 && lead < 0xF5   ? 4
                                                                                                      : 0;
        std::uint32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool whole = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; whole && k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                whole = false;
            else
                c = (c << 6) | (byte(i + k) & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!whole || c < least[length] || c > 0x10FFFF) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// The reasons a technician meets most, in the same words as on Linux, so a
// script sees one text on both; the rest as the system words them.
std::string Reason(DWORD error)
{
    switch (error) {
    case kReadBackMismatch:
        return "The written file does not read back as written; the old file is kept";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return "No such file or directory";
    case ERROR_ACCESS_DENIED:
        return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "The file is in use by another program";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return "File exists";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "No space left on device";
    case ERROR_WRITE_PROTECT:
        return "Read-only file system";
    case ERROR_FILENAME_EXCED_RANGE:
        return "File name too long";
    case ERROR_DIRECTORY:
        return "Is a directory";
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return "Broken pipe";
    case ERROR_INVALID_HANDLE:
        return "Bad file descriptor";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return "Cannot allocate memory";
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = ::FormatMessageW(flags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                    reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0)
        length = ::FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (length != 0 && text)
        reason = Narrow(std::wstring(text, length));
    if (text)
        ::LocalFree(text);
    while (!reason.empty() && (std::strchr(" \r\n.", reason.back()) != nullptr))
        reason.pop_back();
    return reason.empty() ? "Windows error " + std::to_string(error) : reason;
}

}  // namespace zentab
