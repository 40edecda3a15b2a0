#pragma once
// The command line of one command: its options, its FILE and its -o OUT.
// Every mistake here is a UsageError, found before any file is opened.

#include <CLI/CLI.hpp>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zentab::cli {

class CommandArguments {
public:
    // usage is printed, as it is, for --help.
    explicit CommandArguments(const char* usage);

    void addFlag(const std::string& name);
    void addValue(const std::string& name);
    // -o and --output.
    void addOutput();
    // Two flags of which at most one may be given.
    void exclude(const std::string& first, const std::string& second);

    // Parses the words after the command's name. False when --help was
    // given: the usage has been printed and the command has nothing to do.
    bool parse(const std::vector<std::string>& words);

    bool isSet(const std::string& name) const;
    // The option's text; nullopt when it is absent, UsageError when given twice.
    std::optional<std::string> value(const std::string& name) const;

    const std::vector<std::string>& positional() const { return positional_; }
    // The one FILE the command works on.
    std::filesystem::path inputFile() const;
    // The -o OUT every writing command needs; "-" stands for standard output.
    std::filesystem::path outputFile() const;

private:
    // "o" as "-o", "json" as "--json".
    static std::string Spelled(const std::string& name);
    const CLI::Option* option(const std::string& name) const;
    std::vector<std::string> wordsForCli(const std::vector<std::string>& words) const;
    [[noreturn]] void throwUsage(const CLI::ParseError& error, const std::vector<std::string>& words) const;
    static std::string OptionName(const std::string& name);

    const char* usage_;
    CLI::App app_;
    std::vector<std::string> positional_;
};

// A whole decimal number in first..last, or UsageError naming the option.
int ParseIndex(const std::string& text, const char* option, int first, int last);

// A signed 32-bit number in the number rules' spellings (decimal, or hex
// after "$", "x" or "0x"); whenEmpty for empty text; UsageError naming the
// option for anything else.
std::int32_t OptionInt32(const std::string& text, const char* option, std::int32_t whenEmpty);

}  // namespace zentab::cli
