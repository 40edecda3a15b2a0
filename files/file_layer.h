#pragma once
// The one way module and settings files are read and written. Everything
// platform-specific lives behind these functions (file_layer_posix.cpp,
// file_layer_windows.cpp); the rest of the program sees paths and the
// platform's exact error texts.
//
// How a save replaces a file is decided once, in save_policy.cpp, over the
// small steps each platform gives (save_primitives.h); the rule is written
// at the top of save_policy.cpp and in the README.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zentab {

// Reads a whole regular file, or the regular file a link points at, without
// ever blocking and never more than maxSize bytes. Anything else (a folder,
// a pipe, a device) is refused with "Cannot open file "…". reason".
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path, std::int64_t maxSize);

// The same, for optional files such as the settings file: nothing instead of
// an error when the file is missing, unreadable or not a regular file.
std::optional<std::vector<std::uint8_t>> TryReadWholeFile(const std::filesystem::path& path,
                                                          std::int64_t maxSize);

// Writes bytes as the whole new content of path, which must be a regular
// file, a link to one, or missing. Success is reported only once the bytes
// are on disk and read back equal; on any failure the old content stays and
// nothing is left behind but a backup the message names. Errors:
// "Cannot create file "…". reason", and "File "…" written, but the folder
// could not be synced: reason" when the new name may not be on disk yet.
// Returns a warning that names a backup the save left (one it could not
// remove, or an earlier one that differs from the file); empty when there
// is nothing to say.
//
// On Windows a file is rewritten in place only where the saver can deny
// other writers: a file another program holds open for writing, or without
// sharing, is refused ("The file is in use by another program").
std::string WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Writes bytes to standard output; a closed pipe or a full device is an error.
void WriteStandardOutput(const std::vector<std::uint8_t>& bytes);

// The path as the user wrote it, for messages: its bytes on Linux, UTF-8 on
// Windows.
std::string DisplayPath(const std::filesystem::path& path);

// For a command-line program: makes SIGINT, SIGTERM and SIGHUP (Ctrl+C and
// console close on Windows) remove a save's temporary file before the
// program ends, and lets a save that is rewriting a file in place finish
// first, so neither a stray temporary nor a half-written module is left.
// A closed output pipe becomes a write error instead of a silent exit.
void InstallInterruptCleanup();

// The reason a read gives for a file above maxSize.
std::string TooLarge(std::int64_t maxSize);

// A command-line program's arguments as text: their bytes as given on Linux,
// UTF-8 converted from the wide command line on Windows.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// A file argument of CommandLineArguments as a path, without loss: the bytes
// themselves on Linux, UTF-8 read back into a wide path on Windows.
std::filesystem::path PathFromArgument(const std::string& argument);

}  // namespace zentab
