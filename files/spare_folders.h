#pragma once
// Where a backup goes when the module's own folder takes no new file
// (spare_folders_posix.cpp, spare_folders_windows.cpp): a folder that
// outlives a power cut and the restart after it, the saver's own first.

#include "save_primitives.h"

#include <filesystem>
#include <vector>

namespace zentab {

// In order: the saver's backup folder ($XDG_STATE_HOME/zentab/backups,
// default ~/.local/state/zentab/backups; on Windows
// %LOCALAPPDATA%\ZentabEditor\Backups), made with make where it is missing
// and left out unless it is a folder of the saver's; on Linux then
// /var/tmp. Never a temporary folder.
std::vector<std::filesystem::path> SpareFolders(bool make);

// kOk when what is synced in the folder survives a power cut and the
// restart after it: not held in memory, not in a temporary folder (/tmp,
// $TMPDIR, %TEMP%) that the system or a clean-up empties.
Status SpareFolderKeeps(const std::filesystem::path& folder);

}  // namespace zentab
