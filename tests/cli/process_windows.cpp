// The Windows side of the process runner: CreateProcessW with the command
// line quoted as the C runtime splits it, and the arguments converted from
// UTF-8, so that file names in any script reach the tool unchanged.

#include "process_runner.h"

#include <windows.h>

#include <stdexcept>
#include <thread>

namespace zentab::testkit {

const bool kFileNamesAreBytes = false;

namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                           nullptr, 0);
    if (size <= 0)
        throw std::runtime_error("argument is not UTF-8: " + utf8);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

// Quoting as CommandLineToArgvW and the C runtime undo it: backslashes are
// literal unless they precede a quote.
void AppendQuoted(std::wstring& line, const std::wstring& argument)
{
    if (!line.empty())
        line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

void Check(BOOL ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed, error " + std::to_string(::GetLastError()));
}

void ReadAll(HANDLE pipe, std::string* sink)
{
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        sink->append(buffer, got);
    ::CloseHandle(pipe);
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const StandardOutput& output, std::chrono::milliseconds deadline)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE errRead = nullptr;
    HANDLE errWrite = nullptr;
    Check(::CreatePipe(&errRead, &errWrite, &inherit, 0), "CreatePipe");
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE outRead = nullptr;
    HANDLE outWrite = nullptr;
    if (output.kind == StandardOutput::File) {
        outWrite = ::CreateFileW(Wide(output.file).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Check(outWrite != INVALID_HANDLE_VALUE, "CreateFileW");
    } else {
        Check(::CreatePipe(&outRead, &outWrite, &inherit, 0), "CreatePipe");
        ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        if (output.kind == StandardOutput::ClosedPipe) {
            ::CloseHandle(outRead);
            outRead = nullptr;
        }
    }
    HANDLE input = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);

    const std::wstring application = Wide(program);
    std::wstring line;
    AppendQuoted(line, application);
    for (const std::string& argument : arguments)
        AppendQuoted(line, Wide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    // Wine under load now and then fails a start with an internal error
    // (1359) that a second try does not meet; a real failure repeats.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0)
            ::Sleep(200);
        started = ::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                   nullptr, nullptr, &startup, &process);
        if (!started && ::GetLastError() != ERROR_INTERNAL_ERROR)
            break;
    }
    ::CloseHandle(input);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    if (!started) {
        ::CloseHandle(errRead);
        if (outRead)
            ::CloseHandle(outRead);
        Check(FALSE, "CreateProcessW");
    }

    ProcessResult result;
    std::thread outReader;
    if (outRead)
        outReader = std::thread(ReadAll, outRead, &result.out);
    std::thread errReader(ReadAll, errRead, &result.err);
    if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0) {
        result.timedOut = true;
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, INFINITE);
    }
    if (outReader.joinable())
        outReader.join();
    errReader.join();
    DWORD code = 0;
    if (!result.timedOut && ::GetExitCodeProcess(process.hProcess, &code))
        result.status = static_cast<int>(code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return result;
}

}  // namespace zentab::testkit
