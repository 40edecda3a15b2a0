// Spare folders for a backup on Linux and other POSIX systems.

#include "spare_folders.h"

#include "posix_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace zentab {

namespace fs = std::filesystem;

namespace {

constexpr long kTmpfsMagic = 0x01021994;
constexpr long kRamfsMagic = 0x858458f6;

bool Absolute(const char* path) { return path && path[0] == '/'; }

// A home that does not exist is not made just to hold a backup.
bool HomeExists(const char* path)
{
    struct stat st {};
    return Absolute(path) && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// The saver's state folder by the XDG rules; none without a home.
std::optional<fs::path> StateFolder()
{
    if (const char* state = std::getenv("XDG_STATE_HOME"); Absolute(state))
        return fs::path(state);
    if (const char* home = std::getenv("HOME"); Absolute(home))
        return HomeExists(home) ? std::optional(fs::path(home) / ".local" / "state") : std::nullopt;
    if (const passwd* user = ::getpwuid(::geteuid()); user && HomeExists(user->pw_dir))
        return fs::path(user->pw_dir) / ".local" / "state";
    return std::nullopt;
}

// Each missing folder on the way, private to the saver as the XDG rules ask.
void MakeFolders(const fs::path& path)
{
    fs::path sofar;
    for (const fs::path& part : path) {
        sofar /= part;
        if (sofar != sofar.root_path() && ::mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST)
            return;
    }
}

bool SaversFolder(const fs::path& folder)
{
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// The folder is top or lies inside it, links resolved.
bool Inside(const fs::path& folder, const fs::path& top)
{
    std::error_code failed;
    const fs::path a = fs::weakly_canonical(folder, failed);
    const fs::path b = fs::weakly_canonical(top, failed);
    if (failed)
        return false;
    const auto [end, rest] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return end == b.end() || (std::next(end) == b.end() && end->empty());
}

}  // namespace

std::vector<fs::path> SpareFolders(bool make)
{
    std::vector<fs::path> folders;
    if (const std::optional<fs::path> state = StateFolder()) {
        const fs::path backups = *state / "zentab" / "backups";
        if (make)
            MakeFolders(backups);
        if (SaversFolder(backups))
            folders.push_back(backups);
    }
    folders.emplace_back("/var/tmp");
    return folders;
}

Status SpareFolderKeeps(const fs::path& folder)
{
    struct statfs st {};
    if (::statfs(folder.c_str(), &st) != 0)
        return {Outcome::kFailed, Reason(errno)};
    if (static_cast<long>(st.f_type) == kTmpfsMagic || static_cast<long>(st.f_type) == kRamfsMagic)
        return {Outcome::kFailed, "The folder is held in memory"};
    // Debian empties /tmp at every start; $TMPDIR is anyone's to clean.
    const char* temporary = std::getenv("TMPDIR");
    if (Inside(folder, "/tmp") || (Absolute(temporary) && Inside(folder, temporary)))
        return {Outcome::kFailed, "The folder is a temporary one, emptied at start-up"};
    return Status::Ok();
}

}  // namespace zentab
