// The file layer on Linux and other POSIX systems: reading a module, and
// the entry point of a save (the policy is save_policy.cpp, its steps
// save_primitives_posix.cpp).

#include "file_layer.h"

#include "errors.h"
#include "posix_io.h"
#include "save_policy.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentab {

namespace fs = std::filesystem;

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

std::string WriteWholeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    return SaveWholeFile(*MakePlatformPrimitives(), path, bytes);
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

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

fs::path PathFromArgument(const std::string& argument) { return fs::path(argument); }

}  // namespace zentab
