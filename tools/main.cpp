// zentab: the model-list editor's module work from a shell, for scripts and
// for checking a module without the window.

#include "cli_errors.h"
#include "commands.h"
#include "errors.h"
#include "file_layer.h"
#include "help_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
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
using zentab::PlatformError;
using zentab::WriteStandardOutput;

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
        if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h"))
            return Dispatch({arguments[0], "help", "help"});
        if (words.empty()) {
            std::fputs(GeneralHelp().c_str(), stdout);
            return kExitDone;
        }
        if (words.size() > 1)
            throw UsageError("help describes one COMMAND; unexpected \"" + words[1] + "\"");
        const CommandHelp* help = FindHelp(words.front());
        if (!help)
            throw UsageError("unknown command \"" + words.front() + "\"");
        std::fputs(CommandHelpText(*help).c_str(), stdout);
        return kExitDone;
    }
    if (command == "version" && words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) {
        std::fputs(CommandHelpText(*FindHelp("version")).c_str(), stdout);
        return kExitDone;
    }
    if (command == "version" || command == "--version") {
        if (!words.empty())
            throw UsageError("version takes nothing; unexpected \"" + words[0] + "\"");
        std::fputs("zentab " ZENTAB_VERSION "\n", stdout);
        return kExitDone;
    }
    throw UsageError("unknown command \"" + command + "\"");
}

// A reader that went away (zentab show m.bin | head -1) ends the tool
// quietly with the status a shell gives a tool killed by SIGPIPE, as cat's
// would be; SIGPIPE itself is ignored so that a save can clean up.
constexpr int kExitReaderGone = 141;

bool IsBrokenPipe(const std::string& message)
{
    // The file layer's text for EPIPE, and for ERROR_BROKEN_PIPE and ERROR_NO_DATA on Windows.
    return message == "Cannot write to standard output. Broken pipe";
}

// What a command printed must have arrived: a report lost to a full disk is
// a failure, as a lost module is.
int CheckStandardOutput(int status, int failure, bool succeeded)
{
    // A write that failed earlier, through std::cout, left its errno.
    const int earlier = errno;
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good())
        return status;
    if (errno == 0)
        errno = earlier;
    const int error = errno;
    // The C runtime on Windows reports a closed pipe as EINVAL; one byte
    // through the file layer, which names it exactly there, tells.
    bool readerGone = error == EPIPE;
    if (!readerGone) {
        try {
            WriteStandardOutput({'\n'});
        } catch (const PlatformError& probe) {
            readerGone = IsBrokenPipe(probe.what());
        }
    }
    // An error's own status stands; only what was done ends as the reader's.
    if (readerGone)
        return succeeded ? kExitReaderGone : status;
    errno = error;
    std::cerr << "zentab: Cannot write to standard output."
              << (errno != 0 ? std::string(" ") + std::strerror(errno) : std::string()) << '\n';
    return failure;
}

// The commands that print JSON print their errors as JSON too, so that a
// script reading standard output always gets an object.
bool WantsJson(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2 || !FindHelp(arguments[1]))
        return false;
    for (std::size_t i = 2; i < arguments.size() && arguments[i] != "--"; ++i)
        if (arguments[i] == "--json")
            return true;
    return false;
}

int Fail(const std::vector<std::string>& arguments, const std::string& message, int status)
{
    if (IsBrokenPipe(message))
        return kExitReaderGone;
    std::cerr << "zentab: " << message << '\n';
    if (WantsJson(arguments)) {
        const nlohmann::json object{{"error", message}, {"status", status}};
        std::cout << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        std::cout.flush();
    }
    return status;
}

}  // namespace

int main(int argc, char* argv[])
{
    zentab::InstallInterruptCleanup();
    const std::vector<std::string> arguments = zentab::CommandLineArguments(argc, argv);
    // diff answers 1 for "different", so its own failures are 2.
    const bool diff = arguments.size() >= 2 && arguments[1] == "diff";
    const int refused = diff ? kExitTrouble : kExitRefused;
    int status = refused;
    bool succeeded = false;
    try {
        status = Dispatch(arguments);
        succeeded = true;
    } catch (const UsageError& error) {
        status = Fail(arguments, error.what(), kExitUsage);
        if (status == kExitUsage) {
            if (arguments.size() < 2)
                std::cerr << '\n' << GeneralHelp();
            else
                std::cerr << "Run \"zentab help\" for the commands, \"zentab COMMAND --help\" for one of them.\n";
        }
    } catch (const std::bad_alloc&) {
        status = Fail(arguments, "out of memory", refused);
    } catch (const std::exception& error) {
        // Refusals, platform errors and everything else the commands raise.
        status = Fail(arguments, error.what(), refused);
    }
    return CheckStandardOutput(status, diff ? kExitTrouble : std::max(status, kExitRefused), succeeded);
}
