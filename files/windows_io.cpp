// Handle work for the Windows file layer: whole-file reads and writes that
// are flushed and read back, and what a name or a handle stands for.

#include "windows_io.h"

#include "windows_text.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace zentab {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kChunk = 1u << 20;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

DWORD SeekTo(HANDLE handle, std::uint64_t at)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(at);
    return ::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) ? 0 : ::GetLastError();
}

// Reads exactly size bytes from the current position.
DWORD ReadExactly(HANDLE handle, std::uint8_t* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size - done, kChunk));
        DWORD got = 0;
        if (!::ReadFile(handle, data + done, ask, &got, nullptr))
            return ::GetLastError();
        if (got == 0)
            return kReadBackMismatch;
        done += got;
    }
    return 0;
}
}  // namespace

bool IsDeviceName(const fs::path& path)
{
    const std::wstring& text = path.native();
    if (text.size() >= 4 && IsSeparator(text[0]) && IsSeparator(text[1]) && (text[2] == L'.' || text[2] == L'?') &&
        IsSeparator(text[3])) {
        if (text[2] == L'.')
            return true;
        const std::wstring rest = text.substr(4);
        const bool drive = rest.size() >= 3 && std::iswalpha(rest[0]) && rest[1] == L':' && IsSeparator(rest[2]);
        const bool share = rest.size() >= 4 && ::_wcsnicmp(rest.c_str(), L"UNC", 3) == 0 && IsSeparator(rest[3]);
        return !drive && !share;
    }
    std::wstring stem = path.filename().native();
    stem = stem.substr(0, stem.find_first_of(L".:"));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (wchar_t& c : stem)
        c = static_cast<wchar_t>(std::towupper(c));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (stem == device)
            return true;
    }
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'0' && stem[3] <= L'9';
}

fs::path FolderOf(const fs::path& file)
{
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(L".") : folder;
}

Kind KindOf(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info)
{
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info))
        return Kind::kOther;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Kind::kFolder;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        return Kind::kOther;
    return Kind::kFile;
}

// --- Console events: a save that has begun ends before the program does.
DWORD WriteAll(HANDLE handle, const std::uint8_t* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size - done, kChunk));
        DWORD put = 0;
        if (!::WriteFile(handle, data + done, ask, &put, nullptr))
            return ::GetLastError();
        if (put == 0)
            return ERROR_HANDLE_DISK_FULL;
        done += put;
    }
    return 0;
}

DWORD ReadAll(HANDLE handle, std::vector<std::uint8_t>& out)
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle, &size))
        return ::GetLastError();
    out.resize(static_cast<std::size_t>(size.QuadPart));
    if (DWORD error = SeekTo(handle, 0))
        return error;
    return ReadExactly(handle, out.data(), out.size());
}

// Writes the whole content from offset 0, cuts the file to it, flushes it to
// the disk, and checks what the file now reads back.
DWORD WriteFlushVerify(HANDLE handle, const std::vector<std::uint8_t>& bytes)
{
    if (DWORD error = SeekTo(handle, 0))
        return error;
    if (DWORD error = WriteAll(handle, bytes.data(), bytes.size()))
        return error;
    if (!::SetEndOfFile(handle) || !::FlushFileBuffers(handle))
        return ::GetLastError();
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle, &size))
        return ::GetLastError();
    if (static_cast<std::uint64_t>(size.QuadPart) != bytes.size())
        return kReadBackMismatch;
    if (DWORD error = SeekTo(handle, 0))
        return error;
    std::vector<std::uint8_t> back(std::min<std::size_t>(kChunk, bytes.size()));
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        const std::size_t n = std::min<std::size_t>(kChunk, bytes.size() - at);
        if (DWORD error = ReadExactly(handle, back.data(), n))
            return error;
        if (std::memcmp(back.data(), bytes.data() + at, n) != 0)
            return kReadBackMismatch;
    }
    return 0;
}

bool SetDeletePending(HANDLE handle, bool pending)
{
    FILE_DISPOSITION_INFO disposition {};
    disposition.DeleteFile = pending;
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
}

// A file of our own beside the target, removed unless kept. Until it is
// settled it is marked for deletion, so that the system removes it when the
// program ends in any way, killed too, before its content is complete.
}  // namespace zentab
