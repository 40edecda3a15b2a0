#pragma once
// Text between Windows and the rest of the program, for the Windows side of
// the file layer: names between UTF-16 and UTF-8, and the reason a system
// call failed.

#include <windows.h>

#include <string>

namespace zentab {

// An error code of our own, with the customer bit set so that it meets no
// system one: the written file does not read back as written.
constexpr DWORD kReadBackMismatch = 0x20000001;

// UTF-16 to UTF-8 and back, a lone surrogate kept as its three-byte form so
// that any name the system gives comes back the same.
std::string Narrow(const std::wstring& wide);
std::wstring Widen(const std::string& text);

// The reason for a system error code, as a message shows it.
std::string Reason(DWORD error);

}  // namespace zentab
