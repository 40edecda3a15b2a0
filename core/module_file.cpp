#include "module_file.h"

#include "errors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentab {

namespace {

std::string SystemReason(int error)
{
    return std::strerror(error);
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Saving over a link must replace the file it points at, not the link.
std::string ResolveTarget(const std::string& path)
{
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::int64_t maxSize)
{
    // Non-blocking, so that a pipe or a device picked by mistake cannot hang
    // the open; anything but a regular file is then refused.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        ThrowCannotOpen(path, SystemReason(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        ThrowCannotOpen(path, SystemReason(errno));
    if (S_ISDIR(st.st_mode))
        ThrowCannotOpen(path, SystemReason(EISDIR));
    if (!S_ISREG(st.st_mode))
        ThrowCannotOpen(path, "Not a regular file");
    if (st.st_size > maxSize)
        ThrowCannotOpen(path, "The file is larger than " + std::to_string(maxSize >> 20) +
                                  " MiB; a model-list module is never that large.");

    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowCannotOpen(path, SystemReason(errno));
        }
        if (got == 0)
            break;
        // Devices and growing files report no useful size up front.
        if (static_cast<std::int64_t>(bytes.size()) + got > maxSize)
            ThrowCannotOpen(path, "The file is larger than " + std::to_string(maxSize >> 20) +
                                      " MiB; a model-list module is never that large.");
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::string target = ResolveTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        ThrowCannotCreate(path, SystemReason(EISDIR));
    // Renaming over a file would ignore its write protection; a technician
    // who made a module read-only meant it.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        ThrowCannotCreate(path, SystemReason(errno));

    std::string temp = DirectoryOf(target) + "/.zentab-XXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0)
        ThrowCannotCreate(path, SystemReason(errno));

    auto fail = [&](int error) {
        ::unlink(temp.c_str());
        ThrowCannotCreate(path, SystemReason(error));
    };

    const mode_t mode = exists ? (existing.st_mode & 07777) : 0666 & ~[] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }();
    if (::fchmod(fd.get(), mode) != 0)
        fail(errno);

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(put);
    }
    if (::fsync(fd.get()) != 0)
        fail(errno);
    if (::close(fd.release()) != 0)
        fail(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        fail(errno);
    // The new name must reach the disk too, not only the bytes.
    Fd folder(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

}  // namespace zentab
