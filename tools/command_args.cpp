#include "command_args.h"

#include "cli_errors.h"
#include "file_layer.h"
#include "help_text.h"
#include "int_text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace zentab::cli {

CommandArguments::CommandArguments(const char* command) : help_(FindHelp(command))
{
    if (!help_)
        throw std::logic_error(std::string("no help for the command ") + command);
    // Help is ours, printed with the command's own usage text.
    app_.set_help_flag();
    // Unknown options are collected and named together after the parse.
    app_.allow_extras();
    // Options are "-" and "--" on every system; on Windows "/tmp/m.bin" and
    // "/m.bin" are paths on the current drive, not switches.
    app_.allow_windows_style_options(false);
    app_.add_flag("-h,--help")->disable_flag_override();
    // FILE, PATH..., TEXT...: whatever is not an option, in order.
    app_.add_option("words", positional_);
}

// An option the help does not list would be missing from the man page too.
void CommandArguments::checkDocumented(const std::string& name) const
{
    for (const OptionHelp& option : help_->options)
        if (name == option.name)
            return;
    throw std::logic_error("the option " + Spelled(name) + " of " + help_->name + " has no help");
}

void CommandArguments::addFlag(const std::string& name)
{
    checkDocumented(name);
    // "--json=yes" is a mistake, not a way to set the flag.
    app_.add_flag("--" + name)->disable_flag_override();
}

