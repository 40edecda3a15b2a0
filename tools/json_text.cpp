#include "json_text.h"

namespace zentab::cli {

namespace {

void Append(std::string& text, const nlohmann::json& value, int depth)
{
    if (!value.is_array() && !value.is_object()) {
        // Integers digit for digit (64-bit LBAs stay exact); strings escaped.
        text += value.dump();
        return;
    }
    const std::string indent(4 * (depth + 1), ' ');
    text += value.is_array() ? "[\n" : "{\n";
    bool first = true;
    for (auto item = value.begin(); item != value.end(); ++item) {
        text += first ? "" : ",\n";
        first = false;
        text += indent;
        if (value.is_object())
            text += nlohmann::json(item.key()).dump() + ": ";
        Append(text, item.value(), depth + 1);
    }
    if (!first)
        text += '\n';
    text += std::string(4 * depth, ' ') + (value.is_array() ? "]" : "}");
}

}  // namespace

std::string IndentedJson(const nlohmann::json& document)
{
    std::string text;
    Append(text, document, 0);
    return text + '\n';
}

}  // namespace zentab::cli
