// The ANSI code page on Windows, as GetPrivateProfileStringA reads the
// settings file there.

#include "system_text.h"

#include "windows_text.h"

#include <windows.h>

namespace zentab {

std::string CodePageToUtf8(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), size);
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return Narrow(wide);
}

}  // namespace zentab
