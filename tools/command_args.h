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

struct CommandHelp;

class CommandArguments {
public:
    // The command's help (help_text.h) is printed for --help; only the
    // options it lists can be added.
    explicit CommandArguments(const char* command);

    void addFlag(const std::string& name);
    void addValue(const std::string& name);
    // -o and --output.
    void addOutput();
    // Two flags of which at most one may be given.
    void exclude(const std::string& first, const std::string& second);
    // Words such as "-5" are TEXT, not options (capacity).
    void takeNegativeNumbers() { negativeNumbers_ = true; }

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
    void checkDocumented(const std::string& name) const;

    const CommandHelp* help_;
    bool negativeNumbers_ = false;
    CLI::App app_;
    std::vector<std::string> positional_;
};

// What a usage error says of an option: "--divider: a number of 1 or more, not "0"".
[[noreturn]] void ThrowOptionError(const char* option, const std::string& takes, const std::string& text);

// A whole decimal number in first..last, or UsageError naming the option.
int ParseIndex(const std::string& text, const char* option, int first, int last);

// A 32-bit number of 1 or more in the number rules' spellings (decimal, or
// hex after "$", "x" or "0x"); UsageError naming the option for anything
// else, an empty text, 0 and negative numbers included.
std::int32_t PositiveInt32(const std::string& text, const char* option);

}  // namespace zentab::cli
