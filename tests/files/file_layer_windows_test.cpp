// How the file layer meets Windows: bytes read and written whole, names in
// any letters, share modes and attributes of other programs respected, and
// devices refused. The counterpart of the POSIX cases.

#include "files_test_support.h"
#include "module_builder.h"
#include "backup_names.h"
#include "errors.h"
#include "file_layer.h"
#include "save_primitives.h"
#include "windows_text.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <functional>

namespace zentab {
namespace {

using testkit::ScratchDir;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

fs::path Folder(const ScratchDir& dir) { return fs::path(dir / ""); }

void WriteBytes(const fs::path& path, const Bytes& bytes)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD put = 0;
    EXPECT_TRUE(::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
    EXPECT_EQ(put, bytes.size());
    ::CloseHandle(file);
}

Bytes ReadBytes(const fs::path& path)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    Bytes bytes(1 << 20);
    DWORD got = 0;
    EXPECT_TRUE(::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr));
    ::CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

std::size_t Entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Bytes that a text-mode read or write would change: CR LF, a lone LF,
// 0x1A (end of file for the C runtime's text mode) and NULs.
Bytes Awkward(std::uint8_t seed)
{
    Bytes bytes(64);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i);
    const std::uint8_t tricky[] = {'\r', '\n', 0x1A, '\n', 0x00, 0x1A, '\r'};
    std::copy(std::begin(tricky), std::end(tricky), bytes.begin() + 3);
    bytes[40] = 0x1A;
    bytes[63] = '\r';
    return bytes;
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PlatformError& e) {
        return e.what();
    }
    return "no error";
}

TEST(Read, TakesCrLfAndCtrlZBytesWholeAndSaveWritesThemUnchanged)
{
    ScratchDir dir;
    const fs::path path = Folder(dir) / "module.bin";
    WriteBytes(path, Awkward(1));
    EXPECT_EQ(ReadWholeFile(path, 1 << 20), Awkward(1));
    WriteWholeFile(path, Awkward(2));
    EXPECT_EQ(ReadBytes(path), Awkward(2));
}

TEST(Save, OverTheLoadedFileReplacesItAndLeavesNothingBehind)
{
    ScratchDir dir;
    const fs::path folder = Folder(dir);
    const fs::path path = folder / "module.bin";
    WriteBytes(path, Bytes(100, 0x5A));
    ASSERT_EQ(ReadWholeFile(path, 1 << 20), Bytes(100, 0x5A));
    // Where the file system keeps the attribute, the save keeps it too.
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const bool hidden = ::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN;
    WriteWholeFile(path, Awkward(7));
    EXPECT_EQ(ReadBytes(path), Awkward(7));
    WriteWholeFile(path, {});
    EXPECT_EQ(ReadBytes(path), Bytes{});
    EXPECT_EQ((::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0, hidden);
    EXPECT_EQ(Entries(folder), 1u);
}

TEST(Save, PutsItsTemporaryBesideAFileNamedWithBackslashes)
{
    ScratchDir dir;
    const fs::path folder = Folder(dir);
    fs::create_directory(folder / "work");
    fs::create_directory(folder / "modules");
    const fs::path before = fs::current_path();
    fs::current_path(folder / "work");
    const fs::path relative(L"..\\modules\\module.bin");
    WriteWholeFile(relative, Awkward(3));
    WriteWholeFile(relative, Awkward(4));
    fs::current_path(before);
    EXPECT_EQ(ReadBytes(folder / "modules" / "module.bin"), Awkward(4));
    EXPECT_EQ(Entries(folder / "work"), 0u);
    EXPECT_EQ(Entries(folder / "modules"), 1u);
}

TEST(Save, NamesWithCyrillicLettersReachTheFileAndTheMessages)
{
    ScratchDir dir;
    const fs::path folder = Folder(dir) / fs::path(u8"Модули диска");
    fs::create_directory(folder);
    const fs::path path = folder / fs::path(u8"модуль.bin");
    WriteWholeFile(path, Awkward(5));
    EXPECT_EQ(ReadBytes(path), Awkward(5));
    EXPECT_EQ(ReadWholeFile(path, 1 << 20), Awkward(5));
    WriteWholeFile(path, Awkward(6));
    EXPECT_EQ(ReadWholeFile(path, 1 << 20), Awkward(6));
    EXPECT_EQ(Entries(folder), 1u);

    const fs::path missing = folder / fs::path(u8"нет.bin");
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(missing, 1 << 20); }),
              "Cannot open file \"" + (dir / "") + Utf8(u8"Модули диска\\нет.bin") +
                  "\". No such file or directory");
    // An argument carries the name as UTF-8 and back without loss, also a
    // letter outside the first plane and a lone surrogate NTFS allows.
    for (const std::wstring& name : {path.native(), std::wstring(L"a\U0001F4BE.bin"), std::wstring(L"x\xD800y")}) {
        EXPECT_EQ(PathFromArgument(DisplayPath(fs::path(name))).native(), name);
    }
    EXPECT_EQ(DisplayPath(fs::path(L"\x0434\x0438\x0441\x043A")), Utf8(u8"диск"));
}

