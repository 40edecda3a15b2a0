// The file layer on Linux and other POSIX systems.
//
// How a save replaces a file (WriteWholeFile):
//  1. Symbolic links are followed to the file they name. A dangling link gets
//     its target created and stays a link; a loop is an error.
//  2. Only a regular file, or a name where nothing is, is written. A folder,
//     pipe, device or socket is refused and left as it is. A file without any
//     write permission bit is refused, also for root: the technician who made
//     a module read-only meant it.
//  3. A new file is written without a name (O_TMPFILE) in its folder, synced
//     and read back, and only then linked in under its name.
//  4. An existing file is replaced by rename only when the new file can carry
//     everything the old one had: it has one link, lies on the same file
//     system as its folder (not bind-mounted), the folder can take a new
//     file, and the new file takes the old owner, group, mode, extended
//     attributes and ACLs. The new content has no name until it is complete,
//     read back and about to be renamed over the old.
//  5. Otherwise the file is written in place, so its inode and with it every
//     link, owner and attribute stays. First a complete, synced copy of the
//     old bytes is made beside it ("NAME.zentab-backup-XXXXXX"; in the
//     temporary folder when its own folder cannot be written); then the new
//     bytes are written, synced and read back, and the copy is removed. After
//     any failure the old bytes are put back from the copy. Only a crash in
//     the middle leaves the copy, which then holds the old module.
// Where O_TMPFILE is missing, a named temporary ".NAME.zentab-XXXXXX" stands
// in; a command-line program removes it on SIGINT, SIGTERM and SIGHUP.

#include "file_layer.h"

#include "errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <dirent.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace zentab {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;
// errno stand-in for a file that does not read back as it was written.
constexpr int kReadBackMismatch = -1;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

std::string Reason(int error)
{
    if (error == kReadBackMismatch)
        return "The written file does not read back as written; the old file is kept";
    return std::strerror(error);
}

