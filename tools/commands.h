#pragma once
// The commands of the tool. Each takes the words after its own name and
// returns the exit status; failures travel as UsageError, Refusal or
// PlatformError to main, which reports them.

#include <QStringList>

namespace zentab::cli {

int RunShow(const QStringList& words);
int RunFix(const QStringList& words);
int RunSet(const QStringList& words);
int RunAuto(const QStringList& words);
int RunCapacity(const QStringList& words);

}  // namespace zentab::cli
