// The steps of a save on Linux and other POSIX systems. Each reports its
// errno text; save_policy.cpp decides what follows.

#include "save_primitives.h"

#include "file_layer.h"
#include "posix_io.h"
#include "save_target_posix.h"
#include "spare_folders.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <dirent.h>

namespace zentab {

namespace fs = std::filesystem;

namespace {

const char kCapability[] = "security.capability";

Status Failed(int error) { return {Outcome::kFailed, Reason(error)}; }
Status Failed(const std::string& why) { return {Outcome::kFailed, why}; }

bool Refusal(int error) { return error == EACCES || error == EPERM || error == EROFS; }

mode_t CreationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string Capability(int fd)
{
    const ssize_t size = ::fgetxattr(fd, kCapability, nullptr, 0);
    if (size <= 0)
        return {};
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::fgetxattr(fd, kCapability, value.data(), value.size());
    return got < 0 ? std::string() : value.substr(0, static_cast<std::size_t>(got));
}

struct File {
    Fd fd;
    fs::path folder;
    fs::path prefix;
    std::string name;      // empty while unnamed
    bool settled = false;  // committed or kept: its name stays
    mode_t mode = 0;       // of a file opened in place, with
    std::string capability;
};

class PosixPrimitives final : public SavePrimitives {
public:
    Status inspect(const fs::path& requested, SaveTarget& t) override { return InspectSaveTarget(requested, t); }

    // Made 0600, which is never more than the file allows its owner.
    Status createScratch(const fs::path& folder, const fs::path& prefix, bool unnamed, const fs::path&,
                         Scratch& scratch) override
    {
        File file;
        file.folder = folder;
        file.prefix = prefix;
        if (unnamed) {
            file.fd.reset(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
            if (file.fd.get() < 0) {
                const int error = errno;
                if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL)
                    return {Outcome::kUnsupported, Reason(error)};
                return {Refusal(error) ? Outcome::kRefused : Outcome::kFailed, Reason(error)};
            }
        } else if (const int error = CreateNamedTemporary((folder / prefix).native(), file.fd, file.name)) {
            return {Refusal(error) ? Outcome::kRefused : Outcome::kFailed, Reason(error)};
        }
        scratch = next_++;
        files_[scratch] = std::move(file);
        return Status::Ok();
    }

