// The file layer on Windows: reading a module, standard output, the wide
// command line, and the entry point of a save (the policy is
// save_policy.cpp, its steps save_primitives_windows.cpp).
//
// Names are wide (UTF-16) from the caller to the system; files are read and
// written as bytes, never through a text mode. Ctrl+C, Ctrl+Break and the
// console closing wait for a running save to end before the program does,
// so neither a temporary nor a half-written module stays behind.

#include "file_layer.h"

#include "errors.h"
#include "save_policy.h"
#include "windows_io.h"
#include "windows_text.h"

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdio>

namespace zentab {

namespace fs = std::filesystem;

namespace {

// --- Console events: a save that has begun ends before the program does.

std::atomic<int> gSavesRunning{0};
std::atomic<bool> gStopping{false};

BOOL WINAPI OnConsoleEvent(DWORD)
{
    gStopping = true;
    while (gSavesRunning.load() > 0)
        ::Sleep(5);
    return FALSE;  // on to the default handler, which ends the program
}

class SaveSection {
public:
    SaveSection()
    {
        ++gSavesRunning;
        if (gStopping) {
            // The program is being ended; a save begun now would be cut off.
            --gSavesRunning;
            ::Sleep(INFINITE);
        }
    }
    ~SaveSection() { --gSavesRunning; }
    SaveSection(const SaveSection&) = delete;
    SaveSection& operator=(const SaveSection&) = delete;
};

// Standard output and error carry bytes, as on Linux: no "\r" added before
// "\n"; a console shows the UTF-8 file names as letters.
void UseBinaryStandardStreams()
{
    static const bool done = [] {
        ::_setmode(::_fileno(stdout), _O_BINARY);
        ::_setmode(::_fileno(stderr), _O_BINARY);
        ::SetConsoleOutputCP(CP_UTF8);
        return true;
    }();
    (void)done;
}

// --- Plain handle work; each returns 0 or a system error code.
}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path, std::int64_t maxSize)
{
    const std::string shown = DisplayPath(path);
    if (IsDeviceName(path))
        ThrowCannotOpen(shown, "Not a regular file");
    // Others may read the module while it is loaded, but not change it.
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid())
        ThrowCannotOpen(shown, Reason(::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info {};
    const Kind kind = KindOf(file.get(), info);
    if (kind == Kind::kFolder)
        ThrowCannotOpen(shown, Reason(ERROR_DIRECTORY));
    if (kind != Kind::kFile)
        ThrowCannotOpen(shown, "Not a regular file");
    const std::int64_t size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > maxSize)
        ThrowCannotOpen(shown, TooLarge(maxSize));

    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            ThrowCannotOpen(shown, Reason(::GetLastError()));
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
    const SaveSection section;
    return SaveWholeFile(*MakePlatformPrimitives(), path, bytes);
}

void WriteStandardOutput(const std::vector<std::uint8_t>& bytes)
{
    std::fflush(stdout);
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        throw PlatformError("Cannot write to standard output. " + Reason(ERROR_INVALID_HANDLE));
    if (DWORD error = WriteAll(out, bytes.data(), bytes.size()))
        throw PlatformError("Cannot write to standard output. " + Reason(error));
}

std::string DisplayPath(const fs::path& path) { return Narrow(path.native()); }

void InstallInterruptCleanup()
{
    UseBinaryStandardStreams();
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    UseBinaryStandardStreams();
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

fs::path PathFromArgument(const std::string& argument) { return fs::path(Widen(argument)); }

}  // namespace zentab