void CommandArguments::addValue(const std::string& name)
{
    checkDocumented(name);
    // All values are kept, so that an option given twice can be named.
    app_.add_option("--" + name)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void CommandArguments::addOutput()
{
    checkDocumented("o");
    app_.add_option("-o,--output")->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void CommandArguments::exclude(const std::string& first, const std::string& second)
{
    app_.get_option(Spelled(first))->excludes(app_.get_option(Spelled(second)));
}

std::string CommandArguments::Spelled(const std::string& name) { return name.size() == 1 ? "-" + name : "--" + name; }

const CLI::Option* CommandArguments::option(const std::string& name) const { return app_.get_option(Spelled(name)); }

std::string CommandArguments::OptionName(const std::string& name)
{
    // The one-letter options have a long name too; both are named.
    if (name == "o")
        return "-o (--output)";
    return "--" + name;
}

// Scripts rely on spellings that CLI11 2.1.2 (Debian 12) reads otherwise,
// so they are rewritten before it sees them: "--divider=" with nothing after
// it (CLI11 would take the next word as the value), "-o=OUT" (CLI11 would
// keep the "=" in OUT), a value in the next word that looks like an option
// or is "--" ("--divider -3", handed on as "--divider=-3"), and "-5" before
// any "--" (a word to CLI11; an unknown option to every command but
// capacity, handed on as "--5" so that it is named with the others).
std::vector<std::string> CommandArguments::wordsForCli(const std::vector<std::string>& words) const
{
    std::vector<std::string> rewritten;
    bool onlyPositional = false;
    // True after an option that takes its value from the next word, which
    // is then that value whatever it looks like ("--lba -5").
    auto takesNext = [this](const std::string& word) {
        const CLI::Option* named = app_.get_option_no_throw(word);
        return named && named->get_items_expected_min() > 0;
    };
    bool valueNext = false;
    for (const std::string& word : words) {
        const bool isValue = valueNext;
        valueNext = !onlyPositional && !isValue && takesNext(word);
        if (isValue && word == "--") {
            // "--divider -- -3": the word after "--" is the value.
            valueNext = true;
        } else if (isValue && !word.empty() && word[0] == '-' && word != "-") {
            // Joined to its option, so that CLI11 cannot take it for one.
            std::string& option = rewritten.back();
            option += (option.size() == 2 ? "" : "=") + word;
        } else if (isValue || onlyPositional || word.size() < 2 || word[0] != '-') {
            rewritten.push_back(word);
        } else if (word == "--") {
            onlyPositional = true;
            rewritten.push_back(word);
        } else if (word[1] == '-') {
            const std::size_t assign = word.find('=');
            if (assign + 1 == word.size()) {
                rewritten.push_back(word.substr(0, assign));
                rewritten.emplace_back();
            } else {
                rewritten.push_back(word);
            }
        } else if (std::isdigit(static_cast<unsigned char>(word[1]))) {
            rewritten.push_back(negativeNumbers_ ? word : "-" + word);
        } else if (word.size() > 2 && word[2] == '=') {
            const CLI::Option* named = app_.get_option_no_throw(word.substr(0, 2));
            if (named && named->get_type_size() == 0)
                throw UsageError("Unexpected value after '" + word.substr(0, 2) + "'.");
            rewritten.push_back(word.substr(0, 2));
            rewritten.push_back(word.substr(3));
        } else {
            rewritten.push_back(word);
        }
    }
    return rewritten;
}

void CommandArguments::throwUsage(const CLI::ParseError& error, const std::vector<std::string>& words) const
{
    // The messages the tool has always given, for scripts that read them.
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        if (const std::size_t at = what.find(" was given a disallowed flag override"); at != std::string::npos)
            throw UsageError("Unexpected value after '--" + what.substr(0, at) + "'.");
        if (what.find("required") != std::string::npos && what.find("missing") != std::string::npos) {
            const std::string typed = !words.empty() && words.back().size() > 1 && words.back()[0] == '-'
                                          ? words.back()
                                          : what.substr(0, what.find(':'));
            throw UsageError("Missing value after '" + typed + "'.");
        }
    }
    throw UsageError(what);
}

bool CommandArguments::parse(const std::vector<std::string>& words)
{
    // CLI11 takes the words last first.
    std::vector<std::string> reversed = wordsForCli(words);
    std::reverse(reversed.begin(), reversed.end());
    try {
        app_.parse(reversed);
    } catch (const CLI::ParseError& error) {
        throwUsage(error, words);
    }
    std::vector<std::string> unknown;
    for (const std::string& word : app_.remaining()) {
        if (word == "--")
            continue;
        const std::size_t name = word.find_first_not_of('-');
        unknown.push_back(name == std::string::npos ? word : word.substr(name, word.find('=') - name));
    }
    if (unknown.size() == 1)
        throw UsageError("Unknown option '" + unknown.front() + "'.");
    if (!unknown.empty()) {
        std::string names;
        for (const std::string& name : unknown)
            names += (names.empty() ? "" : ", ") + name;
        throw UsageError("Unknown options: " + names + ".");
    }
    if (isSet("help")) {
        std::fputs(CommandHelpText(*help_).c_str(), stdout);
        return false;
    }
    return true;
}

bool CommandArguments::isSet(const std::string& name) const { return option(name)->count() > 0; }

std::optional<std::string> CommandArguments::value(const std::string& name) const
{
    const std::vector<std::string>& values = option(name)->results();
    if (values.empty())
        return std::nullopt;
    if (values.size() > 1)
        throw UsageError(OptionName(name) + " is given more than once");
    return values.front();
}

std::filesystem::path CommandArguments::inputFile() const
{
    if (positional_.empty())
        throw UsageError("missing FILE");
    if (positional_.size() > 1)
        throw UsageError("one FILE only; unexpected \"" + positional_[1] + "\"");
    return PathFromArgument(positional_.front());
}

std::filesystem::path CommandArguments::outputFile() const
{
    const auto out = value("o");
    if (!out || out->empty())
        throw UsageError("missing -o OUT: the module is written only to a file named on the command line");
    return PathFromArgument(*out);
}

void ThrowOptionError(const char* option, const std::string& takes, const std::string& text)
{
    throw UsageError(std::string(option) + ": " + takes + ", not \"" + text + "\"");
}

int ParseIndex(const std::string& text, const char* option, int first, int last)
{
    // Decimal digits only: "x3" is hexadecimal to the number rules, never a row.
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    const auto number = digits ? ParseInt64(text) : std::nullopt;
    if (!number || *number < first || *number > last)
        ThrowOptionError(option, "a number from " + std::to_string(first) + " to " + std::to_string(last), text);
    return static_cast<int>(*number);
}

std::int32_t PositiveInt32(const std::string& text, const char* option)
{
    const auto number = text.empty() ? std::nullopt : ParseInt64(text);
    if (!number || *number < 1 || *number > INT32_MAX)
        ThrowOptionError(option, "a number of 1 or more", text);
    return static_cast<std::int32_t>(*number);
}

}  // namespace zentab::cli
