// zentab: the model-list editor's module work from a shell, for scripts and
// for checking a module without the window.

#include "cli_errors.h"
#include "commands.h"
#include "errors.h"
#include "file_layer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

using namespace zentab::cli;

const char kUsage[] =
    "Usage: zentab COMMAND ...\n"
    "  show [--json] FILE\n"
    "  check [--json] [--recursive] PATH...\n"
    "  fix FILE -o OUT\n"
    "  set FILE --format F --row R [--name TEXT] [--lba VALUE] -o OUT\n"
    "  auto FILE --head0 N [--divider D] [--align S] [--template T] -o OUT\n"
    "  diff [--json] A B\n"
    "  export [--csv | --json] FILE\n"
    "  import FILE TABLE -o OUT\n"
    "  capacity TEXT...\n"
    "  version\n"
    "zentab help COMMAND (or zentab COMMAND --help) describes one command.\n"
    "Exit status: 0 done, 1 module refused or file error (nothing written), 2 wrong command line;\n"
    "check and diff say in their help what theirs mean.\n";

using Command = int (*)(const std::vector<std::string>&);

Command FindCommand(const std::string& name)
{
    static const struct {
        const char* name;
        Command run;
    } commands[] = {
        {"show", RunShow}, {"check", RunCheck},   {"fix", RunFix},       {"set", RunSet},
        {"auto", RunAuto}, {"diff", RunDiff},     {"export", RunExport}, {"import", RunImport},
        {"capacity", RunCapacity},
    };
    for (const auto& command : commands)
        if (name == command.name)
            return command.run;
    return nullptr;
}

int Dispatch(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2)
        throw UsageError("missing COMMAND");
    const std::string& command = arguments[1];
    const std::vector<std::string> words(arguments.begin() + 2, arguments.end());
    if (const Command run = FindCommand(command))
        return run(words);
    if (command == "help" || command == "--help" || command == "-h") {
        if (words.empty()) {
            std::fputs(kUsage, stdout);
            return kExitDone;
        }
        if (words.size() > 1)
            throw UsageError("help describes one COMMAND; unexpected \"" + words[1] + "\"");
        if (words.front() == "version" || words.front() == "help") {
            std::fputs(kUsage, stdout);
            return kExitDone;
        }
        const Command run = FindCommand(words.front());
        if (!run)
            throw UsageError("unknown command \"" + words.front() + "\"");
        // Each command prints its own usage for --help and does nothing more.
        return run({"--help"});
    }
    if (command == "version" || command == "--version") {
        std::fputs("zentab " ZENTAB_VERSION "\n", stdout);
        return kExitDone;
    }
    throw UsageError("unknown command \"" + command + "\"");
}

// What a command printed must have arrived: a report lost to a full disk or
// a closed pipe is a failure, as a lost module is.
int CheckStandardOutput(int status, int failure)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good())
        return status;
    std::cerr << "zentab: Cannot write to standard output."
              << (errno != 0 ? std::string(" ") + std::strerror(errno) : std::string()) << '\n';
    return failure;
}

}  // namespace

int main(int argc, char* argv[])
{
    zentab::InstallInterruptCleanup();
    const std::vector<std::string> arguments = zentab::CommandLineArguments(argc, argv);
    try {
        // diff answers 1 for "different", so its own failures are 2.
        const bool diff = arguments.size() >= 2 && arguments[1] == "diff";
        return CheckStandardOutput(Dispatch(arguments), diff ? kExitTrouble : kExitRefused);
    } catch (const UsageError& error) {
        std::cerr << "zentab: " << error.what() << '\n';
        if (arguments.size() < 2)
            std::cerr << '\n' << kUsage;
        else
            std::cerr << "Run \"zentab help\" for the commands, \"zentab COMMAND --help\" for one of them.\n";
        return kExitUsage;
    } catch (const Refusal& error) {
        std::cerr << "zentab: " << error.what() << '\n';
    } catch (const zentab::PlatformError& error) {
        std::cerr << "zentab: " << error.what() << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "zentab: out of memory\n";
    } catch (const std::exception& error) {
        std::cerr << "zentab: " << error.what() << '\n';
    }
    return kExitRefused;
}
