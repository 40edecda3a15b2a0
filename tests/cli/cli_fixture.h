#pragma once
// What every CLI test needs: a temp dir of its own, modules written into it,
// and the built zentab run with a deadline.

#include "module_builder.h"
#include "process_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace zentab::testkit {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Outcome = ProcessResult;

// A path as an argument of the tool: its bytes on POSIX, UTF-8 on Windows.
inline std::string Argument(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// The names in a folder, sorted.
inline std::vector<std::string> FilesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(Argument(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

class CliFixture : public ::testing::Test {
protected:
    CliFixture()
    {
        std::random_device random;
        do
            dir_ = fs::temp_directory_path() / ("zentab-cli-" + std::to_string(random()));
        while (!fs::create_directory(dir_));
    }
    ~CliFixture() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string path(const std::string& name) const { return Argument(dir_ / fs::path(std::u8string(name.begin(), name.end()))); }
    std::string write(const std::string& name, const Bytes& bytes)
    {
        WriteFileBytes(path(name), bytes);
        return path(name);
    }

    // With a deadline, so that a hang fails the test instead of stalling the run.
    Outcome run(const std::vector<std::string>& args, const StandardOutput& output = StandardOutput::captured())
    {
        Outcome outcome = RunProcess(ZENTAB_CLI_PATH, args, output, std::chrono::seconds(10));
        if (outcome.timedOut)
            ADD_FAILURE() << "zentab did not finish within 10 s";
        return outcome;
    }

    fs::path dir_;
};

}  // namespace zentab::testkit
