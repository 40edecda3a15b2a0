// What zentab does to the file named as OUT when that is not a plain module
// file of its own: devices, pipes and sockets stay what they are, read-only
// files stay unwritten, links and hard links stay, and an interrupted save
// leaves nothing but whole modules.

#include "cli_fixture.h"

#include <csignal>
#include <fstream>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zentab::testkit;

namespace {

class CliSaveTarget : public CliFixture {};

// In one read: the byte-wise stream reader is far too slow for 32 MiB in
// the sanitizer build.
Bytes ReadLarge(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    Bytes bytes(static_cast<std::size_t>(fs::file_size(path)));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

mode_t TypeOf(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

TEST_F(CliSaveTarget, RefusesDevicesPipesSocketsAndReadOnlyFiles)
{
    const Bytes module = ModuleBuilder().badChecksum().build().bytes;
    const std::string in = write("m.bin", module);
    const std::string fifo = path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const std::string sock = path("socket");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", sock.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string readOnly = write("read-only.bin", module);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);

    const struct {
        std::string out;
        const char* reason;
    } cases[] = {
        {"/dev/null", "Not a regular file"}, {fifo, "Not a regular file"}, {sock, "Not a regular file"},
        {readOnly, "Read-only file"},
    };
    const std::vector<std::string> before = FilesIn(dir_);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        const mode_t type = TypeOf(c.out);
        const Outcome r = run({"fix", in, "-o", c.out});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("Cannot create file \"" + c.out + "\". " + c.reason), std::string::npos) << r.err;
        EXPECT_EQ(TypeOf(c.out), type);
    }
    EXPECT_EQ(FilesIn(dir_), before);
    EXPECT_EQ(ReadFileBytes(readOnly), module);
    EXPECT_TRUE(S_ISCHR(TypeOf("/dev/null")));
    ::close(fd);

    // Nor is anything but a regular file read, and a pipe never blocks.
    const Outcome r = run({"show", fifo});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Not a regular file"), std::string::npos) << r.err;
}

TEST_F(CliSaveTarget, KeepsHardLinksAndSymbolicLinks)
{
    const Bytes module = ModuleBuilder().badChecksum().build().bytes;
    const Bytes fixed = ModuleBuilder().build().bytes;
    const std::string in = write("m.bin", module);
    ASSERT_EQ(::link(in.c_str(), path("second-name.bin").c_str()), 0);
    ASSERT_EQ(run({"fix", in, "-o", in}).status, 0);
    EXPECT_EQ(ReadFileBytes(path("second-name.bin")), fixed);

    const std::string dangling = path("dangling.bin");
    fs::create_symlink("target.bin", dangling);
    ASSERT_EQ(run({"fix", in, "-o", dangling}).status, 0);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(ReadFileBytes(path("target.bin")), fixed);

    const std::string loop = path("loop.bin");
    fs::create_symlink("loop.bin", loop);
    const Outcome r = run({"fix", in, "-o", loop});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Too many levels of symbolic links"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_symlink(loop));
}

// A large module, stopped by each catchable signal at a few moments of its
// save: the folder holds the input and, at most, a whole fixed module.
TEST_F(CliSaveTarget, InterruptedSaveLeavesNoTemporary)
{
    ModuleBuilder builder;
    builder.tail(std::size_t{32} << 20).badChecksum();
    const Bytes module = builder.build().bytes;
    const std::string in = write("big.bin", module);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (const int delayMs : {30, 90, 200}) {
            SCOPED_TRACE(::testing::Message() << "signal " << signal << " after " << delayMs << " ms");
            const std::string out = path("out.bin");
            fs::remove(out);
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
                const char* argv[] = {ZENTAB_CLI_PATH, "fix", in.c_str(), "-o", out.c_str(), nullptr};
                ::execv(ZENTAB_CLI_PATH, const_cast<char**>(argv));
                ::_exit(127);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            ::kill(pid, signal);
            int status = 0;
            ::waitpid(pid, &status, 0);
            const std::vector<std::string> names = FilesIn(dir_);
            if (WIFEXITED(status)) {
                EXPECT_EQ(WEXITSTATUS(status), 0);  // finished before the signal came
                EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "out.bin"}));
            } else {
                EXPECT_EQ(WTERMSIG(status), signal);
                EXPECT_TRUE(names == std::vector<std::string>{"big.bin"} ||
                            names == (std::vector<std::string>{"big.bin", "out.bin"}))
                    << ::testing::PrintToString(names);
            }
            if (fs::exists(out)) {
                EXPECT_EQ(fs::file_size(out), module.size());
            }
            EXPECT_TRUE(ReadLarge(in) == module);
        }
    }
}

}  // namespace
