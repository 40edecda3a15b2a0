#pragma once
// Letters compared without regard to case, in every script a settings file
// can hold, as the platform's settings reader compares key names.

#include <string>

namespace zentab {

// UTF-8 text with each letter of the Basic Multilingual Plane put to its
// simple case fold (so "2000ГБ" and "2000гб" fold alike); bytes that are
// not UTF-8 stay as they are.
std::string FoldCase(const std::string& text);

}  // namespace zentab
