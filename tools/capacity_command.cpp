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

}  // namespace

int RunCapacity(const std::vector<std::string>& words)
{
    CommandArguments args("capacity");
    args.takeNegativeNumbers();
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
            // Every TEXT is judged, so that one run names all the wrong ones.
            std::cerr << "zentab: TEXT: a number or a capacity such as 976773168, 500G or 2T, not \""
                      << text << '"' << std::endl;
            status = kExitUsage;
        }
    }
    return status;
}

}  // namespace zentab::cli
