// The steps of a save on Windows. Each reports the system's reason;
// save_policy.cpp decides what follows. Windows has no unnamed files: a
// scratch file is ".NAME.zentab-XXXXXX" beside the module, marked for
// deletion until its content is complete, so that even a killed program
// leaves none unfinished; and it is open without sharing while it lives,
// which is the lock a leftover sweep respects.

#include "save_primitives.h"

#include "file_layer.h"
#include "spare_folders.h"
#include "windows_carry_over.h"
#include "windows_io.h"
#include "windows_text.h"

#include <aclapi.h>

#include <cstdio>
#include <map>
#include <vector>

namespace zentab {

namespace fs = std::filesystem;

namespace {

Status Failed(DWORD error) { return {Outcome::kFailed, Reason(error)}; }

// The name the system holds for an open file, with its links resolved and
// its letters' case as stored.
bool FinalName(HANDLE handle, fs::path& file)
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return false;
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(length + 1);
    }
    file = fs::path(name);
    return true;
}

bool FolderRefusesNewFiles(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT; }

// The file's owner and permissions as one self-relative descriptor, its
// permissions protected so that the new file gets exactly them and none
// inherited from the folder; what asks for fewer parts leaves the owner out.
DWORD AccessOf(const fs::path& file, SECURITY_INFORMATION parts, std::vector<BYTE>& security)
{
    DWORD size = 0;
    ::GetFileSecurityW(file.c_str(), parts, nullptr, 0, &size);
    if (size == 0)
        return ::GetLastError();
    security.assign(size, 0);
    if (!::GetFileSecurityW(file.c_str(), parts, security.data(), size, &size) ||
        !::SetSecurityDescriptorControl(security.data(), SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return ::GetLastError();
    return 0;
}

// A file system that keeps no permissions (FAT) has none to copy.
bool NoPermissionsKept(DWORD error) { return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION; }

// The saver as the system names it: its user, and the owner its new files
// get (the Administrators group, for an elevated administrator).
bool IsSaver(PSID owner)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    const Handle held(token);
    BYTE user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    BYTE owns[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_OWNER)];
    DWORD size = 0;
    return (::GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
            ::EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user)->User.Sid)) ||
           (::GetTokenInformation(token, TokenOwner, owns, sizeof owns, &size) &&
            ::EqualSid(owner, reinterpret_cast<TOKEN_OWNER*>(owns)->Owner));
}

struct File {
    Handle handle;
    fs::path name;
    bool pending = false;  // removed by the system when closed
    bool settled = false;  // its content is complete
    bool kept = false;     // a lasting file: a backup, or the module itself
};

