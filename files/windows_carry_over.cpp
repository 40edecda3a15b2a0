// What a replacing rename on Windows must give the new file so that nothing
// of the old one is lost.

#include "windows_carry_over.h"

#include "windows_io.h"
#include "windows_text.h"

#include <aclapi.h>

namespace zentab {

namespace fs = std::filesystem;

namespace {

struct LocalMemory {
    explicit LocalMemory(void* memory) : memory(memory) {}
    ~LocalMemory() { ::LocalFree(memory); }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    void* memory;
};

// True when the file has named streams besides its content (a download's
// Zone.Identifier, for one), which a new file would not have.
bool HasNamedStreams(const fs::path& file)
{
    WIN32_FIND_STREAM_DATA stream;
    const HANDLE find = ::FindFirstStreamW(file.c_str(), FindStreamInfoStandard, &stream, 0);
    if (find == INVALID_HANDLE_VALUE) {
        // None at all, or a file system without streams.
        const DWORD error = ::GetLastError();
        return error != ERROR_HANDLE_EOF && error != ERROR_INVALID_PARAMETER && error != ERROR_CALL_NOT_IMPLEMENTED;
    }
    bool named = false;
    do {
        named = named || std::wstring(stream.cStreamName) != L"::$DATA";
    } while (!named && ::FindNextStreamW(find, &stream));
    ::FindClose(find);
    return named;
}

}  // namespace

// Gives the new file what the old one has beyond its bytes, so that a rename
// can replace it with nothing lost: the same owner (which only a privileged
// saver could give, so it must already be the saver's), the permissions
// with their inheritance, the hidden, system and archive attributes and the
// creation time. False when any of it cannot be given; the old file is then
// written in place.
bool CarryOver(const fs::path& oldFile, HANDLE fresh)
{
    if (HasNamedStreams(oldFile))
        return false;
    Handle old(::CreateFileW(oldFile.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                             nullptr));
    if (!old.valid())
        return false;
    PSID oldOwner = nullptr;
    PACL permissions = nullptr;
    PSECURITY_DESCRIPTOR oldSecurity = nullptr;
    if (::GetSecurityInfo(old.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                          &oldOwner, nullptr, &permissions, nullptr, &oldSecurity) != ERROR_SUCCESS)
        return false;
    const LocalMemory oldMemory(oldSecurity);
    PSID newOwner = nullptr;
    PSECURITY_DESCRIPTOR newSecurity = nullptr;
    if (::GetSecurityInfo(fresh, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &newOwner, nullptr, nullptr, nullptr,
                          &newSecurity) != ERROR_SUCCESS)
        return false;
    const LocalMemory newMemory(newSecurity);
    if (!oldOwner || !newOwner || !::EqualSid(oldOwner, newOwner))
        return false;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!::GetSecurityDescriptorControl(oldSecurity, &control, &revision))
        return false;
    const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | ((control & SE_DACL_PROTECTED)
                                                                        ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                        : UNPROTECTED_DACL_SECURITY_INFORMATION);
    if (::SetSecurityInfo(fresh, SE_FILE_OBJECT, what, nullptr, nullptr, permissions, nullptr) != ERROR_SUCCESS)
        return false;

    FILE_BASIC_INFO basic {};
    if (!::GetFileInformationByHandleEx(old.get(), FileBasicInfo, &basic, sizeof basic))
        return false;
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    FILE_BASIC_INFO given {};  // zero: left as it is
    given.CreationTime = basic.CreationTime;
    given.FileAttributes = (basic.FileAttributes & kKept) != 0 ? basic.FileAttributes & kKept : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(fresh, FileBasicInfo, &given, sizeof given);
}

}  // namespace zentab
