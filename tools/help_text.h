#pragma once
// Everything the tool says about itself, in one place: "zentab help",
// "zentab COMMAND --help" and the man page (made from these tables at build
// time by make_man) print the same words, and a command can only take the
// options listed here.

#include <string>
#include <vector>

namespace zentab::cli {

struct OptionHelp {
    const char* name;      // "format", or "o" for -o
    const char* argument;  // "F", or "" for a flag
    const char* text;
};

struct CommandHelp {
    const char* name;
    const char* synopsis;  // after "zentab "
    const char* summary;   // one paragraph
    std::vector<OptionHelp> options;
    // Further paragraphs, separated by blank lines; a line that begins with
    // two blanks is printed as it is (examples, lists).
    const char* details;
};

// Every command, in the order the usage lists them (help and version last).
const std::vector<CommandHelp>& Commands();
// nullptr for a name that is no command.
const CommandHelp* FindHelp(const std::string& name);

// "zentab help": the commands, the exit statuses.
std::string GeneralHelp();
// "zentab COMMAND --help".
std::string CommandHelpText(const CommandHelp& command);
// The whole man page, in roff.
std::string ManPage(const std::string& version);

// The exit statuses, one table for every command.
extern const char kExitStatusText[];

}  // namespace zentab::cli
