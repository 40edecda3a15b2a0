// check: the checksum of every module in a read-out folder, in one run.
// Each file is read once; nothing is written.

#include "byte_io.h"
#include "cli_errors.h"
#include "command_args.h"
#include "commands.h"
#include "container_facts.h"
#include "file_layer.h"
#include "module_session.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace zentab::cli {

namespace {

namespace fs = std::filesystem;

struct Outcome {
    std::optional<bool> royl;  // known once the first four bytes are read
    std::optional<std::int64_t> size;
    std::optional<ContainerFacts> facts;
    std::string error;
};

Outcome CheckFile(const fs::path& path)
{
    Outcome outcome;
    try {
        const ModuleImage image = LoadModuleImage(path);
        outcome.size = image.size();
        if (image.size() >= 4)
            outcome.royl = LoadDWord(image.data()) == kRoylSignature;
        outcome.facts = ReadContainerFacts(image);
    } catch (const StreamReadError& error) {
        outcome.error = StreamReadText(error, "the module header");
    } catch (const std::exception& error) {
        outcome.error = error.what();
    }
    return outcome;
}

void PrintLine(const fs::path& path, const Outcome& outcome)
{
    std::string line = ShownPath(path) + ": ";
    if (!outcome.facts) {
        line += "error: " + outcome.error;
    } else {
        const ContainerFacts& facts = *outcome.facts;
        line += std::string(FormName(facts.royl)) + " module " + ModuleIdText(facts.moduleId, facts.royl) + ", " +
                std::to_string(facts.size) + " bytes, checksum ";
        line += facts.checksumValid() ? "OK"
                                      : "WRONG (stored " + ChecksumText(facts.checksum.stored, facts.royl) +
                                            ", computed " + ChecksumText(facts.checksum.computed, facts.royl) + ")";
    }
    std::cout << line << '\n';
}

void PrintJson(const fs::path& path, const Outcome& outcome)
{
    using nlohmann::json;
    json object{{"file", ShownPath(path)}, {"form", nullptr},     {"module_id", nullptr},
                {"size", nullptr},           {"checksum", nullptr}, {"error", nullptr}};
    if (outcome.royl)
        object["form"] = FormName(*outcome.royl);
    if (outcome.size)
        object["size"] = *outcome.size;
    if (outcome.facts) {
        const ContainerFacts& facts = *outcome.facts;
        object["module_id"] = facts.moduleId;
        object["checksum"] = json{{"stored", facts.checksum.stored},
                                  {"computed", facts.checksum.computed},
                                  {"valid", facts.checksumValid()}};
    } else {
        object["error"] = outcome.error;
    }
    // File names are bytes on Linux and need not be UTF-8; such a name is
    // printed with U+FFFD in place of its stray bytes rather than aborting.
    std::cout << object.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
}

class Checker {
public:
    Checker(bool json, bool recursive) : json_(json), recursive_(recursive) {}

    void checkArgument(const fs::path& path)
    {
        std::error_code error;
        // A folder named on the command line is read even through a link.
        if (!IsStandardStream(path) && fs::is_directory(path, error))
            checkFolder(path);
        else
            checkFile(path);
    }

    bool allValid() const { return allValid_; }
    int filesChecked() const { return files_; }

private:
    void checkFile(const fs::path& path)
    {
        const Outcome outcome = CheckFile(path);
        ++files_;
        if (!outcome.facts || !outcome.facts->checksumValid())
            allValid_ = false;
        if (json_)
            PrintJson(path, outcome);
        else
            PrintLine(path, outcome);
    }

    void report(const fs::path& path, const std::string& error)
    {
        Outcome outcome;
        outcome.error = error;
        ++files_;
        allValid_ = false;
        if (json_)
            PrintJson(path, outcome);
        else
            PrintLine(path, outcome);
    }

    // folder / name, joined with "/" on every system (Windows takes it too),
    // so that the lines name a file alike on Linux and Windows.
    static fs::path InFolder(const fs::path& folder, const fs::path& name)
    {
        fs::path child = folder;
        if (folder.has_filename())
            child += "/";
        child += name;
        return child;
    }

    void checkFolder(const fs::path& folder)
    {
        std::vector<fs::directory_entry> entries;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            entries.push_back(*it);
        if (error) {
            report(folder, "Cannot read folder \"" + DisplayPath(folder) + "\". " + error.message());
            return;
        }
        // Name order by bytes, the same on every machine and locale.
        std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
            return a.path().filename().native() < b.path().filename().native();
        });
        for (const fs::directory_entry& entry : entries) {
            std::error_code ignored;
            // Links to folders are not followed: a link back up would loop.
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
                if (recursive_)
                    checkFolder(InFolder(folder, entry.path().filename()));
            } else if (entry.is_regular_file(ignored)) {
                checkFile(InFolder(folder, entry.path().filename()));
            }
            // Pipes, devices, sockets and dangling links are not modules and
            // would block or fail the read; they are passed over.
        }
    }

    bool json_;
    bool recursive_;
    bool allValid_ = true;
    int files_ = 0;
};

}  // namespace

int RunCheck(const std::vector<std::string>& words)
{
    CommandArguments args("check");
    args.addFlag("json");
    args.addFlag("recursive");
    if (!args.parse(words))
        return kExitDone;
    if (args.positional().empty())
        throw UsageError("missing PATH");
    Checker checker(args.isSet("json"), args.isSet("recursive"));
    for (const std::string& argument : args.positional())
        checker.checkArgument(PathFromArgument(argument));
    // A folder with no file in it checked nothing: not a success to report.
    if (checker.filesChecked() == 0) {
        std::cerr << "zentab: no files to check\n";
        return kExitRefused;
    }
    return checker.allValid() ? kExitDone : kExitRefused;
}

}  // namespace zentab::cli
