#pragma once
// The names a save gives its files, each a prefix that six random letters
// complete. The sweep of leftovers finds a file's own by the same prefixes.

#include <filesystem>
#include <string>

namespace zentab {

// ".NAME.zentab-": a scratch file beside the module.
std::filesystem::path TemporaryPrefix(const std::filesystem::path& name);
// "NAME.zentab-backup-": a backup beside the module, whose folder and name
// say whose it is.
std::filesystem::path BackupPrefix(const std::filesystem::path& name);
// "zentab-backup-NAME-IDENTITY-DIGEST-": a backup in a folder many files
// share, carrying the file's identity and a digest of its full path, so
// that it is never taken for the copy of another file of the same name.
// Long names are shortened.
std::filesystem::path SpareBackupPrefix(const std::filesystem::path& name, const std::string& identity,
                                        const std::filesystem::path& fullPath);

}  // namespace zentab