class WindowsPrimitives final : public SavePrimitives {
public:
    Status inspect(const fs::path& requested, SaveTarget& t) override
    {
        if (IsDeviceName(requested)) {
            t.kind = SaveTarget::Kind::kOther;
            return Status::Ok();
        }
        // An absolute name is immune to a change of the current folder
        // during the save. A \\?\ name is one already, and is passed on
        // untouched: Wine's full-path call puts a drive before it.
        const std::wstring& spelled = requested.native();
        const bool verbatim = spelled.size() >= 4 && spelled.compare(0, 4, L"\\\\?\\") == 0;
        std::error_code failed;
        fs::path file = verbatim ? requested : fs::absolute(requested, failed);
        if (failed)
            file = requested;
        DWORD attributes = ::GetFileAttributesW(file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND)
                return Failed(error);
        } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (Status s = followLink(file); !s.ok())
                return s;
            attributes = ::GetFileAttributesW(file.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                return Failed(::GetLastError());
        }
        t.file = file;
        t.folder = FolderOf(file);
        t.kind = SaveTarget::Kind::kMissing;
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return Status::Ok();
        t.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? SaveTarget::Kind::kFolder : SaveTarget::Kind::kRegular;
        t.readOnly = attributes & FILE_ATTRIBUTE_READONLY;
        if (t.kind == SaveTarget::Kind::kFolder || t.readOnly)
            return Status::Ok();
        // Opened as a writer that tolerates every other opener, so only an
        // opener that denies writing (or the file's security) refuses here,
        // before any scratch file exists.
        Handle probe(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
        if (!probe.valid()) {
            t.writable = false;
            t.notWritable = Reason(::GetLastError());
            return Status::Ok();
        }
        BY_HANDLE_FILE_INFORMATION info {};
        const Kind kind = KindOf(probe.get(), info);
        t.kind = kind == Kind::kFile     ? SaveTarget::Kind::kRegular
                 : kind == Kind::kFolder ? SaveTarget::Kind::kFolder
                                         : SaveTarget::Kind::kOther;
        t.renameKeepsAll = info.nNumberOfLinks == 1;
        char identity[40];
        std::snprintf(identity, sizeof identity, "%lx-%lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                      info.nFileIndexLow);
        t.identity = identity;
        t.fullPath = file;
        FinalName(probe.get(), t.fullPath);
        return Status::Ok();
    }

    Status createScratch(const fs::path& folder, const fs::path& prefix, bool, const fs::path& accessOf,
                         Scratch& scratch) override
    {
        // The file's owner and permissions are given by the creation itself,
        // so the copy is never readable by more users than the file, not
        // even for a moment. An owner only a privileged saver may give is
        // left out: the saver, who could read the file, owns the copy.
        std::vector<BYTE> security;
        if (!accessOf.empty()) {
            DWORD error = AccessOf(accessOf, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, security);
            if (NoPermissionsKept(error))
                security.clear();
            else if (error)
                return Failed(error);
        }
        for (bool ownerLeftOut = false;;) {
            const Status s = createNamed(folder, prefix, security, scratch);
            if (s.ok() || ownerLeftOut || security.empty() || lastCreateError_ != ERROR_INVALID_OWNER)
                return s;
            ownerLeftOut = true;
            if (const DWORD error = AccessOf(accessOf, DACL_SECURITY_INFORMATION, security))
                return Failed(error);
        }
    }

    // Open without sharing is locked already.
    Status lock(Scratch) override { return Status::Ok(); }

    Status writeAll(Scratch s, const Bytes& bytes) override
    {
        const DWORD error = WriteFlushVerify(files_[s].handle.get(), bytes);
        return error ? Failed(error) : Status::Ok();
    }

    Status carryMetadata(const fs::path& from, Scratch s) override
    {
        return CarryOver(from, files_[s].handle.get()) ? Status::Ok()
                                                       : Status{Outcome::kFailed, "The file's permissions cannot be given to a new file"};
    }

    Status commit(Scratch s, const fs::path& name, bool replace) override
    {
        File& f = files_[s];
        if (Status st = settle(f); !st.ok())
            return st;
        f.handle.reset();
        // One rename, replacing or not: the name holds the old file or the
        // new one at every moment. (ReplaceFileW is not one step everywhere:
        // Wine deletes the old file first.) Write-through carries the new
        // name to the disk, in place of a folder sync.
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        if (!::MoveFileExW(f.name.c_str(), name.c_str(), flags)) {
            const DWORD error = ::GetLastError();
            // A file held open without delete sharing cannot be replaced.
            return {replace ? Outcome::kCannotReplace : Outcome::kFailed, Reason(error)};
        }
        f.name.clear();
        return Status::Ok();
    }

    Status keep(Scratch s, fs::path& name) override
    {
        File& f = files_[s];
        name = f.name;
        f.kept = true;
        return settle(f);
    }

    void discard(Scratch s) override
    {
        File& f = files_[s];
        f.handle.reset();
        // One still marked goes as it closes. A finished one that was not
        // renamed is swept by the next save when it cannot be removed here.
        if (f.settled && !f.kept && !f.name.empty())
            ::DeleteFileW(f.name.c_str());
        files_.erase(s);
    }

    Status openInPlace(const fs::path& file, std::int64_t maxSize, Scratch& scratch, Bytes& old) override
    {
        File f;
        f.settled = true;
        f.kept = true;
        // Others may go on reading; a writer or a program that shares
        // nothing makes the save refuse.
        f.handle.reset(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        if (!f.handle.valid())
            return Failed(::GetLastError());
        BY_HANDLE_FILE_INFORMATION info {};
        if (KindOf(f.handle.get(), info) != Kind::kFile)
            return {Outcome::kFailed, "Not a regular file; only a module file is ever written"};
        const std::int64_t size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        if (size > maxSize)
            return {Outcome::kFailed, TooLarge(maxSize)};
        if (const DWORD error = ReadAll(f.handle.get(), old))
            return Failed(error);
        scratch = next_++;
        files_[scratch] = std::move(f);
        return Status::Ok();
    }

    // A write keeps a file's permissions and attributes here.
    Status restoreMetadata(Scratch) override { return Status::Ok(); }
    // The whole save holds off the console's events (SaveSection).
    void holdInterrupts(bool) override {}
    // Renames are written through instead.
    Status syncFolder(const fs::path&) override { return {Outcome::kUnsupported, "Not supported"}; }

    std::vector<fs::path> spareFolders(bool make) override { return SpareFolders(make); }
    Status durable(const fs::path& folder) override { return SpareFolderKeeps(folder); }

    // Only %LOCALAPPDATA% is a spare folder here, the user's own; the owner
    // is read all the same, as the same rule asks of any shared folder.
    std::vector<Leftover> leftovers(const fs::path& folder, const fs::path& prefix) override
    {
        std::vector<Leftover> found;
        WIN32_FIND_DATAW entry;
        const HANDLE find = ::FindFirstFileW((folder / (prefix.native() + L"*")).c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return found;
        do {
            const std::wstring name = entry.cFileName;
            if (name.size() != prefix.native().size() + 6)
                continue;
            Leftover l;
            l.path = folder / name;
            l.regular = !(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
            PSID owner = nullptr;
            PSECURITY_DESCRIPTOR security = nullptr;
            if (l.regular && ::GetNamedSecurityInfoW(l.path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                                     &owner, nullptr, nullptr, nullptr, &security) == ERROR_SUCCESS) {
                l.saversOwn = owner && IsSaver(owner);
                ::LocalFree(security);
            }
            if (l.saversOwn) {
                Handle h(::CreateFileW(l.path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
                BY_HANDLE_FILE_INFORMATION info {};
                if (h.valid() && ::GetFileInformationByHandle(h.get(), &info))
                    l.links = info.nNumberOfLinks;
            }
            found.push_back(l);
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
        return found;
    }

    // A save that is running holds its files open without sharing.
    bool inUse(const fs::path& file) override
    {
        return !Handle(::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)).valid();
    }

    Status readFile(const fs::path& file, std::int64_t maxSize, Bytes& bytes) override
    {
        Handle h(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        BY_HANDLE_FILE_INFORMATION info {};
        if (!h.valid())
            return Failed(::GetLastError());
        if (KindOf(h.get(), info) != Kind::kFile ||
            ((static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow) > maxSize)
            return {Outcome::kFailed, "Not a module file"};
        const DWORD error = ReadAll(h.get(), bytes);
        return error ? Failed(error) : Status::Ok();
    }

    Status removeFile(const fs::path& file) override
    {
        // A file this save holds open is removed through its handle, as it
        // closes.
        for (auto& [id, f] : files_) {
            if (f.handle.valid() && f.name == file) {
                if (!SetDeletePending(f.handle.get(), true))
                    return Failed(::GetLastError());
                f.pending = true;
                f.kept = false;
                f.name.clear();
                return Status::Ok();
            }
        }
        return ::DeleteFileW(file.c_str()) ? Status::Ok() : Failed(::GetLastError());
    }

    std::string shown(const fs::path& path) override { return DisplayPath(path); }

private:
    Status createNamed(const fs::path& folder, const fs::path& prefix, std::vector<BYTE>& security, Scratch& scratch)
    {
        static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        static unsigned counter = 0;
        SECURITY_ATTRIBUTES given {sizeof given, security.empty() ? nullptr : security.data(), FALSE};
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        lastCreateError_ = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::uint64_t seed = static_cast<std::uint64_t>(now.QuadPart) * 6364136223846793005u +
                                 ::GetCurrentProcessId() * 2654435761u + ++counter * 40503u;
            std::wstring suffix;
            for (int i = 0; i < 6; ++i, seed /= 62)
                suffix += kLetters[seed % 62];
            File f;
            f.name = folder / (prefix.native() + suffix);
            // WRITE_DAC and READ_CONTROL, which its owner always has, for
            // the permissions of the file it replaces; DELETE, to mark it.
            f.handle.reset(::CreateFileW(f.name.c_str(),
                                         GENERIC_READ | GENERIC_WRITE | DELETE | WRITE_DAC | READ_CONTROL, 0,
                                         security.empty() ? nullptr : &given, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                         nullptr));
            if (f.handle.valid()) {
                if (!SetDeletePending(f.handle.get(), true)) {
                    const DWORD error = ::GetLastError();
                    f.handle.reset();
                    ::DeleteFileW(f.name.c_str());
                    return Failed(error);
                }
                f.pending = true;
                scratch = next_++;
                files_[scratch] = std::move(f);
                return Status::Ok();
            }
            const DWORD error = ::GetLastError();
            lastCreateError_ = error;
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return {FolderRefusesNewFiles(error) ? Outcome::kRefused : Outcome::kFailed, Reason(error)};
        }
        return Failed(ERROR_FILE_EXISTS);
    }

    Status settle(File& f)
    {
        if (f.pending && !SetDeletePending(f.handle.get(), false))
            return Failed(::GetLastError());
        f.pending = false;
        f.settled = true;
        return Status::Ok();
    }

    // The final name of the file a link points at.
    Status followLink(fs::path& file)
    {
        Handle h(::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!h.valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                return {Outcome::kFailed, "The link points at a missing file; it is not created through the link"};
            return Failed(error);
        }
        return FinalName(h.get(), file) ? Status::Ok() : Failed(::GetLastError());
    }

    std::map<Scratch, File> files_;
    Scratch next_ = 0;
    DWORD lastCreateError_ = 0;
};

}  // namespace

std::unique_ptr<SavePrimitives> MakePlatformPrimitives() { return std::make_unique<WindowsPrimitives>(); }

}  // namespace zentab