fs::path FolderOf(const fs::path& file)
{
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// --- Signals: a command-line program's interrupt must not leave a temporary
// behind, nor stop a file being rewritten in place halfway.

char gTemporary[PATH_MAX];
volatile std::sig_atomic_t gHasTemporary = 0;
volatile std::sig_atomic_t gRewritingInPlace = 0;
volatile std::sig_atomic_t gDeferredSignal = 0;

void OnInterrupt(int signal)
{
    if (gRewritingInPlace) {
        gDeferredSignal = signal;
        return;
    }
    if (gHasTemporary)
        ::unlink(gTemporary);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Holds off the interrupts the handler serves, so that a file and its
// registration with the handler come and go together.
class InterruptsHeld {
public:
    InterruptsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~InterruptsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    sigset_t previous_;
};

// A named temporary that the interrupt handler removes while it exists.
class NamedTemporary {
public:
    NamedTemporary() = default;
    ~NamedTemporary() { remove(); }
    NamedTemporary(const NamedTemporary&) = delete;
    NamedTemporary& operator=(const NamedTemporary&) = delete;

    // Creates "folder/prefixXXXXXX" with mode 0600; false with errno set.
    bool create(const fs::path& folder, const std::string& prefix, Fd& fd)
    {
        std::string name = (folder / (prefix + "XXXXXX")).native();
        if (name.size() >= sizeof gTemporary) {
            errno = ENAMETOOLONG;
            return false;
        }
        const InterruptsHeld held;
        gHasTemporary = 0;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        std::memcpy(gTemporary, name.c_str(), name.size() + 1);
        const int got = ::mkostemp(gTemporary, O_CLOEXEC);
        if (got < 0)
            return false;
        // Locked while it lives: a later save removes it only once no
        // program holds it any more (see RemoveStaleTemporaries).
        ::flock(got, LOCK_EX);
        name_ = gTemporary;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        gHasTemporary = 1;
        fd.reset(got);
        return true;
    }
    // Links an unnamed file in under a fresh "folder/prefixXXXXXX".
    bool linkUnnamed(int fd, const fs::path& folder, const std::string& prefix);

    const std::string& name() const { return name_; }
    // The name now belongs to a file that is to stay.
    void keep()
    {
        gHasTemporary = 0;
        name_.clear();
    }
    void remove()
    {
        if (name_.empty())
            return;
        const InterruptsHeld held;
        gHasTemporary = 0;
        ::unlink(name_.c_str());
        name_.clear();
    }

private:
    std::string name_;
};

bool LinkUnnamedAs(int fd, const char* name)
{
    if (::linkat(fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    // Older kernels let only privileged callers link by descriptor; the
    // /proc route works for the file's opener there.
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
}

bool NamedTemporary::linkUnnamed(int fd, const fs::path& folder, const std::string& prefix)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned counter = 0;
    ::flock(fd, LOCK_EX);  // before it has a name, so no cleaner ever sees it unlocked
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix;
        unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + ++counter * 40503u +
                        static_cast<unsigned>(attempt);
        for (int i = 0; i < 6; ++i, seed /= 62)
            suffix += kLetters[seed % 62];
        const std::string name = (folder / (prefix + suffix)).native();
        if (name.size() >= sizeof gTemporary) {
            errno = ENAMETOOLONG;
            return false;
        }
        const InterruptsHeld held;
        if (LinkUnnamedAs(fd, name.c_str())) {
            // Registered only once it is ours: the handler must never remove
            // a file of the same name that was there before.
            gHasTemporary = 0;
            std::atomic_signal_fence(std::memory_order_seq_cst);
            std::memcpy(gTemporary, name.c_str(), name.size() + 1);
            std::atomic_signal_fence(std::memory_order_seq_cst);
            gHasTemporary = 1;
            name_ = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// A kill between naming a finished temporary and renaming it over the old
// file (two system calls apart) can leave ".NAME.zentab-XXXXXX" behind, whole
// but unused. The next save of that file removes such leftovers; one that a
// running save still holds is locked and stays.
void RemoveStaleTemporaries(const fs::path& folder, const std::string& prefix)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const fs::path path = folder / name;
        Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (fd.get() >= 0 && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// While a file is rewritten in place, interrupts wait for the end.
class InPlaceSection {
public:
    InPlaceSection() { gRewritingInPlace = 1; }
    ~InPlaceSection()
    {
        gRewritingInPlace = 0;
        // The file is whole again (new or old bytes): now the interrupt may
        // end the program, taking a backup that is no longer needed along.
        if (const int signal = gDeferredSignal) {
            gDeferredSignal = 0;
            OnInterrupt(signal);
        }
    }
    InPlaceSection(const InPlaceSection&) = delete;
    InPlaceSection& operator=(const InPlaceSection&) = delete;
};

// --- Plain descriptor work; each returns 0 or an errno value.

int WriteAllAt(int fd, const std::uint8_t* data, std::size_t size, off_t at)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(fd, data + done, size - done, at + static_cast<off_t>(done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

int ReadAllAt(int fd, std::vector<std::uint8_t>& out, std::size_t size)
{
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, out.data() + done, size - done, static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return kReadBackMismatch;
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

// Writes the whole content from offset 0, cuts the file to it, syncs, and
// checks what the file now reads back.
int WriteSyncVerify(int fd, const std::vector<std::uint8_t>& bytes)
{
    if (int error = WriteAllAt(fd, bytes.data(), bytes.size(), 0))
        return error;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return errno;
    if (::fsync(fd) != 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    if (st.st_size != static_cast<off_t>(bytes.size()))
        return kReadBackMismatch;
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<std::uint8_t> back(kChunk);
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        const std::size_t n = std::min(kChunk, bytes.size() - at);
        std::size_t done = 0;
        while (done < n) {
            const ssize_t got = ::pread(fd, back.data() + done, n - done, static_cast<off_t>(at + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return errno;
            if (got == 0)
                return kReadBackMismatch;
            done += static_cast<std::size_t>(got);
        }
        if (std::memcmp(back.data(), bytes.data() + at, n) != 0)
            return kReadBackMismatch;
    }
    return 0;
}

void SyncFolder(const fs::path& folder)
{
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

bool FolderRefusesNewFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// Follows links to the name a save must write; errno-style failure.
int ResolveLinks(const fs::path& path, fs::path& target)
{
    target = path;
    for (int hop = 0;; ++hop) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return 0;
        if (hop == kMaxLinkHops)
            return ELOOP;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return errno;
        link.resize(static_cast<std::size_t>(n));
        const fs::path next(link);
        target = next.is_absolute() ? next : FolderOf(target) / next;
    }
}

// Extended attributes, POSIX ACLs among them, from one file onto another;
// false when any cannot be carried over.
bool CopyAttributes(int from, int to)
{
    auto names = [](int fd, std::vector<std::string>& out) {
        ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        std::string list(static_cast<std::size_t>(size), '\0');
        size = ::flistxattr(fd, list.data(), list.size());
        if (size < 0)
            return false;
        for (std::size_t at = 0; at < static_cast<std::size_t>(size);) {
            const std::string name(list.c_str() + at);
            out.push_back(name);
            at += name.size() + 1;
        }
        return true;
    };
    std::vector<std::string> old;
    std::vector<std::string> fresh;
    if (!names(from, old) || !names(to, fresh))
        return false;
    for (const std::string& name : fresh) {
        if (std::find(old.begin(), old.end(), name) == old.end() && ::fremovexattr(to, name.c_str()) != 0)
            return false;
    }
    for (const std::string& name : old) {
        const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (got < 0 || ::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0)
            return false;
    }
    return true;
}

mode_t CreationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

class Saver {
public:
    Saver(const fs::path& path, const std::vector<std::uint8_t>& bytes)
        : shown_(DisplayPath(path)), bytes_(bytes)
    {
        if (int error = ResolveLinks(path, target_))
            fail(error);
        folder_ = FolderOf(target_);
        name_ = target_.filename().native();
    }

    void run()
    {
        RemoveStaleTemporaries(folder_, "." + name_ + ".zentab-");
        struct stat st {};
        if (::lstat(target_.c_str(), &st) != 0) {
            if (errno != ENOENT)
                fail(errno);
            try {
                createNew();
            } catch (const RetryNamed&) {
                unnamed_ = false;
                createNew();
            }
            return;
        }
        if (S_ISDIR(st.st_mode))
            fail(EISDIR);
        if (!S_ISREG(st.st_mode))
            ThrowCannotCreate(shown_, "Not a regular file; only a module file is ever written");
        if ((st.st_mode & 0222) == 0)
            ThrowCannotCreate(shown_, "Read-only file");
        if (::access(target_.c_str(), W_OK) != 0)
            fail(errno);
        bool replaced = false;
        try {
            replaced = replaceByRename(st);
        } catch (const RetryNamed&) {
            unnamed_ = false;
            replaced = replaceByRename(st);
        }
        if (!replaced)
            writeInPlace();
    }

private:
    [[noreturn]] void fail(int error) const { ThrowCannotCreate(shown_, Reason(error)); }

    // An unnamed file in the folder, or a named temporary where the system
    // has none; false when the folder takes no new file.
    bool openTemporary(Fd& fd, NamedTemporary& named, mode_t mode)
    {
        if (unnamed_) {
            fd.reset(::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
            if (fd.get() >= 0)
                return true;
            if (FolderRefusesNewFiles(errno))
                return false;
        }
        if (named.create(folder_, "." + name_ + ".zentab-", fd))
            return true;
        if (FolderRefusesNewFiles(errno))
            return false;
        fail(errno);
    }

    // Gives the finished temporary a name of its own, for the rename. Where
    // an unnamed file cannot be linked in, the save starts over with a
    // named temporary.
    void nameTemporary(int fd, NamedTemporary& named)
    {
        if (!named.name().empty())
            return;
        if (!named.linkUnnamed(fd, folder_, "." + name_ + ".zentab-"))
            throw RetryNamed{};
    }

    struct RetryNamed {};

    void createNew()
    {
        Fd fd;
        NamedTemporary named;
        if (!openTemporary(fd, named, 0666))
            fail(errno);
        if (!named.name().empty() && ::fchmod(fd.get(), CreationMode()) != 0)
            fail(errno);
        if (int error = WriteSyncVerify(fd.get(), bytes_))
            fail(error);
        if (named.name().empty()) {
            // Straight under the final name: nothing else ever carries it.
            if (!LinkUnnamedAs(fd.get(), target_.c_str())) {
                if (errno == EEXIST)
                    fail(errno);
                throw RetryNamed{};
            }
        }
        if (!named.name().empty()) {
            if (::rename(named.name().c_str(), target_.c_str()) != 0)
                fail(errno);
            named.keep();
        }
        SyncFolder(folder_);
    }

    bool replaceByRename(const struct stat& st)
    {
        if (st.st_nlink != 1)
            return false;
        struct stat folder {};
        if (::stat(folder_.c_str(), &folder) != 0 || folder.st_dev != st.st_dev)
            return false;
        Fd old(::open(target_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
        if (old.get() < 0)
            return false;
        Fd fd;
        NamedTemporary named;
        if (!openTemporary(fd, named, 0600))
            return false;
        // Owner first: a change of owner clears set-id bits that the mode
        // then restores; attributes before the mode, which sets the ACL mask.
        if (::fchown(fd.get(), st.st_uid, st.st_gid) != 0 || !CopyAttributes(old.get(), fd.get()) ||
            ::fchmod(fd.get(), st.st_mode & 07777) != 0)
            return false;
        if (int error = WriteSyncVerify(fd.get(), bytes_))
            fail(error);
        nameTemporary(fd.get(), named);
        if (::rename(named.name().c_str(), target_.c_str()) != 0) {
            const int error = errno;
            named.remove();
            if (error == EBUSY || error == EXDEV)
                return false;
            fail(error);
        }
        named.keep();
        SyncFolder(folder_);
        return true;
    }

    [[noreturn]] void noSafeCopy(int error) const
    {
        ThrowCannotCreate(shown_, "No safe copy of the old file can be made (" + Reason(error) +
                                      "); the file is left as it was");
    }

    // A complete, synced copy of the old bytes under a name in folder. It is
    // written unnamed where the system allows, so that even a kill leaves
    // either no copy or a whole one. False when the folder takes no new file.
    bool makeBackup(const fs::path& folder, const std::string& prefix, const std::vector<std::uint8_t>& old,
                    NamedTemporary& backup)
    {
        Fd fd(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
        const bool unnamed = fd.get() >= 0;
        if (!unnamed) {
            if (FolderRefusesNewFiles(errno))
                return false;
            if (!backup.create(folder, prefix, fd)) {
                if (FolderRefusesNewFiles(errno))
                    return false;
                noSafeCopy(errno);
            }
        }
        if (int error = WriteSyncVerify(fd.get(), old))
            noSafeCopy(error);
        if (unnamed && !backup.linkUnnamed(fd.get(), folder, prefix)) {
            // No linking by descriptor here: the named way.
            if (!backup.create(folder, prefix, fd))
                noSafeCopy(errno);
            if (int error = WriteSyncVerify(fd.get(), old))
                noSafeCopy(error);
        }
        return true;
    }

    void writeInPlace()
    {
        Fd fd(::open(target_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
        if (fd.get() < 0)
            fail(errno);
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0)
            fail(errno);
        if (!S_ISREG(st.st_mode))
            ThrowCannotCreate(shown_, "Not a regular file; only a module file is ever written");
        std::vector<std::uint8_t> old;
        if (int error = ReadAllAt(fd.get(), old, static_cast<std::size_t>(st.st_size)))
            fail(error);

        NamedTemporary backup;
        fs::path backupFolder = folder_;
        if (!makeBackup(folder_, name_ + ".zentab-backup-", old, backup)) {
            backupFolder = fs::temp_directory_path();
            if (!makeBackup(backupFolder, "zentab-backup-" + name_ + "-", old, backup))
                noSafeCopy(errno);
        }
        SyncFolder(backupFolder);

        const InPlaceSection section;
        if (int error = WriteSyncVerify(fd.get(), bytes_)) {
            if (WriteSyncVerify(fd.get(), old) != 0) {
                const std::string kept = backup.name();
                backup.keep();
                ThrowCannotCreate(shown_, Reason(error) + ". The old file could not be put back; its bytes are in \"" +
                                              kept + "\"");
            }
            fail(error);
        }
        backup.remove();
        SyncFolder(backupFolder);
    }

    std::string shown_;
    const std::vector<std::uint8_t>& bytes_;
    fs::path target_;
    fs::path folder_;
    std::string name_;
    bool unnamed_ = true;
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path, std::int64_t maxSize)
{
    const std::string shown = DisplayPath(path);
    // Non-blocking, so that a pipe or a device picked by mistake cannot hang
    // the open; anything but a regular file is then refused.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        ThrowCannotOpen(shown, Reason(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        ThrowCannotOpen(shown, Reason(errno));
    if (S_ISDIR(st.st_mode))
        ThrowCannotOpen(shown, Reason(EISDIR));
    if (!S_ISREG(st.st_mode))
        ThrowCannotOpen(shown, "Not a regular file");
    if (st.st_size > maxSize)
        ThrowCannotOpen(shown, TooLarge(maxSize));

    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowCannotOpen(shown, Reason(errno));
        }
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
    Saver(path, bytes).run();
}

void WriteStandardOutput(const std::vector<std::uint8_t>& bytes)
{
    std::fflush(stdout);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            throw PlatformError("Cannot write to standard output. " + Reason(errno));
        }
        done += static_cast<std::size_t>(put);
    }
}

std::string DisplayPath(const fs::path& path) { return path.native(); }

void InstallInterruptCleanup()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // A reader that went away is a failed write, reported as one.
    std::signal(SIGPIPE, SIG_IGN);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

fs::path PathFromArgument(const std::string& argument) { return fs::path(argument); }

}  // namespace zentab
