// The file layer on Windows.
//
// Names are wide (UTF-16) from the caller to the system; files are read and
// written as bytes, never through a text mode.
//
// How a save replaces a file (WriteWholeFile):
//  1. A device name (NUL, CON, COM1, ..., also with an extension, and
//     anything under \\.\) is refused before anything is opened; so is
//     whatever then opens as something other than a file on a disk, and a
//     folder. A symbolic link is followed to the file it names; a link whose
//     target is missing is refused, since its target cannot be named safely.
//  2. A file with the read-only attribute is refused: the technician who set
//     it meant it.
//  3. The new content goes into ".NAME.zentab-XXXXXX" beside the file, is
//     flushed (FlushFileBuffers) and read back; until then the file is
//     marked for deletion, so even a killed program leaves none behind.
//     It takes the old file's owner (which must already be the saver's),
//     permissions with their inheritance, attributes and creation time, and
//     replaces it with one MoveFileExW(MOVEFILE_REPLACE_EXISTING |
//     MOVEFILE_WRITE_THROUGH), so the name holds the old or the new module
//     at every moment. ReplaceFileW is not used: it is not one step
//     everywhere (Wine deletes the old file first). A missing file gets the
//     new one by MoveFileExW without replacing, never over a file that
//     appeared meanwhile.
//  4. A file with more than one hard link, named streams, another owner, in
//     a folder that takes no new file, or one the rename cannot replace (a
//     file open without delete sharing) is written in place, so every name,
//     attribute and permission stays: first a complete, flushed copy of the
//     old bytes beside it ("NAME.zentab-backup-XXXXXX", in the temporary
//     folder when its own folder takes none; marked for deletion until
//     complete), then the new bytes, flushed and read back; after any
//     failure the old bytes are put back from the copy. Only a crash during
//     the rewrite leaves the copy, which then holds the old module whole.
//  5. Ctrl+C, Ctrl+Break and the console closing wait for a running save to
//     end before the program does, so neither a temporary nor a half-written
//     module stays behind.

#include "file_layer.h"

#include "errors.h"
#include "windows_text.h"

#include <windows.h>
#include <aclapi.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwctype>

namespace zentab {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kChunk = 1u << 20;

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (valid())
            ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Names that reach a device rather than a file: the \\.\ namespace, the
// \\?\ one before anything but a drive or a share, and the reserved DOS
// names, which stay devices in any folder and with any extension.
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

bool FolderRefusesNewFiles(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

// What a handle opens: only a file on a disk is a module file.
enum class Kind { kFile, kFolder, kOther };

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

std::atomic<int> gSavesRunning{0};
std::atomic<bool> gStopping{false};

BOOL WINAPI OnConsoleEvent(DWORD)
{
    gStopping = true;
    while (gSavesRunning.load() > 0)
        ::Sleep(5);
    return FALSE;  // on to the default handler, which ends the program
}

class SaveSection {
public:
    SaveSection()
    {
        ++gSavesRunning;
        if (gStopping) {
            // The program is being ended; a save begun now would be cut off.
            --gSavesRunning;
            ::Sleep(INFINITE);
        }
    }
    ~SaveSection() { --gSavesRunning; }
    SaveSection(const SaveSection&) = delete;
    SaveSection& operator=(const SaveSection&) = delete;
};

// Standard output and error carry bytes, as on Linux: no "\r" added before
// "\n"; a console shows the UTF-8 file names as letters.
void UseBinaryStandardStreams()
{
    static const bool done = [] {
        ::_setmode(::_fileno(stdout), _O_BINARY);
        ::_setmode(::_fileno(stderr), _O_BINARY);
        ::SetConsoleOutputCP(CP_UTF8);
        return true;
    }();
    (void)done;
}

// --- Plain handle work; each returns 0 or a system error code.

DWORD SeekTo(HANDLE handle, std::uint64_t at)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(at);
    return ::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) ? 0 : ::GetLastError();
}

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
class Temporary {
public:
    Temporary() = default;
    ~Temporary() { remove(); }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    // Creates "folder/prefixXXXXXX" for reading and writing by us alone;
    // 0 or the system's error.
    DWORD create(const fs::path& folder, const std::wstring& prefix)
    {
        static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        static unsigned counter = 0;
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::uint64_t seed = static_cast<std::uint64_t>(now.QuadPart) * 6364136223846793005u +
                                 ::GetCurrentProcessId() * 2654435761u + ++counter * 40503u;
            std::wstring suffix;
            for (int i = 0; i < 6; ++i, seed /= 62)
                suffix += kLetters[seed % 62];
            const fs::path name = folder / (prefix + suffix);
            // WRITE_DAC and READ_CONTROL, which its owner always has, for
            // the permissions of the file it replaces.
            handle_.reset(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE | WRITE_DAC | READ_CONTROL,
                                        0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (handle_.valid()) {
                name_ = name;
                pending_ = SetDeletePending(handle_.get(), true);
                return 0;
            }
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return error;
        }
        return ERROR_FILE_EXISTS;
    }