TEST(Save, RefusesAReadOnlyFileAndKeepsIt)
{
    ScratchDir dir;
    const fs::path path = Folder(dir) / "module.bin";
    WriteBytes(path, Bytes(10, 1));
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ErrorOf([&] { WriteWholeFile(path, Bytes(20, 2)); }),
              "Cannot create file \"" + (dir / "module.bin") + "\". Read-only file");
    EXPECT_EQ(ReadWholeFile(path, 1 << 20), Bytes(10, 1));
    EXPECT_EQ(Entries(Folder(dir)), 1u);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Save, WritesAHardLinkedFileInPlaceSoEveryNameSeesIt)
{
    ScratchDir dir;
    const fs::path path = Folder(dir) / "module.bin";
    const fs::path other = Folder(dir) / "other name.bin";
    WriteBytes(path, Bytes(30, 3));
    if (!::CreateHardLinkW(other.c_str(), path.c_str(), nullptr))
        GTEST_SKIP() << "this file system has no hard links";
    WriteWholeFile(path, Awkward(8));
    EXPECT_EQ(ReadBytes(path), Awkward(8));
    EXPECT_EQ(ReadBytes(other), Awkward(8));
    EXPECT_EQ(Entries(Folder(dir)), 2u);  // the copy of the old bytes is gone
}

TEST(Save, WritesInPlaceWhileAnotherProgramOnlyReadsTheFile)
{
    ScratchDir dir;
    const fs::path path = Folder(dir) / "module.bin";
    const fs::path other = Folder(dir) / "other name.bin";
    WriteBytes(path, Bytes(30, 3));
    if (!::CreateHardLinkW(other.c_str(), path.c_str(), nullptr))
        GTEST_SKIP() << "this file system has no hard links";
    // A viewer that reads and lets everyone else in.
    const HANDLE reader = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorOf([&] { WriteWholeFile(path, Awkward(9)); }), "no error");
    ::CloseHandle(reader);
    EXPECT_EQ(ReadBytes(path), Awkward(9));
    EXPECT_EQ(ReadBytes(other), Awkward(9));
    EXPECT_EQ(Entries(Folder(dir)), 2u);
}

TEST(Save, TheNextSaveClearsLeftoversOfAKilledOneButNotOnesInUse)
{
    struct Case {
        const wchar_t* name;
        Bytes held;
        bool inUse;
        bool kept;
        bool reported;
    };
    const Case cases[] = {
        {L".module.bin.zentab-Abc123", Bytes(5, 1), false, false, false},
        {L".module.bin.zentab-Def456", Bytes(5, 1), true, true, false},
        {L"module.bin.zentab-backup-Ghi789", Bytes(10, 1), false, false, false},  // the file's very bytes
        {L"module.bin.zentab-backup-Jkl012", Bytes(4, 2), false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DisplayPath(fs::path(c.name)));
        ScratchDir dir;
        const fs::path path = Folder(dir) / "module.bin";
        WriteBytes(path, Bytes(10, 1));
        const fs::path leftover = Folder(dir) / c.name;
        WriteBytes(leftover, c.held);
        const HANDLE holder = c.inUse ? ::CreateFileW(leftover.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                      : INVALID_HANDLE_VALUE;
        std::string warning;
        EXPECT_EQ(ErrorOf([&] { warning = WriteWholeFile(path, Bytes(12, 5)); }), "no error");
        if (holder != INVALID_HANDLE_VALUE)
            ::CloseHandle(holder);
        EXPECT_EQ(ReadBytes(path), Bytes(12, 5));
        EXPECT_EQ(fs::exists(leftover), c.kept);
        EXPECT_EQ(warning.find(DisplayPath(leftover)) != std::string::npos, c.reported) << warning;
    }
}

// Owner and permissions in the system's text form ("O:...D:...").
std::wstring Access(const fs::path& file)
{
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    ::GetFileSecurityW(file.c_str(), parts, nullptr, 0, &size);
    std::vector<BYTE> security(size);
    LPWSTR text = nullptr;
    if (size == 0 || !::GetFileSecurityW(file.c_str(), parts, security.data(), size, &size) ||
        !::ConvertSecurityDescriptorToStringSecurityDescriptorW(security.data(), SDDL_REVISION_1, parts, &text,
                                                                nullptr))
        return L"unreadable";
    const std::wstring result = text;
    ::LocalFree(text);
    return result;
}

void SetAccess(const fs::path& file, const std::wstring& sddl)
{
    PSECURITY_DESCRIPTOR security = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &security,
                                                                       nullptr));
    EXPECT_TRUE(::SetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                   security));
    ::LocalFree(security);
}

