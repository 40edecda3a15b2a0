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

ModuleImage Counting(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    return ImageOf(bytes);
}

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

}  // namespace

TEST(ModuleImage, ReadTakesExactlyTheBytesThatAreThere)
{
    struct Case {
        std::int64_t position;
        std::size_t count;
        bool ok;
    };
    const Case cases[] = {
        {0, 10, true}, {3, 7, true}, {10, 0, true}, {11, 0, true}, {-1, 0, true},  // nothing asked, nothing missing
        {4, 7, false}, {10, 1, false}, {100, 1, false}, {-1, 1, false}, {-4, 8, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "position " << c.position << " count " << c.count);
        ModuleImage image = Counting(10);
        image.seek(c.position);
        EXPECT_EQ(image.position(), c.position);  // seeking is never checked
        std::uint8_t out[16] = {};
        if (!c.ok) {
            EXPECT_PLATFORM_ERROR(image.read(out, c.count), "Stream read error");
            continue;
        }
        image.read(out, c.count);
        EXPECT_EQ(image.position(), c.position + static_cast<std::int64_t>(c.count));
        for (std::size_t i = 0; i < c.count; ++i)
            EXPECT_EQ(out[i], c.position + 1 + static_cast<std::int64_t>(i));
    }
}

TEST(ModuleImage, WriteOverwritesInPlaceAndGrowsWithZeroGap)
{
    ModuleImage image = Counting(8);
    const std::uint8_t patch[3] = {0xA1, 0xA2, 0xA3};
    image.seek(2);
    image.write(patch, 3);
    EXPECT_EQ(image.position(), 5);
    image.seek(6);  // runs over the end
    image.write(patch, 3);
    image.seek(11);  // leaves a gap
    image.write(patch, 1);
    EXPECT_EQ(image.bytes(), (Bytes{1, 2, 0xA1, 0xA2, 0xA3, 6, 0xA1, 0xA2, 0xA3, 0, 0, 0xA1}));
}

TEST(ModuleImage, SaveThenLoadGivesTheSameBytes)
{
    ScratchDir dir;
    const std::string path = dir / "module.bin";
    for (std::size_t size : {0u, 1u, 200000u}) {
        SCOPED_TRACE(size);
        const ModuleImage saved = Counting(size);
        saved.saveToFile(path);
        EXPECT_EQ(ReadFileBytes(path), saved.bytes());
        ModuleImage loaded = Counting(5);
        loaded.seek(3);
        loaded.loadFromFile(path);
        EXPECT_EQ(loaded.bytes(), saved.bytes());
        EXPECT_EQ(loaded.position(), 0);
    }
    EXPECT_EQ(dir.entries(), 1u);  // no temporary file left behind
}

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

TEST(ModuleImage, SaveIntoMissingFolderFailsAndCreatesNothing)
{
    ScratchDir dir;
    const std::string path = dir / "no-such-folder/module.bin";
    EXPECT_PLATFORM_ERROR(Counting(4).saveToFile(path),
                          "Cannot create file \"" + path + "\". No such file or directory");
    EXPECT_EQ(dir.entries(), 0u);
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
