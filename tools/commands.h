#pragma once
// The commands of the tool. Each takes the words after its own name and
// returns the exit status; failures travel as UsageError, Refusal or
// PlatformError to main, which reports them.

#include <string>
#include <vector>

namespace zentab::cli {

int RunShow(const std::vector<std::string>& words);
int RunFix(const std::vector<std::string>& words);
int RunSet(const std::vector<std::string>& words);
int RunAuto(const std::vector<std::string>& words);
int RunCapacity(const std::vector<std::string>& words);
int RunCheck(const std::vector<std::string>& words);
int RunDiff(const std::vector<std::string>& words);
int RunExport(const std::vector<std::string>& words);
int RunImport(const std::vector<std::string>& words);

}  // namespace zentab::cli