// The copy a rewrite in place makes beside the module has the module's owner
// and permissions from its creation, not the more open ones the folder
// passes on to new files.
TEST(Save, ACopyBesideTheModuleHasTheModulesAccess)
{
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    BYTE user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    DWORD size = 0;
    ASSERT_TRUE(::GetTokenInformation(token, TokenUser, user, sizeof user, &size));
    ::CloseHandle(token);
    LPWSTR me = nullptr;
    ASSERT_TRUE(::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &me));
    const std::wstring saver = me;
    ::LocalFree(me);

    ScratchDir dir;
    SetAccess(Folder(dir), L"D:P(A;OICI;FA;;;" + saver + L")(A;OICI;FR;;;WD)");
    const fs::path module = Folder(dir) / L"module.bin";
    WriteBytes(module, Awkward(3));
    const std::wstring folders = Access(module);
    SetAccess(module, L"D:P(A;;FA;;;" + saver + L")");
    ASSERT_NE(Access(module), folders) << "the folder passes on no more than the module has";

    const auto primitives = MakePlatformPrimitives();
    SaveTarget target;
    ASSERT_TRUE(primitives->inspect(module, target).ok());
    Scratch copy = kNoScratch;
    const Status made = primitives->createScratch(target.folder, BackupPrefix(L"module.bin"), false, target.file, copy);
    ASSERT_TRUE(made.ok()) << made.reason;
    fs::path kept;
    EXPECT_TRUE(primitives->keep(copy, kept).ok());
    primitives->discard(copy);
    // Wine keeps no descriptor of its own but the file's Unix mode, and
    // reads it back as such: there the folder's read for everyone is what
    // the copy must not have.
    EXPECT_EQ(Access(kept), Access(module)) << Narrow(folders);
}

TEST(FileLayer, RefusesDevicesAndFoldersWithoutTouchingThem)
{
    ScratchDir dir;
    const std::wstring devices[] = {L"NUL", L"con", L"nul.bin", L"Aux .txt", L"COM1", L"lpt9.bin",
                                    L"CONOUT$", L"\\\\.\\NUL", L"\\\\.\\C:", L"\\\\.\\PhysicalDrive0",
                                    L"\\\\.\\pipe\\zentab", L"//./nul", L"\\\\?\\GLOBALROOT\\Device\\Null"};
    for (const std::wstring& device : devices) {
        const fs::path path = device == L"nul.bin" ? Folder(dir) / device : fs::path(device);
        const std::string shown = DisplayPath(path);
        SCOPED_TRACE(shown);
        EXPECT_EQ(ErrorOf([&] { ReadWholeFile(path, 1 << 20); }),
                  "Cannot open file \"" + shown + "\". Not a regular file");
        EXPECT_EQ(ErrorOf([&] { WriteWholeFile(path, {1, 2}); }),
                  "Cannot create file \"" + shown + "\". Not a regular file; only a module file is ever written");
        EXPECT_FALSE(TryReadWholeFile(path, 1 << 20));
    }
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(Folder(dir), 1 << 20); }),
              "Cannot open file \"" + (dir / "") + "\". Is a directory");
    EXPECT_EQ(ErrorOf([&] { WriteWholeFile(Folder(dir), {1}); }),
              "Cannot create file \"" + (dir / "") + "\". Is a directory");
    EXPECT_EQ(Entries(Folder(dir)), 0u);
}

TEST(FileLayer, ReadIsBoundedBeforeAnyByteIsTaken)
{
    ScratchDir dir;
    const fs::path path = Folder(dir) / "large.bin";
    WriteBytes(path, Bytes(2 << 20, 0));
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(path, 1 << 20); }),
              "Cannot open file \"" + (dir / "large.bin") +
                  "\". The file is larger than 1 MiB; a model-list module is never that large.");
}

// --- Other programs: the same executable started again with one helper
// test, which finds its file in an environment variable.

constexpr wchar_t kHelperVariable[] = L"ZENTAB_TEST_HELPER_FILE";

fs::path HelperFile()
{
    wchar_t value[32768];
    const DWORD length = ::GetEnvironmentVariableW(kHelperVariable, value, 32768);
    return length == 0 || length >= 32768 ? fs::path() : fs::path(std::wstring(value, length));
}

