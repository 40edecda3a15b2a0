#pragma once
// Helpers shared by the file layer's tests and those above it.

#include "errors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

namespace zentab::testkit {

// Runs a statement that must fail with a platform error of exactly this text.
#define EXPECT_PLATFORM_ERROR(statement, text)                                 \
    do {                                                                       \
        try {                                                                  \
            statement;                                                         \
            ADD_FAILURE() << "no error from " #statement;                      \
        } catch (const ::zentab::PlatformError& e) {                           \
            EXPECT_EQ(std::string(e.what()), std::string(text)) << #statement; \
        }                                                                      \
    } while (0)

// A scratch folder, removed with its contents when the test ends.
class ScratchDir {
public:
    // A fresh name that only its creator can enter, as mkdtemp gives, but
    // through the standard library so that it builds for Windows too.
    ScratchDir()
    {
        static std::mt19937_64 random(std::random_device{}());
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = std::filesystem::temp_directory_path() / ("zentab-core-" + std::to_string(random() % 1000000000));
            if (std::filesystem::create_directory(path_)) {
                std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
                return;
            }
        }
        throw std::runtime_error("no fresh scratch folder");
    }
    // Never throws: a failed test may leave a file open for a moment (a
    // helper process still ending), and a throw here would end the run.
    ~ScratchDir()
    {
        std::error_code error;
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::filesystem::remove_all(path_, error);
            if (!error)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
    }

private:
    std::filesystem::path path_;
};

}  // namespace zentab::testkit