    // The content is complete: the file now outlives the program.
    DWORD settle()
    {
        if (pending_ && !SetDeletePending(handle_.get(), false))
            return ::GetLastError();
        pending_ = false;
        return 0;
    }
    HANDLE handle() const { return handle_.get(); }
    const fs::path& name() const { return name_; }
    void close() { handle_.reset(); }
    // The name now belongs to a file that is to stay.
    void keep()
    {
        close();
        name_.clear();
    }
    void remove()
    {
        close();
        if (!name_.empty())
            ::DeleteFileW(name_.c_str());
        name_.clear();
    }

private:
    Handle handle_;
    fs::path name_;
    bool pending_ = false;
};

// Frees what a security call allocated.
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

class Saver {
public:
    Saver(const fs::path& path, const std::vector<std::uint8_t>& bytes)
        : shown_(DisplayPath(path)), bytes_(bytes), target_(path)
    {
    }

    void run()
    {
        if (IsDeviceName(target_))
            refuseKind();
        // ReplaceFileW wants to see the folder in both names (Wine fails
        // on a bare "m.bin"), and an absolute name is immune to a change
        // of the current folder during the save.
        std::error_code ignored;
        if (fs::path absolute = fs::absolute(target_, ignored); !ignored)
            target_ = std::move(absolute);
        DWORD attributes = ::GetFileAttributesW(target_.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND)
                fail(error);
            setFolder();
            createNew();
            return;
        }
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            attributes = followLink();
        setFolder();
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            fail(ERROR_DIRECTORY);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            ThrowCannotCreate(shown_, "Read-only file");

