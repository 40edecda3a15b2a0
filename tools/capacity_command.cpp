// capacity: the LBA a capacity text stands for, without any module.

#include "capacity.h"
#include "lba_text.h"
#include "cli_errors.h"
#include "command_args.h"
#include "commands.h"

#include <iomanip>
#include <iostream>

namespace zentab::cli {

namespace {

const char kUsage[] =
    "Usage: zentab capacity TEXT...\n"
    "Prints the maximum LBA of each number or capacity (500G, 2T) and its size.\n";

}  // namespace

int RunCapacity(const std::vector<std::string>& words)
{
    CommandArguments args(kUsage);
    if (!args.parse(words))
        return kExitDone;
    const std::vector<std::string>& texts = args.positional();
    if (texts.empty())
        throw UsageError("missing TEXT");
    int status = kExitDone;
    for (const std::string& text : texts) {
        if (const auto lba = ParseLbaText(text)) {
            std::cout << std::left << std::setw(12) << text << std::right << std::setw(20) << *lba << "  "
                      << SizeText(*lba, 512) << std::endl;
        } else {
            std::cerr << "zentab: \"" << text << "\" is not a number or a capacity such as 976773168, 500G or 2T"
                      << std::endl;
            status = kExitRefused;
        }
    }
    return status;
}

}  // namespace zentab::cli
