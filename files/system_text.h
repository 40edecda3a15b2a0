#pragma once
// Text a user wrote into a file the program only reads (the settings file),
// as the windows show it: UTF-8.

#include <cstdint>
#include <string>

namespace zentab {

// Valid UTF-8 stays as it is; anything else is 8-bit text in the system's
// code page (Windows: the ANSI code page; elsewhere the locale's charset
// when it is not UTF-8, else Latin-1), so every byte reads as a character.
std::string SystemTextToUtf8(const std::string& text);

// Each byte as the Latin-1 character it is, in UTF-8.
std::string Latin1ToUtf8(const std::string& text);

// UTF-16 bytes (little- or big-endian) to UTF-8; a lone surrogate or an odd
// last byte reads as U+FFFD, so anything converts.
std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian);

// One code point (up to U+10FFFF) appended to out as UTF-8.
void AppendUtf8(std::uint32_t code, std::string& out);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(const std::string& text);

// The system's code page to UTF-8 (system_text_posix.cpp,
// system_text_windows.cpp).
std::string CodePageToUtf8(const std::string& text);

}  // namespace zentab
