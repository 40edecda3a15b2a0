#pragma once
// Runs a program to its end with a deadline and collects what it printed;
// one implementation per platform (process_posix.cpp, process_windows.cpp).

#include <chrono>
#include <string>
#include <vector>

namespace zentab::testkit {

struct ProcessResult {
    int status = -1;  // -1 when the program crashed, was killed or hung
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Where the program's standard output goes.
struct StandardOutput {
    enum Kind { Captured, ClosedPipe, File } kind = Captured;
    std::string file;  // for File: opened for writing, e.g. /dev/full

    static StandardOutput captured() { return {}; }
    // A pipe whose reading end is closed before the program starts.
    static StandardOutput closedPipe() { return {ClosedPipe, {}}; }
    static StandardOutput toFile(std::string path) { return {File, std::move(path)}; }
};

// Arguments are bytes on POSIX and UTF-8 on Windows. Standard input is empty.
// A program still running at the deadline is killed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const StandardOutput& output, std::chrono::milliseconds deadline);

// True where a file name may be any bytes (POSIX), false where names are
// UTF-16 (Windows).
extern const bool kFileNamesAreBytes;

}  // namespace zentab::testkit
