// Spare folders for a backup on Windows: the saver's own under the local
// application data, never %TEMP%, which Storage Sense and clean-up tools
// empty.

#include "spare_folders.h"

#include "windows_text.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>

namespace zentab {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& folder)
{
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring Folded(const fs::path& path)
{
    std::wstring text = path.lexically_normal().native();
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    while (text.size() > 3 && (text.back() == L'\\' || text.back() == L'/'))
        text.pop_back();
    return text;
}

// The folder is top or lies inside it; names compare without case.
bool Inside(const fs::path& folder, const fs::path& top)
{
    const std::wstring a = Folded(folder), b = Folded(top);
    return a.size() >= b.size() && a.compare(0, b.size(), b) == 0 &&
           (a.size() == b.size() || a[b.size()] == L'\\' || b.back() == L'\\');
}

}  // namespace

std::vector<fs::path> SpareFolders(bool make)
{
    wchar_t local[MAX_PATH];
    if (::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local) != S_OK)
        return {};
    const fs::path program = fs::path(local) / L"ZentabEditor";
    const fs::path backups = program / L"Backups";
    if (make) {
        ::CreateDirectoryW(program.c_str(), nullptr);
        ::CreateDirectoryW(backups.c_str(), nullptr);
    }
    return IsFolder(backups) ? std::vector<fs::path>{backups} : std::vector<fs::path>{};
}

Status SpareFolderKeeps(const fs::path& folder)
{
    wchar_t volume[MAX_PATH];
    if (!::GetVolumePathNameW(folder.c_str(), volume, MAX_PATH))
        return {Outcome::kFailed, Reason(::GetLastError())};
    if (::GetDriveTypeW(volume) == DRIVE_RAMDISK)
        return {Outcome::kFailed, "The folder is held in memory"};
    wchar_t temporary[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temporary);
    if (length > 0 && length <= MAX_PATH && Inside(folder, fs::path(temporary)))
        return {Outcome::kFailed, "The folder is a temporary one, emptied by clean-ups"};
    return Status::Ok();
}

}  // namespace zentab
