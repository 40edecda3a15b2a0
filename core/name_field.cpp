#include "name_field.h"

namespace zentab {

namespace {
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }
}

std::string TrimControls(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string DecodeNameField(const NameField& field)
{
    std::string name = TrimControls(std::string(field.begin(), field.end()));
    for (char& c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 127)
            c = ' ';
    }
    return TrimControls(name);
}

NameField EncodeNameField(const std::string& name)
{
    std::string text = TrimControls(name);
    if (text.size() < kNameFieldSize - 1)
        text.resize(kNameFieldSize - 1, ' ');
    text.push_back('\0');
    NameField field{};
    for (std::size_t i = 0; i < kNameFieldSize; ++i)
        field[i] = static_cast<std::uint8_t>(text[i]);
    return field;
}

}  // namespace zentab
