// check in folders that hold more than modules: pipes, links back up, links
// to nowhere. None may hang the run or be read twice.

#include "cli_fixture.h"

#include <sys/stat.h>

using namespace zentab::testkit;

namespace {

class CliCheckPosix : public CliFixture {};

TEST_F(CliCheckPosix, FolderSkipsPipesAndDoesNotFollowFolderLinks)
{
    fs::create_directories(dir_ / "reads" / "sub");
    write("reads/sub/m.bin", ModuleBuilder().build().bytes);
    ASSERT_EQ(::mkfifo((dir_ / "reads" / "fifo").c_str(), 0600), 0);
    fs::create_directory_symlink("..", dir_ / "reads" / "sub" / "up");
    fs::create_symlink("sub/m.bin", dir_ / "reads" / "link.bin");
    fs::create_symlink("nowhere", dir_ / "reads" / "dangling");

    const Outcome r = run({"check", "--recursive", path("reads")});
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, path("reads") + "/link.bin: ROYL module 0x000C, 932 bytes, checksum OK\n" + path("reads") +
                         "/sub/m.bin: ROYL module 0x000C, 932 bytes, checksum OK\n");

    // Named on the command line, a pipe is an error rather than a skip.
    const Outcome fifo = run({"check", path("reads/fifo")});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_NE(fifo.out.find(": error: Cannot open file"), std::string::npos) << fifo.out;
}

}  // namespace
