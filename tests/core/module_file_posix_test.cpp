// Loading and saving a module image where POSIX is the platform: pipes,
// sparse files, file-size limits, modes and symbolic links.

#include "core_test_support.h"
#include "module_image.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentab;
using namespace zentab::testkit;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

}  // namespace

TEST(ModuleImage, LoadFailuresNameTheFileAndKeepTheImage)
{
    ScratchDir dir;
    const std::string big = dir / "disk.img";
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, ModuleImage::kMaxFileSize + 1), 0);  // sparse: costs no disk
    ::close(fd);
    const std::string fifo = dir / "fifo";  // opening it for reading must not hang
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {dir / "missing.bin", dir / "", big, fifo}) {
        SCOPED_TRACE(path);
        ModuleImage image = Counting(6);
        try {
            image.loadFromFile(path);
            ADD_FAILURE() << "loaded";
        } catch (const PlatformError& e) {
            const std::string prefix = "Cannot open file \"" + path + "\". ";
            const std::string message = e.what();
            EXPECT_EQ(message.substr(0, prefix.size()), prefix);
            EXPECT_GT(message.size(), prefix.size()) << "no reason given";
        }
        EXPECT_EQ(image.bytes(), Counting(6).bytes());
    }
}

TEST(ModuleImage, FailedSaveLeavesTheOldFileWhole)
{
    ScratchDir dir;
    const std::string path = dir / "module.bin";
    const Bytes old(100, 0x5A);
    WriteFileBytes(path, old);

    // A file-size limit makes the write itself fail, even for root.
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        Counting(100000).saveToFile(path);
    } catch (const PlatformError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(message.rfind("Cannot create file \"" + path + "\". ", 0), 0u) << message;
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(dir.entries(), 1u);  // the temporary file is gone
}

TEST(ModuleImage, SaveKeepsPermissionsAndLinks)
{
    ScratchDir dir;
    const std::string path = dir / "module.bin";
    const std::string link = dir / "link.bin";
    WriteFileBytes(path, {1, 2, 3});
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);

    Counting(7).saveToFile(path);
    EXPECT_EQ(ModeOf(path), 0640u);
    Counting(9).saveToFile(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(path), Counting(9).bytes());
    EXPECT_EQ(ModeOf(path), 0640u);
}
