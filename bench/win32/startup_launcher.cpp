// Start-up benchmark: each program is started N times, and the time from
// CreateProcess to its first painted window (the process idle with a
// visible window) is taken; prints the median of each and their ratio.
//   startup_launcher N PROGRAM...

#include "windows_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK Visible(HWND hwnd, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds to the first painted window; negative on failure.
double StartOnce(const std::wstring& program)
{
    std::wstring commandLine = L"\"" + program + L"\"";
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
    Search search = {process.dwProcessId, nullptr};
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
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_launcher N PROGRAM...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    std::vector<double> medians;
    for (int p = 2; p < argc; ++p) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const double ms = StartOnce(argv[p]);
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
