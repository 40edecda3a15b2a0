// How a save treats what is already on disk: what it refuses, what it keeps
// of the old file, and that nothing is left behind after a failure or an
// interrupt. Cases that need another user or a mount run only as root.

#include "files_test_support.h"
#include "module_builder.h"
#include "backup_names.h"
#include "errors.h"
#include "file_layer.h"
#include "save_primitives.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <set>
#include <sys/file.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace zentab {
namespace {

using testkit::ReadFileBytes;
using testkit::ScratchDir;
using testkit::WriteFileBytes;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr uid_t kNobody = 65534;

Bytes Pattern(std::size_t size, std::uint8_t seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 9));
    return bytes;
}

struct stat StatOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

std::set<std::string> Names(const std::string& folder, const std::string& prefix = {})
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0)
            names.insert(name);
    }
    return names;
}

// The message a refused save gives, or empty when it succeeded.
std::string SaveMessage(const std::string& path, const Bytes& bytes)
{
    try {
        WriteWholeFile(path, bytes);
    } catch (const PlatformError& e) {
        return e.what();
    }
    return {};
}

// Runs body in a child process as user and group 65534; its exit status.
int AsNobody(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(90);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

bool IsRoot() { return ::geteuid() == 0; }

// Not under /tmp or /var/tmp, which a test's child may cover with a tmpfs:
// the working folder where it lies elsewhere, else /var/lib.
fs::path OutsideTemporaryFolders()
{
    const fs::path cwd = fs::current_path();
    const auto under = [&cwd](const char* folder) {
        const std::string text = cwd.string(), prefix = folder;
        return text == prefix || text.rfind(prefix + "/", 0) == 0;
    };
    return under("/tmp") || under("/var/tmp") ? fs::path("/var/lib") : cwd;
}

// Makes this child process that user, with no other groups.
void BecomeOrExit(uid_t user)
{
    if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
        ::_exit(91);
}

// Runs body in a child process; what it returns comes back, and status
// tells how the child ended.
std::string InChild(const std::function<std::string()>& body, int* status = nullptr)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string said = body();
        (void)!::write(fds[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int ended = 0;
    ::waitpid(pid, &ended, 0);
    if (status)
        *status = ended;
    return said;
}

// A small tmpfs for disk-full cases, unmounted when the test ends.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& where, const char* size) : where_(where)
    {
        fs::create_directory(where_);
        mounted_ = ::mount("tmpfs", where_.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount(where_.c_str());
    }
    bool mounted() const { return mounted_; }

private:
    std::string where_;
    bool mounted_ = false;
};

TEST(Save, RefusesEverythingButARegularFileAndLeavesItAsItWas)
{
    ScratchDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const std::string socketPath = dir / "socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string folder = dir / "folder";
    fs::create_directory(folder);
    const std::string toNull = dir / "null-link";
    fs::create_symlink("/dev/null", toNull);
    const std::string toFifo = dir / "fifo-link";
    fs::create_symlink(fifo, toFifo);

    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {"/dev/null", "Not a regular file"}, {toNull, "Not a regular file"}, {fifo, "Not a regular file"},
        {toFifo, "Not a regular file"},      {socketPath, "Not a regular file"}, {folder, "Is a directory"},
    };
    const std::set<std::string> before = Names(dir / "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const mode_t type = StatOf(c.path).st_mode & S_IFMT;
        const std::string message = SaveMessage(c.path, {1, 2, 3});
        EXPECT_EQ(message.rfind("Cannot create file \"" + c.path + "\". " + c.reason, 0), 0u) << message;
        EXPECT_EQ(StatOf(c.path).st_mode & S_IFMT, type);
    }
    EXPECT_EQ(Names(dir / ""), before);
    ::close(sock);
    EXPECT_TRUE(S_ISCHR(StatOf("/dev/null").st_mode));
}

TEST(Save, RefusesAFileWithoutWritePermissionAlsoForRoot)
{
    ScratchDir dir;
    const std::string path = dir / "module.bin";
    WriteFileBytes(path, {9, 9, 9});
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(SaveMessage(path, {1, 2, 3}), "Cannot create file \"" + path + "\". Read-only file");
    EXPECT_EQ(ReadFileBytes(path), (Bytes{9, 9, 9}));
    EXPECT_EQ(dir.entries(), 1u);
}

// A POSIX access ACL as the kernel stores it: owner rw, user 65534 r,
// group r, mask r, others nothing.
std::string AccessAcl()
{
    std::string acl;
    auto u16 = [&](unsigned v) { acl += char(v & 0xFF), acl += char(v >> 8); };
    auto u32 = [&](unsigned v) { u16(v & 0xFFFF), u16(v >> 16); };
    u32(2);
    const unsigned entries[][3] = {{0x01, 6, ~0u}, {0x02, 4, kNobody}, {0x04, 4, ~0u}, {0x10, 4, ~0u}, {0x20, 0, ~0u}};
    for (const auto& e : entries)
        u16(e[0]), u16(e[1]), u32(e[2]);
    return acl;
}

std::string Attribute(const std::string& path, const char* name)
{
    char value[256];
    const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("<none>") : std::string(value, static_cast<std::size_t>(n));
}

TEST(Save, KeepsOwnerGroupModeAttributesAndLinksOfTheOldFile)
{
    if (!IsRoot())
        GTEST_SKIP() << "giving files to another user needs root";
    struct Case {
        const char* what;
        std::function<void(const std::string& path, const std::string& other)> setup;
    };
    const Case cases[] = {
        {"another user's file", [](const std::string& p, const std::string&) { ASSERT_EQ(::chown(p.c_str(), kNobody, kNobody), 0); }},
        {"root's file that a group reads (0640)",
         [](const std::string& p, const std::string&) {
             ASSERT_EQ(::chown(p.c_str(), 0, kNobody), 0);
             ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
         }},
        {"set-group-id and sticky bits", [](const std::string& p, const std::string&) {
             ASSERT_EQ(::chown(p.c_str(), kNobody, kNobody), 0);
             ASSERT_EQ(::chmod(p.c_str(), 03664), 0);
         }},
        {"extended attribute",
         [](const std::string& p, const std::string&) {
             ASSERT_EQ(::setxattr(p.c_str(), "user.zentab.origin", "drive 7", 7, 0), 0);
         }},
        {"access ACL",
         [](const std::string& p, const std::string&) {
             const std::string acl = AccessAcl();
             ASSERT_EQ(::setxattr(p.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
         }},
        {"hard link", [](const std::string& p, const std::string& other) { ASSERT_EQ(::link(p.c_str(), other.c_str()), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const std::string path = dir / "module.bin";
        const std::string other = dir / "other-name.bin";
        WriteFileBytes(path, Pattern(300, 1));
        ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
        c.setup(path, other);
        const struct stat before = StatOf(path);
        const std::string origin = Attribute(path, "user.zentab.origin");
        const std::string acl = Attribute(path, "system.posix_acl_access");

        WriteWholeFile(path, Pattern(500, 2));
        const struct stat after = StatOf(path);
        EXPECT_EQ(ReadFileBytes(path), Pattern(500, 2));
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode) << std::oct << after.st_mode << " was " << before.st_mode;
        EXPECT_EQ(after.st_nlink, before.st_nlink);
        EXPECT_EQ(Attribute(path, "user.zentab.origin"), origin);
        EXPECT_EQ(Attribute(path, "system.posix_acl_access"), acl);
        if (before.st_nlink > 1) {
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(ReadFileBytes(other), Pattern(500, 2));
        }
        const std::size_t names = before.st_nlink > 1 ? 2 : 1;
        EXPECT_EQ(dir.entries(), names) << "a temporary or backup is left";
    }
}

TEST(Save, FollowsLinksAndKeepsThem)
{
    ScratchDir dir;
    const std::string real = dir / "real.bin";
    const std::string link = dir / "link.bin";
    const std::string dangling = dir / "dangling.bin";
    const std::string loopA = dir / "loop-a";
    const std::string loopB = dir / "loop-b";
    WriteFileBytes(real, {1});
    fs::create_symlink("real.bin", link);              // relative: resolved from the link's folder
    fs::create_symlink(dir / "sub/../created.bin", dangling);
    fs::create_directory(dir / "sub");
    fs::create_symlink(loopB, loopA);
    fs::create_symlink(loopA, loopB);

    WriteWholeFile(link, {2, 2});
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), (Bytes{2, 2}));

    WriteWholeFile(dangling, {3, 3, 3});
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(ReadFileBytes(dir / "created.bin"), (Bytes{3, 3, 3}));

    EXPECT_EQ(SaveMessage(loopA, {4}), "Cannot create file \"" + loopA + "\". Too many levels of symbolic links");
    EXPECT_TRUE(fs::is_symlink(loopA));
    EXPECT_EQ(Names(dir / ""),
              (std::set<std::string>{"created.bin", "dangling.bin", "link.bin", "loop-a", "loop-b", "real.bin", "sub"}));
}

TEST(Save, NewFileTakesTheUmaskAndNamesAreBytes)
{
    ScratchDir dir;
    const std::string odd = dir / "o\xfe.bin";  // not UTF-8: must be written under these very bytes
    const mode_t previous = ::umask(027);
    WriteWholeFile(odd, {5, 6});
    ::umask(previous);
    EXPECT_EQ(Names(dir / ""), std::set<std::string>{"o\xfe.bin"});
    EXPECT_EQ(StatOf(odd).st_mode & 07777, 0640u);
    EXPECT_EQ(ReadWholeFile(odd, 100), (Bytes{5, 6}));
    const std::string missing = dir / "\xff.bin";
    try {
        ReadWholeFile(missing, 100);
        ADD_FAILURE() << "read a missing file";
    } catch (const PlatformError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing + "\". No such file or directory");
    }
}

TEST(Save, UnprivilegedUserWritesInPlaceWhereRenameWouldLoseSomething)
{
    if (!IsRoot())
        GTEST_SKIP() << "switching users needs root";
    struct Case {
        const char* what;
        mode_t folderMode;
        uid_t owner;
        bool expectInPlace;
    };
    const Case cases[] = {
        {"writable file in a folder the user cannot write", 0755, 0, true},
        {"root's writable file in a folder the user can write", 0777, 0, true},
        {"the user's own file in its own folder", 0755, kNobody, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const std::string folder = dir / "f";
        fs::create_directory(folder);
        ASSERT_EQ(::chmod((dir / "").c_str(), 0755), 0);
        ASSERT_EQ(::chown(folder.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        const std::string path = folder + "/module.bin";
        WriteFileBytes(path, Pattern(4000, 3));
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
        const struct stat before = StatOf(path);
        const std::set<std::string> tmpBefore = Names(fs::temp_directory_path(), "zentab-backup-");
        // The saver's home, where a copy goes when the module's folder
        // takes none; /tmp never does, whatever TMPDIR says.
        const std::string home = dir / "home";
        fs::create_directory(home);
        ASSERT_EQ(::chown(home.c_str(), kNobody, kNobody), 0);

        const int status = AsNobody([&] {
            ::setenv("HOME", home.c_str(), 1);
            ::unsetenv("XDG_STATE_HOME");
            ::setenv("TMPDIR", "/tmp", 1);
            return SaveMessage(path, Pattern(5000, 4)).empty() ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        const struct stat after = StatOf(path);
        EXPECT_EQ(ReadFileBytes(path), Pattern(5000, 4));
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino == before.st_ino, c.expectInPlace);
        EXPECT_EQ(Names(folder), std::set<std::string>{"module.bin"});
        EXPECT_EQ(Names(fs::temp_directory_path(), "zentab-backup-"), tmpBefore) << "a backup is left in the temporary folder";
        const std::string backups = home + "/.local/state/zentab/backups";
        if (c.folderMode == 0755 && c.owner == 0) {
            EXPECT_EQ(StatOf(backups).st_uid, kNobody);
            EXPECT_EQ(StatOf(backups).st_mode & 07777, 0700u);
            EXPECT_TRUE(Names(backups).empty());
        } else {
            EXPECT_FALSE(fs::exists(backups)) << "a backup folder made where none was needed";
        }
    }
}

TEST(Save, DiskFullLeavesTheOldFileWholeAndNothingBehind)
{
    if (!IsRoot())
        GTEST_SKIP() << "mounting a small disk needs root";
    ScratchDir dir;
    const std::string disk = dir / "disk";
    SmallDisk small(disk, "256k");
    if (!small.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Case {
        const char* what;
        std::size_t oldSize;  // 0: no old file
        bool hardLinked;      // forces the write in place
        std::size_t newSize;
    };
    const Case cases[] = {
        {"new file", 0, false, 400 << 10},
        {"replace", 100 << 10, false, 200 << 10},
        {"in place, the new bytes do not fit", 20 << 10, true, 300 << 10},
        {"in place, no room for the safe copy", 150 << 10, true, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = disk + "/module.bin";
        const std::string other = disk + "/other.bin";
        if (c.oldSize)
            WriteFileBytes(path, Pattern(c.oldSize, 5));
        if (c.hardLinked) {
            ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
        }
        const std::set<std::string> before = Names(disk);

        const std::string message = SaveMessage(path, Pattern(c.newSize, 6));
        EXPECT_EQ(message.rfind("Cannot create file \"" + path + "\". ", 0), 0u) << message;
        EXPECT_EQ(Names(disk), before);
        if (c.oldSize) {
            EXPECT_EQ(ReadFileBytes(path), Pattern(c.oldSize, 5));
        }
        fs::remove(path);
        fs::remove(other);
    }
}

// A child saves two contents in turn until a signal ends it; whatever the
// moment, the folder holds the module, whole, and nothing else, except after
// kill -9 in the middle of an in-place rewrite, where the safe copy stays.
TEST(Save, InterruptedSavesLeaveNoTemporaryAndAWholeModule)
{
    const Bytes first = Pattern(8 << 20, 7);
    const Bytes second = Pattern(8 << 20, 8);
    for (const bool inPlace : {false, true}) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
            for (const int delayMs : {5, 20, 45}) {
                SCOPED_TRACE(::testing::Message() << (inPlace ? "in place" : "rename") << ", signal " << signal
                                                  << " after " << delayMs << " ms");
                ScratchDir dir;
                const std::string path = dir / "module.bin";
                WriteWholeFile(path, first);
                if (inPlace) {
                    ASSERT_EQ(::link(path.c_str(), (dir / "other.bin").c_str()), 0);
                }
                const pid_t pid = ::fork();
                if (pid == 0) {
                    InstallInterruptCleanup();
                    for (int round = 0;; ++round)
                        WriteWholeFile(path, round % 2 ? first : second);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                ::kill(pid, signal);
                int status = 0;
                ::waitpid(pid, &status, 0);
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;

                std::set<std::string> expected{"module.bin"};
                if (inPlace)
                    expected.insert("other.bin");
                std::set<std::string> names = Names(dir / "");
                const Bytes now = ReadWholeFile(path, 64 << 20);
                const bool whole = now == first || now == second;
                if (signal == SIGKILL && inPlace && names.size() == 3) {
                    // Killed during the rewrite: a copy is left, holding a
                    // whole module. (Before the copy has its name, or after
                    // it is removed, nothing is left.)
                    for (const std::string& name : names) {
                        if (!expected.count(name)) {
                            EXPECT_EQ(name.rfind("module.bin.zentab-backup-", 0), 0u) << name;
                            const Bytes copy = ReadWholeFile(dir / name, 64 << 20);
                            EXPECT_TRUE(copy == first || copy == second);
                        }
                    }
                } else if (signal == SIGKILL && !inPlace && names.size() == 2) {
                    // Killed in the instant between naming the finished new
                    // file and renaming it: the next save removes it.
                    EXPECT_TRUE(whole);
                    WriteWholeFile(path, first);
                    EXPECT_EQ(Names(dir / ""), expected);
                } else {
                    EXPECT_EQ(names, expected);
                    EXPECT_TRUE(whole);
                }
            }
        }
    }
}

TEST(Save, RemovesTemporariesThatAKilledSaveLeftButNotOnesInUse)
{
    ScratchDir dir;
    const std::string path = dir / "module.bin";
    WriteWholeFile(path, {1});
    const std::string stale = dir / ".module.bin.zentab-Abc123";
    const std::string held = dir / ".module.bin.zentab-Def456";
    const std::string other = dir / ".other.bin.zentab-Ghi789";
    for (const std::string& name : {stale, held, other})
        WriteWholeFile(name, {9});
    const int holder = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);  // as a save still running would
    WriteWholeFile(path, {2});
    EXPECT_EQ(Names(dir / ""),
              (std::set<std::string>{".module.bin.zentab-Def456", ".other.bin.zentab-Ghi789", "module.bin"}));
    ::close(holder);
}

// The copy an in-place rewrite stands on must outlive a power cut: with the
// module's own folder closed to the saver and every spare folder held in
// memory, the save is refused and the module stays as it was.
TEST(Save, RefusesToPutTheInPlaceBackupOnAFileSystemInMemory)
{
    if (!IsRoot())
        GTEST_SKIP() << "mounting and switching users needs root";
    const fs::path base = OutsideTemporaryFolders() / ("zentab-durable-" + std::to_string(::getpid()));
    fs::create_directory(base);
    const std::string path = (base / "module.bin").string();
    WriteFileBytes(path, Pattern(3000, 9));
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(base.c_str(), 0755), 0);
    int status = 0;
    const std::string message = InChild(
        [&] {
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", "/tmp", "tmpfs", 0, "size=1m") != 0 ||
                ::mount("tmpfs", "/var/tmp", "tmpfs", 0, "size=1m") != 0)
                ::_exit(90);
            ::unsetenv("TMPDIR");
            ::unsetenv("XDG_STATE_HOME");
            ::unsetenv("HOME");  // nobody's home, /nonexistent, takes no copy
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(91);
            return SaveMessage(path, Pattern(4000, 10));
        },
        &status);
    const std::set<std::string> names = Names(base.string());
    const Bytes left = ReadFileBytes(path);
    fs::remove_all(base);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 90)
        GTEST_SKIP() << "cannot mount a tmpfs in a namespace of its own here";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(message.rfind("Cannot create file \"" + path + "\". No safe copy of the old file can be made", 0), 0u)
        << message;
    EXPECT_NE(message.find("disk-backed"), std::string::npos) << message;
    EXPECT_EQ(left, Pattern(3000, 9));
    EXPECT_EQ(names, std::set<std::string>{"module.bin"});
}

// A saver without a home sweeps /var/tmp for copies of its module, under a
// name anyone can predict. Another user's file planted there, equal to the
// module or not, is neither named nor touched; the saver's own differing
// copy is named as before.
TEST(Save, InASharedSpareFolderOnlyTheSaversOwnCopiesCount)
{
    if (!IsRoot())
        GTEST_SKIP() << "two users need root";
    constexpr uid_t kSaver = 64999;  // no account, so no home
    const fs::path base = OutsideTemporaryFolders() / ("zentab-shared-" + std::to_string(::getpid()));
    fs::create_directory(base);
    ASSERT_EQ(::chown(base.c_str(), kSaver, kSaver), 0);
    const std::string path = (base / "module.bin").string();
    WriteFileBytes(path, Pattern(3000, 5));
    ASSERT_EQ(::chown(path.c_str(), kSaver, kSaver), 0);
    SaveTarget target;
    ASSERT_TRUE(MakePlatformPrimitives()->inspect(path, target).ok());
    const std::string prefix = SpareBackupPrefix(target.file.filename(), target.identity, target.fullPath).string();
    int status = 0;
    const std::string report = InChild(
        [&] {
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", "/var/tmp", "tmpfs", 0, "size=1m,mode=1777") != 0)
                ::_exit(90);
            const auto as = [](uid_t user, const std::function<std::string()>& body) {
                return InChild([&] {
                    BecomeOrExit(user);
                    return body();
                });
            };
            as(kNobody, [&] {
                WriteFileBytes("/var/tmp/" + prefix + "plant1", Pattern(3000, 6));
                WriteFileBytes("/var/tmp/" + prefix + "plant2", Pattern(3000, 5));
                return std::string();
            });
            WriteFileBytes("/var/tmp/" + prefix + "owncpy", Pattern(3000, 7));
            if (::chown(("/var/tmp/" + prefix + "owncpy").c_str(), kSaver, kSaver) != 0)
                ::_exit(93);
            std::string said = as(kSaver, [&] {
                ::unsetenv("HOME");
                ::unsetenv("XDG_STATE_HOME");
                try {
                    return WriteWholeFile(path, Pattern(2000, 8));
                } catch (const PlatformError& e) {
                    return std::string("error: ") + e.what();
                }
            });
            said += "\n--";
            for (const std::string& name : Names("/var/tmp"))
                said += " " + name;
            return said;
        },
        &status);
    const Bytes saved = ReadFileBytes(path);
    fs::remove_all(base);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 90)
        GTEST_SKIP() << "cannot mount a tmpfs in a namespace of its own here";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(saved, Pattern(2000, 8));
    EXPECT_EQ(report, "An earlier backup \"/var/tmp/" + prefix + "owncpy\" differs from the file and is kept: it may "
                      "hold the module a failed save left behind\n-- " + prefix + "owncpy " + prefix + "plant1 " +
                      prefix + "plant2");
}

// A link in a shared sticky folder is followed only when the saver or the
// folder's owner made it, as the kernel's protected-symlink rule says, also
// where that rule is switched off: root saving to /tmp/x.bin must never
// write through another user's link to a system file.
TEST(Save, FollowsALinkInASharedFolderOnlyWhereTheProtectedLinkRuleAllows)
{
    if (!IsRoot())
        GTEST_SKIP() << "links of another user need root";
    struct Case {
        const char* what;
        mode_t folderMode;
        uid_t linkOwner;
        bool dangling;
        bool followed;
    };
    const Case cases[] = {
        {"another user's link in a sticky shared folder", 01777, kNobody, false, false},
        {"another user's dangling link in a sticky shared folder", 01777, kNobody, true, false},
        {"the saver's own link there", 01777, 0, false, true},
        {"the saver's own dangling link there", 01777, 0, true, true},
        {"another user's link in a folder that is not sticky", 0777, kNobody, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const std::string shared = dir / "shared";
        fs::create_directory(shared);
        ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);
        const std::string system = dir / "system.bin";
        if (!c.dangling)
            WriteFileBytes(system, {7, 7, 7});
        const std::string link = shared + "/x.bin";
        fs::create_symlink(system, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);

        const std::string message = SaveMessage(link, {1, 2});
        EXPECT_TRUE(fs::is_symlink(link));
        if (c.followed) {
            EXPECT_EQ(message, "");
            EXPECT_EQ(ReadFileBytes(system), (Bytes{1, 2}));
        } else {
            EXPECT_EQ(message.rfind("Cannot create file \"" + link + "\". Permission denied", 0), 0u) << message;
            EXPECT_EQ(fs::exists(system), !c.dangling);
            if (!c.dangling) {
                EXPECT_EQ(ReadFileBytes(system), (Bytes{7, 7, 7}));
            }
        }
        EXPECT_EQ(Names(shared), std::set<std::string>{"x.bin"});
    }
}

// A file capability as the kernel stores it (revision 2): CAP_NET_RAW
// permitted and effective.
std::string NetRawCapability()
{
    std::string value(20, '\0');
    const unsigned words[] = {0x02000001u, 1u << 13, 0, 0, 0};
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 4; ++b)
            value[static_cast<std::size_t>(i * 4 + b)] = static_cast<char>((words[i] >> (8 * b)) & 0xFF);
    return value;
}

// A write clears set-id bits (for a saver without CAP_FSETID) and file
// capabilities (for anyone); a save gives them back, or refuses where this
// saver could not.
TEST(Save, KeepsSetIdBitsAndCapabilitiesOrRefuses)
{
    if (!IsRoot())
        GTEST_SKIP() << "set-id files of another user need root";
    struct Case {
        const char* what;
        bool asNobody;
        uid_t owner;
        mode_t mode;
        bool capability;
        bool hardLinked;  // written in place
        bool saved;
    };
    const Case cases[] = {
        {"root, by rename", false, kNobody, 06755, true, false, true},
        {"root, in place", false, kNobody, 06755, true, true, true},
        {"the owner, by rename", true, kNobody, 06755, false, false, true},
        {"the owner, in place", true, kNobody, 06775, false, true, true},
        {"another user, in place", true, 0, 04777, false, true, false},
        {"a user with a capability to keep", true, kNobody, 0755, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const std::string folder = dir / "f";
        fs::create_directory(folder);
        ASSERT_EQ(::chmod((dir / "").c_str(), 0755), 0);
        ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
        const std::string path = folder + "/tool.bin";
        WriteFileBytes(path, Pattern(2000, 11));
        if (c.hardLinked) {
            ASSERT_EQ(::link(path.c_str(), (folder + "/other.bin").c_str()), 0);
        }
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        const std::string capability = NetRawCapability();
        if (c.capability) {
            ASSERT_EQ(::setxattr(path.c_str(), "security.capability", capability.data(), capability.size(), 0), 0);
        }
        const std::set<std::string> before = Names(folder);

        const auto save = [&] { return SaveMessage(path, Pattern(2500, 12)); };
        const bool saved = c.asNobody ? AsNobody([&] { return save().empty() ? 0 : 1; }) == 0 : save().empty();
        EXPECT_EQ(saved, c.saved);
        const struct stat after = StatOf(path);
        EXPECT_EQ(ReadFileBytes(path), c.saved ? Pattern(2500, 12) : Pattern(2000, 11));
        EXPECT_EQ(after.st_mode & 07777, c.mode) << std::oct << after.st_mode;
        EXPECT_EQ(after.st_uid, c.owner);
        EXPECT_EQ(Attribute(path, "security.capability"), c.capability ? capability : std::string("<none>"));
        EXPECT_EQ(Names(folder), before);
    }
}

TEST(Read, RefusesWhatIsNotARegularFileAtOnce)
{
    ScratchDir dir;
    const std::string fifo = dir / "fifo";  // no writer: a blocking open would hang here
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const std::string zero = dir / "zero-link";
    fs::create_symlink("/dev/zero", zero);
    const std::string module = dir / "m.bin";
    WriteFileBytes(module, {0x0D, 0x0A, 0x1A, 0x00, 0xFF});
    struct Case {
        std::string path;
        const char* reason;  // nullptr: read
    };
    const Case cases[] = {{fifo, "Not a regular file"},
                          {zero, "Not a regular file"},
                          {dir / "", "Is a directory"},
                          {dir / "missing", "No such file or directory"},
                          {module, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto got = TryReadWholeFile(c.path, 1 << 20);
        EXPECT_EQ(got.has_value(), c.reason == nullptr);
        if (c.reason) {
            try {
                ReadWholeFile(c.path, 1 << 20);
                ADD_FAILURE() << "read";
            } catch (const PlatformError& e) {
                EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + c.path + "\". " + c.reason);
            }
        } else {
            EXPECT_EQ(*got, (Bytes{0x0D, 0x0A, 0x1A, 0x00, 0xFF}));
        }
    }
}

}  // namespace
}  // namespace zentab