        // Opened as a writer that tolerates every other opener, so only an
        // opener that denies writing (or the file's security) refuses here,
        // before any temporary exists.
        BY_HANDLE_FILE_INFORMATION info {};
        {
            Handle probe(::CreateFileW(target_.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
            if (!probe.valid())
                fail(::GetLastError());
            const Kind kind = KindOf(probe.get(), info);
            if (kind == Kind::kFolder)
                fail(ERROR_DIRECTORY);
            if (kind != Kind::kFile)
                refuseKind();
        }
        if (info.nNumberOfLinks == 1 && replaceByRename())
            return;
        writeInPlace();
    }

private:
    [[noreturn]] void fail(DWORD error) const { ThrowCannotCreate(shown_, Reason(error)); }
    [[noreturn]] void refuseKind() const
    {
        ThrowCannotCreate(shown_, "Not a regular file; only a module file is ever written");
    }

    void setFolder()
    {
        folder_ = FolderOf(target_);
        name_ = target_.filename().native();
    }

    // The final name of the file a link points at, as the save's target.
    DWORD followLink()
    {
        Handle file(::CreateFileW(target_.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                ThrowCannotCreate(shown_, "The link points at a missing file; it is not created through the link");
            fail(error);
        }
        std::wstring name(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = ::GetFinalPathNameByHandleW(file.get(), name.data(), static_cast<DWORD>(name.size()),
                                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (length == 0)
                fail(::GetLastError());
            if (length < name.size()) {
                name.resize(length);
                break;
            }
            name.resize(length + 1);
        }
        target_ = fs::path(name);
        const DWORD attributes = ::GetFileAttributesW(target_.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            fail(::GetLastError());
        return attributes;
    }

    std::wstring temporaryPrefix() const { return L"." + name_ + L".zentab-"; }

    void createNew()
    {
        Temporary fresh;
        if (DWORD error = fresh.create(folder_, temporaryPrefix()))
            fail(error);
        if (DWORD error = WriteFlushVerify(fresh.handle(), bytes_))
            fail(error);
        if (DWORD error = fresh.settle())
            fail(error);
        fresh.close();
        // No replacing: a file that appeared meanwhile is not overwritten.
        if (!::MoveFileExW(fresh.name().c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH))
            fail(::GetLastError());
        fresh.keep();
    }

    // False when the file must be written in place instead.
    bool replaceByRename()
    {
        Temporary fresh;
        if (DWORD error = fresh.create(folder_, temporaryPrefix())) {
            if (FolderRefusesNewFiles(error))
                return false;
            fail(error);
        }
        if (DWORD error = WriteFlushVerify(fresh.handle(), bytes_))
            fail(error);
        if (!CarryOver(target_, fresh.handle()))
            return false;
        if (DWORD error = fresh.settle())
            fail(error);
        fresh.close();
        // One rename that replaces: the name holds the old file or the new
        // one at every moment. (ReplaceFileW carries more over by itself,
        // but is not one step everywhere: Wine deletes the old file first,
        // and a kill then leaves no module under its name.)
        if (!::MoveFileExW(fresh.name().c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        fresh.keep();
        return true;
    }

    void writeInPlace()
    {
        Handle file(::CreateFileW(target_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
        if (!file.valid())
            fail(::GetLastError());
        BY_HANDLE_FILE_INFORMATION info {};
        if (KindOf(file.get(), info) != Kind::kFile)
            refuseKind();
        std::vector<std::uint8_t> old;
        if (DWORD error = ReadAll(file.get(), old))
            fail(error);

        Temporary backup;
        DWORD error = backup.create(folder_, name_ + L".zentab-backup-");
        if (error != 0 && FolderRefusesNewFiles(error))
            error = backup.create(fs::temp_directory_path(), L"zentab-backup-" + name_ + L"-");
        if (error == 0)
            error = WriteFlushVerify(backup.handle(), old);
        if (error == 0)
            error = backup.settle();
        if (error != 0) {
            ThrowCannotCreate(shown_, "No safe copy of the old file can be made (" + Reason(error) +
                                          "); the file is left as it was");
        }
        backup.close();

        if (DWORD failed = WriteFlushVerify(file.get(), bytes_)) {
            if (WriteFlushVerify(file.get(), old) != 0) {
                const std::string kept = DisplayPath(backup.name());
                backup.keep();
                ThrowCannotCreate(shown_, Reason(failed) + ". The old file could not be put back; its bytes are in \"" +
                                              kept + "\"");
            }
            fail(failed);
        }
    }

    std::string shown_;
    const std::vector<std::uint8_t>& bytes_;
    fs::path target_;
    fs::path folder_;
    std::wstring name_;
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path, std::int64_t maxSize)
{
    const std::string shown = DisplayPath(path);
    if (IsDeviceName(path))
        ThrowCannotOpen(shown, "Not a regular file");
    // Others may read the module while it is loaded, but not change it.
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid())
        ThrowCannotOpen(shown, Reason(::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info {};
    const Kind kind = KindOf(file.get(), info);
    if (kind == Kind::kFolder)
        ThrowCannotOpen(shown, Reason(ERROR_DIRECTORY));
    if (kind != Kind::kFile)
        ThrowCannotOpen(shown, "Not a regular file");
    const std::int64_t size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > maxSize)
        ThrowCannotOpen(shown, TooLarge(maxSize));

    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            ThrowCannotOpen(shown, Reason(::GetLastError()));
        if (got == 0)
            break;
        // A file that grows while it is read is bounded all the same.
        if (static_cast<std::int64_t>(bytes.size()) + got > maxSize)
            ThrowCannotOpen(shown, TooLarge(maxSize));
        bytes.insert(bytes.end(), buffer.data(), buffer.data() + got);
    }
    return bytes;
}

void WriteWholeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    const SaveSection section;
    Saver(path, bytes).run();
}

void WriteStandardOutput(const std::vector<std::uint8_t>& bytes)
{
    std::fflush(stdout);
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        throw PlatformError("Cannot write to standard output. " + Reason(ERROR_INVALID_HANDLE));
    if (DWORD error = WriteAll(out, bytes.data(), bytes.size()))
        throw PlatformError("Cannot write to standard output. " + Reason(error));
}

std::string DisplayPath(const fs::path& path) { return Narrow(path.native()); }

void InstallInterruptCleanup()
{
    UseBinaryStandardStreams();
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    UseBinaryStandardStreams();
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

fs::path PathFromArgument(const std::string& argument) { return fs::path(Widen(argument)); }

}  // namespace zentab
