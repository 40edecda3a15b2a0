// Descriptor work for the POSIX file layer, and the interrupt handling of a
// command-line program: an interrupt must not leave a temporary behind, nor
// stop a module halfway through its rewrite in place.

#include "posix_io.h"

#include "file_layer.h"

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
#include <sys/xattr.h>
#include <unistd.h>

namespace zentab {

void Fd::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

std::string Reason(int error)
{
    if (error == kReadBackMismatch)
        return "The written file does not read back as written; the old file is kept";
    return std::strerror(error);
}

int ReadAllAt(int fd, std::vector<std::uint8_t>& out, std::size_t size)
{
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, out.data() + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return kReadBackMismatch;
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

int WriteSyncVerify(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return errno;
        done += static_cast<std::size_t>(put);
    }
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd) != 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    if (st.st_size != static_cast<off_t>(bytes.size()))
        return kReadBackMismatch;
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<std::uint8_t> back;
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        const std::size_t n = std::min(kChunk, bytes.size() - at);
        back.resize(n);
        std::size_t got = 0;
        while (got < n) {
            const ssize_t r = ::pread(fd, back.data() + got, n - got, static_cast<off_t>(at + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0)
                return errno;
            if (r == 0)
                return kReadBackMismatch;
            got += static_cast<std::size_t>(r);
        }
        if (std::memcmp(back.data(), bytes.data() + at, n) != 0)
            return kReadBackMismatch;
    }
    return 0;
}

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
            out.emplace_back(list.c_str() + at);
            at += out.back().size() + 1;
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

namespace {

char gTemporary[PATH_MAX];
volatile std::sig_atomic_t gHasTemporary = 0;
volatile std::sig_atomic_t gHeld = 0;
volatile std::sig_atomic_t gDeferredSignal = 0;

void OnInterrupt(int signal)
{
    if (gHeld) {
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
class Blocked {
public:
    Blocked()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~Blocked() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    Blocked(const Blocked&) = delete;
    Blocked& operator=(const Blocked&) = delete;

private:
    sigset_t previous_;
};

void Register(const std::string& name)
{
    gHasTemporary = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(gTemporary, name.c_str(), name.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    gHasTemporary = 1;
}

}  // namespace

int CreateNamedTemporary(const std::string& basePath, Fd& fd, std::string& name)
{
    std::string pattern = basePath + "XXXXXX";
    if (pattern.size() >= sizeof gTemporary)
        return ENAMETOOLONG;
    const Blocked blocked;
    const int got = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (got < 0)
        return errno;
    fd.reset(got);
    name = pattern;
    Register(name);
    return 0;
}

int LinkUnnamedAs(int fd, const char* name)
{
    if (::linkat(fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0)
        return 0;
    if (errno == EEXIST)
        return -1;
    // Older kernels let only privileged callers link by descriptor; the
    // /proc route works for the file's opener there.
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW);
}

int LinkUnnamedNamed(int fd, const std::string& basePath, std::string& name)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = basePath;
        unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + ++counter * 40503u +
                        static_cast<unsigned>(attempt);
        for (int i = 0; i < 6; ++i, seed /= 62)
            candidate += kLetters[seed % 62];
        if (candidate.size() >= sizeof gTemporary) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const Blocked blocked;
        if (LinkUnnamedAs(fd, candidate.c_str()) == 0) {
            // Registered only once it is ours: the handler must never remove
            // a file of the same name that was there before.
            Register(candidate);
            name = candidate;
            return 0;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: a link never replaces either.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

void RemoveNamedTemporary(const std::string& name)
{
    const Blocked blocked;
    gHasTemporary = 0;
    // One that cannot be removed here is unlocked once closed, and the next
    // save of the file sweeps it away.
    ::unlink(name.c_str());
}

void ForgetNamedTemporary() { gHasTemporary = 0; }

void HoldInterrupts(bool hold)
{
    gHeld = hold ? 1 : 0;
    if (hold)
        return;
    // The module is whole again (new or old bytes): a waiting interrupt may
    // now end the program.
    if (const int signal = gDeferredSignal) {
        gDeferredSignal = 0;
        OnInterrupt(signal);
    }
}

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

}  // namespace zentab
