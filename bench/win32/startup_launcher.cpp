// Start-up benchmark: each program is started N times, and the time from
// CreateProcess to its first painted window (the process idle with a
// visible window) is taken; prints the median of each and their ratio.
// With --open, each is started with the module as its argument, as Open
// with does, and waited for until its window is idle with the module's name
// in its title: for the editor, the module loaded and its lists painted.
//   startup_launcher N [--open MODULE] PROGRAM...

#include "windows_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    const std::wstring& titlePart;
    HWND found;
};

BOOL CALLBACK Visible(HWND hwnd, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr) {
        wchar_t title[512] = {};
        GetWindowTextW(hwnd, title, 512);
        if (std::wstring(title).find(search->titlePart) != std::wstring::npos) {
            search->found = hwnd;
            return FALSE;
        }
    }
    return TRUE;
}

// Milliseconds to the first painted window; negative on failure.
double StartOnce(const std::wstring& program, const std::wstring& module)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!module.empty())
        commandLine += L" \"" + module + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    WaitForInputIdle(process.hProcess, 30000);
    const std::wstring name = module.substr(module.find_last_of(L"\\/") + 1);
    Search search = {process.dwProcessId, name, nullptr};
    for (int i = 0; i < 3000 && !search.found; ++i) {
        EnumWindows(Visible, LPARAM(&search));
        if (!search.found)
            Sleep(1);
    }
    QueryPerformanceCounter(&end);
    if (search.found)
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return search.found ? double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart) : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring module;
    int first = 2;
    if (argc > 3 && std::wstring(argv[2]) == L"--open") {
        module = argv[3];
        first = 4;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: startup_launcher N [--open MODULE] PROGRAM...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    std::vector<double> medians;
    for (int p = first; p < argc; ++p) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const double ms = StartOnce(argv[p], module);
            if (ms < 0) {
                std::fprintf(stderr, "%s: no window\n", zentab::Narrow(argv[p]).c_str());
                return 1;
            }
            times.push_back(ms);
        }
        std::sort(times.begin(), times.end());
        medians.push_back(times[times.size() / 2]);
        std::printf("%s: median %.0f ms of %d (%.0f to %.0f)\n",
                    zentab::Narrow(std::wstring(argv[p]).substr(std::wstring(argv[p]).find_last_of(L"\\/") + 1)).c_str(),
                    medians.back(), runs, times.front(), times.back());
    }
    if (medians.size() == 2)
        std::printf("ratio: %.2f\n", medians[0] / medians[1]);
    return 0;
}
