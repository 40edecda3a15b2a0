#include "text_fit.h"

#include "capacity.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

namespace zentab::editor {

namespace {

// Frames, margins and buttons around a control's text, at 96 dpi.
constexpr int kButtonMargins = 8;
constexpr int kGroupCaptionMargins = 16;
constexpr int kComboButtonAndMargins = 30;
constexpr int kGap = 2;

// Room of a caption sized to its text: up to the next control to its right
// on its line, or its parent's edge.
int CaptionRoom(ControlId id, int pixels)
{
    const auto& controls = WindowControls();
    const ControlDescription& c = controls[std::size_t(id)];
    int right = c.parent == kNoControl ? EditorWindow().clientWidth : controls[std::size_t(c.parent)].rect.width;
    for (const ControlDescription& other : controls) {
        if (&other == &c || other.parent != c.parent || other.rect.x <= c.rect.x)
            continue;
        const int otherBottom = other.rect.y + std::max(other.rect.height, pixels);
        if (other.rect.y < c.rect.y + pixels && c.rect.y < otherBottom)
            right = std::min(right, other.rect.x);
    }
    return right - c.rect.x - kGap;
}

std::vector<std::string> WidestSizeTexts(const std::string& separator)
{
    // 1000 of each unit up to G, and the last tenth below 1000 T.
    std::vector<std::string> texts;
    for (const std::int64_t bytes : {std::int64_t{1'000'000}, std::int64_t{1'000'000'000},
                                     std::int64_t{1'000'000'000'000}, std::int64_t{999'900'000'000'000}})
        texts.push_back(SizeText(bytes, 1, separator));
    return texts;
}

}  // namespace

std::vector<TextToFit> TextsToFit(FontRole role, const std::string& decimalSeparator)
{
    const WindowDescription& window = EditorWindow();
    std::vector<TextToFit> result;
    const auto& controls = window.controls;
    for (ControlId id = 0; id < ControlId(controls.size()); ++id) {
        const ControlDescription& c = controls[std::size_t(id)];
        if (c.font != role)
            continue;
        TextToFit fit{id, {c.caption}, c.rect.width};
        switch (c.kind) {
        case ControlKind::Caption:
            if (c.rect.width == 0)
                fit.room = CaptionRoom(id, window.windowFontPixels);
            break;
        case ControlKind::SizeLabel:
            fit.texts = WidestSizeTexts(decimalSeparator);
            break;
        case ControlKind::TextLabel:
            fit.texts = {"STD", "NEW"};
            break;
        case ControlKind::GroupBox:
            fit.room -= kGroupCaptionMargins;
            break;
        case ControlKind::Button:
            fit.room -= kButtonMargins;
            break;
        case ControlKind::ComboBox:
            fit.room -= kComboButtonAndMargins;
            break;
        default:
            continue;
        }
        result.push_back(std::move(fit));
    }
    return result;
}

FontChoice ChooseFont(FontRole role, int dpi, const FamilyUsable& usable, const TextWidth& width,
                      const std::string& decimalSeparator, const TextRoom& room)
{
    const WindowDescription& window = EditorWindow();
    const int base = role == FontRole::SizeText ? window.sizeFontPixels : window.windowFontPixels;
    const bool bold = role == FontRole::SizeText && window.sizeFontBold;
    // Asked only as far as needed: looking a family up is a font search.
    std::vector<int> known(window.fontFamilies.size(), -1);
    const auto usableAt = [&](std::size_t i) {
        if (known[i] < 0)
            known[i] = usable(window.fontFamilies[i]) ? 1 : 0;
        return known[i] == 1;
    };
    // Each text once, against the least room it has: sixty size labels show
    // the same texts, and measuring is what start-up pays for here.
    const auto scaled = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
    std::map<std::string, int> texts;
    for (const TextToFit& fit : TextsToFit(role, decimalSeparator)) {
        const int pixels = room ? room(fit, dpi) : scaled(fit.room);
        for (const std::string& text : fit.texts) {
            const auto [at, added] = texts.emplace(text, pixels);
            if (!added)
                at->second = std::min(at->second, pixels);
        }
    }
    std::optional<std::string> first;
    for (int pixels = base; pixels * 4 >= base * 3; --pixels) {
        for (std::size_t i = 0; i <= window.fontFamilies.size(); ++i) {
            // The system's face stands in when no family of the list is
            // there; every family was asked by the time it is reached.
            const bool fallback = i == window.fontFamilies.size();
            if (fallback ? first && !first->empty() : !usableAt(i))
                continue;
            const std::string family = fallback ? std::string() : window.fontFamilies[i];
            if (!first)
                first = family;
            const FontChoice font{family, scaled(pixels), bold};
            const bool fits = std::all_of(texts.begin(), texts.end(), [&](const auto& text) {
                return width(font, text.first) <= text.second;
            });
            if (fits)
                return font;
        }
    }
    return {first.value_or(std::string()), scaled(base), bold};
}

}  // namespace zentab::editor
