#include "command_args.h"

#include "cli_errors.h"
#include "file_layer.h"
#include "int_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zentab::cli {

CommandArguments::CommandArguments(const char* usage) : usage_(usage)
{
    // Help is ours, printed with the command's own usage text.
    app_.set_help_flag();
    // The positional words arrive after "--" and are collected as extras.
    app_.allow_extras();
    add({"h", "help"}, false);
}

void CommandArguments::add(const std::vector<std::string>& names, bool takesValue)
{
    // One long name per option: canonicalWords spells every option that way.
    CLI::Option* option = takesValue ? app_.add_option("--" + names.back())
                                           ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                                     : app_.add_flag("--" + names.back());
    for (const std::string& name : names)
        spellings_.push_back({name, option, takesValue});
}

void CommandArguments::addFlag(const std::string& name) { add({name}, false); }

void CommandArguments::addValue(const std::string& name) { add({name}, true); }

void CommandArguments::addOutput() { add({"o", "output"}, true); }

std::string CommandArguments::OptionName(const std::string& name)
{
    // The one-letter options have a long name too; both are named.
    if (name == "o")
        return "-o (--output)";
    return "--" + name;
}

const CommandArguments::Spelling* CommandArguments::find(const std::string& name) const
{
    for (const Spelling& spelling : spellings_)
        if (spelling.name == name)
            return &spelling;
    return nullptr;
}

// Scripts written for the tool rely on how it has always read its words:
// "--name=value" and "-oOUT" or "-o=OUT" forms, an empty "--divider=", bundled
// short flags, "-5" as an unknown option rather than a number, "--" ending
// the options, and these very messages. CLI11 reads some of those forms
// otherwise, so the words are checked here and handed to it in one
// unambiguous spelling: "--long value" pairs, then "--", then the rest.
std::vector<std::string> CommandArguments::canonicalWords(const std::vector<std::string>& words) const
{
    std::vector<std::string> options;
    std::vector<std::string> rest;
    std::vector<std::string> unknown;
    std::string error;
    auto put = [&](const Spelling& spelling, const std::string* value) {
        options.push_back("--" + spelling.option->get_lnames().front());
        if (value)
            options.push_back(*value);
    };
    // The value of an option that did not carry one in its own word.
    auto takeNext = [&](const Spelling& spelling, std::size_t& i) {
        if (i + 1 == words.size())
            error = "Missing value after '" + words[i] + "'.";
        else
            put(spelling, &words[++i]);
    };

    bool onlyPositional = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (onlyPositional || word.size() < 2 || word[0] != '-') {
            rest.push_back(word);
        } else if (word == "--") {
            onlyPositional = true;
        } else if (word[1] == '-') {
            const std::size_t assign = word.find('=');
            const std::string name = word.substr(2, assign == std::string::npos ? std::string::npos : assign - 2);
            const Spelling* spelling = find(name);
            if (!spelling) {
                unknown.push_back(name);
            } else if (!spelling->takesValue) {
                if (assign != std::string::npos)
                    error = "Unexpected value after '" + word.substr(0, assign) + "'.";
                else
                    put(*spelling, nullptr);
            } else if (assign != std::string::npos) {
                const std::string value = word.substr(assign + 1);
                put(*spelling, &value);
            } else {
                takeNext(*spelling, i);
            }
        } else {
            // Bundled short options; one that takes a value ends the bundle,
            // the rest of the word (after an optional "=") being its value.
            for (std::size_t at = 1; at < word.size(); ++at) {
                const Spelling* spelling = find(word.substr(at, 1));
                if (!spelling) {
                    unknown.push_back(word.substr(at, 1));
                } else if (spelling->takesValue) {
                    if (at + 1 == word.size()) {
                        takeNext(*spelling, i);
                    } else {
                        const std::string value = word.substr(word[at + 1] == '=' ? at + 2 : at + 1);
                        put(*spelling, &value);
                    }
                    break;
                } else {
                    put(*spelling, nullptr);
                    if (at + 1 < word.size() && word[at + 1] == '=') {
                        error = "Unexpected value after '" + word.substr(0, at + 1) + "'.";
                        break;
                    }
                }
            }
        }
    }
    if (!error.empty())
        throw UsageError(error);
    if (unknown.size() == 1)
        throw UsageError("Unknown option '" + unknown.front() + "'.");
    if (!unknown.empty()) {
        std::string names;
        for (const std::string& name : unknown)
            names += (names.empty() ? "" : ", ") + name;
        throw UsageError("Unknown options: " + names + ".");
    }
    options.push_back("--");
    options.insert(options.end(), rest.begin(), rest.end());
    return options;
}

bool CommandArguments::parse(const std::vector<std::string>& words)
{
    std::vector<std::string> reversed = canonicalWords(words);
    std::reverse(reversed.begin(), reversed.end());
    try {
        app_.parse(reversed);
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    positional_ = app_.remaining();
    // The "--" canonicalWords put in front of them.
    positional_.erase(positional_.begin());
    if (isSet("help")) {
        std::fputs(usage_, stdout);
        return false;
    }
    return true;
}

bool CommandArguments::isSet(const std::string& name) const
{
    const Spelling* spelling = find(name);
    return spelling && spelling->option->count() > 0;
}

std::optional<std::string> CommandArguments::value(const std::string& name) const
{
    const std::vector<std::string>& values = find(name)->option->results();
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

int ParseIndex(const std::string& text, const char* option, int first, int last)
{
    // Decimal digits only: "x3" is hexadecimal to the number rules, never a row.
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    const auto number = digits ? ParseInt64(text) : std::nullopt;
    if (!number || *number < first || *number > last)
        throw UsageError(std::string(option) + " must be a number from " + std::to_string(first) + " to " +
                         std::to_string(last) + ", not \"" + text + "\"");
    return static_cast<int>(*number);
}

std::int32_t OptionInt32(const std::string& text, const char* option, std::int32_t whenEmpty)
{
    if (text.empty())
        return whenEmpty;
    const auto number = ParseInt64(text);
    if (!number || *number < INT32_MIN || *number > INT32_MAX)
        throw UsageError(std::string(option) + " must be a whole number, not \"" + text + "\"");
    return static_cast<std::int32_t>(*number);
}

}  // namespace zentab::cli