// Starts the helper test on file; its own test report goes nowhere.
PROCESS_INFORMATION StartHelper(const char* test, const fs::path& file)
{
    PROCESS_INFORMATION child {};
    wchar_t self[MAX_PATH];
    if (::GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) {
        ADD_FAILURE() << "no path of the test program";
        return child;
    }
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=FileLayerHelper.";
    for (const char* c = test; *c; ++c)
        command += static_cast<wchar_t>(*c);
    SECURITY_ATTRIBUTES inherit {sizeof inherit, nullptr, TRUE};
    const HANDLE quiet = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = quiet;
    ::SetEnvironmentVariableW(kHelperVariable, file.c_str());
    if (!::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
        ADD_FAILURE() << "cannot start the helper, error " << ::GetLastError();
    ::SetEnvironmentVariableW(kHelperVariable, nullptr);
    ::CloseHandle(quiet);
    return child;
}

DWORD EndOf(PROCESS_INFORMATION& child)
{
    DWORD status = 1;
    EXPECT_EQ(::WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0);
    ::GetExitCodeProcess(child.hProcess, &status);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    return status;
}

bool WaitFor(const fs::path& file)
{
    for (int i = 0; i < 3000 && !fs::exists(file); ++i)
        ::Sleep(10);
    return fs::exists(file);
}

TEST(FileLayerHelper, HoldsAFileOpenForWritingUntilReleased)
{
    const fs::path path = HelperFile();
    if (path.empty())
        GTEST_SKIP() << "runs only as the helper process of Save.RefusesAFileAnotherProgramHoldsOpen";
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    WriteBytes(fs::path(path.native() + L".held"), {});
    WaitFor(fs::path(path.native() + L".release"));
    ::CloseHandle(file);
}

TEST(Save, RefusesAFileAnotherProgramHoldsOpen)
{
    ScratchDir dir;
    const fs::path folder = Folder(dir) / "modules";
    fs::create_directory(folder);
    const fs::path path = folder / "module.bin";
    WriteBytes(path, Bytes(50, 9));
    PROCESS_INFORMATION child = StartHelper("HoldsAFileOpenForWritingUntilReleased", path);
    ASSERT_NE(child.hProcess, nullptr);
    const fs::path held(path.native() + L".held");
    if (!WaitFor(held)) {
        ::TerminateProcess(child.hProcess, 1);
        EndOf(child);
        FAIL() << "the helper never opened the file";
    }
    fs::remove(held);

    const std::string shown = DisplayPath(path);
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(path, 1 << 20); }),
              "Cannot open file \"" + shown + "\". The file is in use by another program");
    EXPECT_EQ(ErrorOf([&] { WriteWholeFile(path, Bytes(60, 1)); }),
              "Cannot create file \"" + shown + "\". The file is in use by another program");
    EXPECT_EQ(Entries(folder), 1u);

    const fs::path release(path.native() + L".release");
    WriteBytes(release, {});
    EXPECT_EQ(EndOf(child), 0u);
    fs::remove(release);
    EXPECT_EQ(ReadWholeFile(path, 1 << 20), Bytes(50, 9));
}

Bytes Large(std::uint8_t seed) { return Bytes(std::size_t{24} << 20, seed); }

TEST(FileLayerHelper, SavesOverAFileUntilKilled)
{
    const fs::path path = HelperFile();
    if (path.empty())
        GTEST_SKIP() << "runs only as the helper process of Save.AKilledSaveLeavesOneWholeModuleAndNothingElse";
    for (std::uint8_t round = 1;; ++round)
        WriteWholeFile(path, Large(round % 2 ? 0xB1 : 0xB2));
}

TEST(Save, AKilledSaveLeavesOneWholeModuleAndNothingElse)
{
    ScratchDir dir;
    const fs::path folder = Folder(dir);
    const fs::path path = folder / "module.bin";
    WriteBytes(path, Large(0xB2));
    for (const DWORD delay : {150u, 400u, 900u}) {
        SCOPED_TRACE(delay);
        PROCESS_INFORMATION child = StartHelper("SavesOverAFileUntilKilled", path);
        ASSERT_NE(child.hProcess, nullptr);
        ::Sleep(delay);
        ::TerminateProcess(child.hProcess, 9);
        EXPECT_EQ(EndOf(child), 9u);
        // The system removes a file marked for deletion as it closes the
        // ended program's handles, which may come just after its end.
        for (int i = 0; i < 200 && Entries(folder) != 1; ++i)
            ::Sleep(10);
        EXPECT_EQ(Entries(folder), 1u);
        const Bytes left = ReadWholeFile(path, 64 << 20);
        EXPECT_TRUE(left == Large(0xB1) || left == Large(0xB2));
    }
}

}  // namespace
}  // namespace zentab
