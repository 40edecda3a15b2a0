// What a save is about to write on Linux and other POSIX systems: the file a
// name stands for once links are followed, and what a replacing rename of it
// would keep.

#include "save_target_posix.h"

#include "posix_io.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zentab {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;

Status Failed(int error) { return {Outcome::kFailed, Reason(error)}; }
Status Failed(const std::string& why) { return {Outcome::kFailed, why}; }

std::string Hex(unsigned long long value)
{
    char digits[17];
    std::snprintf(digits, sizeof digits, "%llx", value);
    return digits;
}

fs::path FolderOf(const fs::path& file)
{
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

Status Inspect(const fs::path& requested, SaveTarget& t, int hop)
{
    struct stat st {};
    if (::lstat(requested.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return Failed(errno);
        t.kind = SaveTarget::Kind::kMissing;
        t.file = requested;
        t.folder = FolderOf(requested);
        return Status::Ok();
    }
    if (S_ISLNK(st.st_mode)) {
        if (hop == kMaxLinkHops)
            return Failed(ELOOP);
        // The rule the kernel applies when protected_symlinks is on,
        // applied here also where it is off: a link another user put
        // into a shared folder is never followed.
        struct stat folder {};
        if (::stat(FolderOf(requested).c_str(), &folder) != 0)
            return Failed(errno);
        if ((folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH) && st.st_uid != ::geteuid() &&
            st.st_uid != folder.st_uid)
            return Failed("Permission denied: a link another user made in a shared folder is not followed");
        Fd fd(::open(requested.c_str(), O_PATH | O_CLOEXEC));
        if (fd.get() < 0 && errno != ENOENT)
            return Failed(errno);
        if (fd.get() < 0) {
            // Dangling: its target is created where the link points.
            std::string link(PATH_MAX + 1, '\0');
            const ssize_t n = ::readlink(requested.c_str(), link.data(), link.size());
            if (n < 0)
                return Failed(errno);
            link.resize(static_cast<std::size_t>(n));
            const fs::path next(link);
            return Inspect(next.is_absolute() ? next : FolderOf(requested) / next, t, hop + 1);
        }
        std::string resolved(PATH_MAX + 1, '\0');
        const std::string proc = "/proc/self/fd/" + std::to_string(fd.get());
        const ssize_t n = ::readlink(proc.c_str(), resolved.data(), resolved.size());
        if (n > 0 && static_cast<std::size_t>(n) < resolved.size() && resolved[0] == '/') {
            resolved.resize(static_cast<std::size_t>(n));
        } else {
            char* real = ::realpath(requested.c_str(), nullptr);  // no /proc here
            if (!real)
                return Failed(errno);
            resolved = real;
            std::free(real);
        }
        return Inspect(fs::path(resolved), t, kMaxLinkHops);
    }
    t.file = requested;
    t.folder = FolderOf(requested);
    t.kind = S_ISREG(st.st_mode) ? SaveTarget::Kind::kRegular
             : S_ISDIR(st.st_mode) ? SaveTarget::Kind::kFolder
                                   : SaveTarget::Kind::kOther;
    t.readOnly = (st.st_mode & 0222) == 0;
    t.identity = Hex(st.st_dev) + "-" + Hex(st.st_ino);
    t.fullPath = requested;
    if (char* real = ::realpath(requested.c_str(), nullptr)) {
        t.fullPath = real;
        std::free(real);
    }
    t.writable = ::access(requested.c_str(), W_OK) == 0;
    if (!t.writable)
        t.notWritable = Reason(errno);
    struct stat folder {};
    t.renameKeepsAll =
        st.st_nlink == 1 && ::stat(t.folder.c_str(), &folder) == 0 && folder.st_dev == st.st_dev;
    return Status::Ok();
}

}  // namespace

Status InspectSaveTarget(const fs::path& requested, SaveTarget& target) { return Inspect(requested, target, 0); }

}  // namespace zentab
