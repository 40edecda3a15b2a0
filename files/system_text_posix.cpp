// The locale's 8-bit charset on Linux and other POSIX systems, read from the
// environment as the user set it, whether or not the program has adopted
// the locale; Latin-1 where it names none, or names UTF-8.

#include "system_text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace zentab {

namespace {

std::string LocaleCharset()
{
    const locale_t user = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (!user)
        return {};
    std::string charset = ::nl_langinfo_l(CODESET, user);
    ::freelocale(user);
    return charset;
}

bool NamesNoCodePage(const std::string& charset)
{
    for (const char* none : {"", "UTF-8", "utf8", "ANSI_X3.4-1968", "ASCII", "ISO-8859-1"}) {
        if (::strcasecmp(charset.c_str(), none) == 0)
            return true;
    }
    return false;
}

}  // namespace

std::string CodePageToUtf8(const std::string& text)
{
    const std::string charset = LocaleCharset();
    if (NamesNoCodePage(charset))
        return Latin1ToUtf8(text);
    const iconv_t convert = ::iconv_open("UTF-8", charset.c_str());
    if (convert == reinterpret_cast<iconv_t>(-1))
        return Latin1ToUtf8(text);
    std::string in = text;
    std::string out(text.size() * 4 + 4, '\0');
    char* from = in.data();
    std::size_t left = in.size();
    char* to = out.data();
    std::size_t room = out.size();
    const std::size_t done = ::iconv(convert, &from, &left, &to, &room);
    ::iconv_close(convert);
    // A byte the charset leaves undefined: every byte as Latin-1 instead.
    if (done == static_cast<std::size_t>(-1) || left != 0)
        return Latin1ToUtf8(text);
    out.resize(out.size() - room);
    return out;
}

}  // namespace zentab