    Status lock(Scratch s) override
    {
        int done = 0;
        while ((done = ::flock(files_[s].fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        return done == 0 ? Status::Ok() : Failed(errno);
    }

    Status writeAll(Scratch s, const Bytes& bytes) override
    {
        const int error = WriteSyncVerify(files_[s].fd.get(), bytes);
        return error ? Failed(error) : Status::Ok();
    }

    Status carryMetadata(const fs::path& from, Scratch s) override
    {
        const int to = files_[s].fd.get();
        Fd old(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
        struct stat st {};
        if (old.get() < 0 || ::fstat(old.get(), &st) != 0)
            return Failed(errno);
        // Owner before attributes and mode: a change of owner clears set-id
        // bits and capabilities, which the steps after it give back.
        if (::fchown(to, st.st_uid, st.st_gid) != 0)
            return Failed(errno);
        if (!CopyAttributes(old.get(), to))
            return Failed(errno);
        if (::fchmod(to, st.st_mode & 07777) != 0)
            return Failed(errno);
        // Without the group, a set-group-id bit is dropped without a word.
        struct stat now {};
        if (::fstat(to, &now) != 0)
            return Failed(errno);
        if ((now.st_mode & 07777) != (st.st_mode & 07777))
            return Failed("The file's mode cannot be given to a new file");
        return Status::Ok();
    }

    Status commit(Scratch s, const fs::path& name, bool replace) override
    {
        File& f = files_[s];
        if (!replace) {
            if (::fchmod(f.fd.get(), CreationMode()) != 0)
                return Failed(errno);
            if (f.name.empty()) {
                if (LinkUnnamedAs(f.fd.get(), name.c_str()) == 0)
                    return settle(f);
                return errno == EEXIST ? Failed(errno) : Status{Outcome::kUnsupported, Reason(errno)};
            }
            if (const int error = RenameNoReplace(f.name, name.native()))
                return Failed(error);
            return settle(f);
        }
        if (f.name.empty()) {
            if (LinkUnnamedNamed(f.fd.get(), (f.folder / f.prefix).native(), f.name) != 0)
                return {Outcome::kUnsupported, Reason(errno)};
        }
        if (::rename(f.name.c_str(), name.c_str()) != 0) {
            const int error = errno;
            return {error == EBUSY || error == EXDEV ? Outcome::kCannotReplace : Outcome::kFailed, Reason(error)};
        }
        return settle(f);
    }

    Status keep(Scratch s, fs::path& name) override
    {
        File& f = files_[s];
        if (f.name.empty() && LinkUnnamedNamed(f.fd.get(), (f.folder / f.prefix).native(), f.name) != 0)
            return {Outcome::kUnsupported, Reason(errno)};
        name = f.name;
        return settle(f);
    }

    void discard(Scratch s) override
    {
        File& f = files_[s];
        if (!f.settled && !f.name.empty())
            RemoveNamedTemporary(f.name);
        files_.erase(s);
    }

    Status openInPlace(const fs::path& file, std::int64_t maxSize, Scratch& scratch, Bytes& old) override
    {
        File f;
        f.settled = true;
        f.fd.reset(::open(file.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
        struct stat st {};
        if (f.fd.get() < 0 || ::fstat(f.fd.get(), &st) != 0)
            return Failed(errno);
        if (!S_ISREG(st.st_mode))
            return Failed("Not a regular file; only a module file is ever written");
        if (st.st_size > maxSize)
            return Failed(TooLarge(maxSize));
        if (const int error = ReadAllAt(f.fd.get(), old, static_cast<std::size_t>(st.st_size)))
            return Failed(error);
        f.mode = st.st_mode & 07777;
        f.capability = Capability(f.fd.get());
        // A write by a saver without CAP_FSETID clears set-id bits, and any
        // write clears file capabilities; refuse what could not be given back.
        const bool setId = (f.mode & S_ISUID) || ((f.mode & S_ISGID) && (f.mode & S_IXGRP));
        if (::geteuid() != 0 && setId && ::geteuid() != st.st_uid)
            return Failed("Writing would clear the file's set-id bits, which only its owner can give back");
        if (::geteuid() != 0 && !f.capability.empty())
            return Failed("Writing would clear the file's capabilities, which only root can give back");
        scratch = next_++;
        files_[scratch] = std::move(f);
        return Status::Ok();
    }

    Status restoreMetadata(Scratch s) override
    {
        const File& f = files_[s];
        struct stat st {};
        if (::fstat(f.fd.get(), &st) != 0)
            return Failed(errno);
        if ((st.st_mode & 07777) != f.mode && ::fchmod(f.fd.get(), f.mode) != 0)
            return Failed(errno);
        if (!f.capability.empty() && Capability(f.fd.get()) != f.capability &&
            ::fsetxattr(f.fd.get(), kCapability, f.capability.data(), f.capability.size(), 0) != 0)
            return Failed(errno);
        if (::fstat(f.fd.get(), &st) != 0)
            return Failed(errno);
        return (st.st_mode & 07777) == f.mode ? Status::Ok() : Failed("The file's mode could not be given back");
    }

    void holdInterrupts(bool hold) override { HoldInterrupts(hold); }

    Status syncFolder(const fs::path& folder) override
    {
        Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.get() < 0)
            return Failed(errno);
        if (::fsync(fd.get()) == 0)
            return Status::Ok();
        const int error = errno;
        if (error == EINVAL || error == ENOTSUP || error == EBADF)
            return {Outcome::kUnsupported, Reason(error)};
        return Failed(error);
    }

    std::vector<fs::path> spareFolders(bool make) override { return SpareFolders(make); }
    Status durable(const fs::path& folder) override { return SpareFolderKeeps(folder); }

    std::vector<Leftover> leftovers(const fs::path& folder, const fs::path& prefix) override
    {
        std::vector<Leftover> found;
        DIR* dir = ::opendir(folder.c_str());
        if (!dir)
            return found;
        const std::string& start = prefix.native();
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() != start.size() + 6 || name.compare(0, start.size(), start) != 0)
                continue;
            Leftover l;
            l.path = folder / name;
            struct stat st {};
            if (::lstat(l.path.c_str(), &st) != 0)
                continue;
            l.regular = S_ISREG(st.st_mode);
            l.saversOwn = st.st_uid == ::geteuid();
            l.links = st.st_nlink;
            l.othersMayWrite = st.st_mode & (S_IWGRP | S_IWOTH);
            found.push_back(l);
        }
        ::closedir(dir);
        return found;
    }

    bool inUse(const fs::path& file) override
    {
        Fd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        // A save that is running holds its files locked.
        return fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
               ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0;
    }

    Status readFile(const fs::path& file, std::int64_t maxSize, Bytes& bytes) override
    {
        Fd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
            return Failed(errno);
        if (!S_ISREG(st.st_mode) || st.st_size > maxSize)
            return Failed("Not a module file");
        const int error = ReadAllAt(fd.get(), bytes, static_cast<std::size_t>(st.st_size));
        return error ? Failed(error) : Status::Ok();
    }

    Status removeFile(const fs::path& file) override
    {
        return ::unlink(file.c_str()) == 0 ? Status::Ok() : Failed(errno);
    }

    std::string shown(const fs::path& path) override { return DisplayPath(path); }

private:
    Status settle(File& f)
    {
        f.settled = true;
        ForgetNamedTemporary();
        return Status::Ok();
    }

    std::map<Scratch, File> files_;
    Scratch next_ = 0;
};

}  // namespace

std::unique_ptr<SavePrimitives> MakePlatformPrimitives() { return std::make_unique<PosixPrimitives>(); }

}  // namespace zentab
