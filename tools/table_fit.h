#pragma once
// What the module can hold exactly. The codec stores a name cut to its
// 24-byte field and an STD value cut to 32 bits without a word; the tool
// refuses such writes instead, so that a saved module always reads back as
// the technician asked.

#include "module_state.h"

#include <string>

namespace zentab::cli {

// Why the name would read back differently from its field; empty when it
// reads back as given (blanks around it aside, which the field drops).
std::string NameProblem(const std::string& name);

// The first cell of the rows the table handles whose name or value the
// module would store differently; empty when every cell fits.
std::string CheckTableFits(const ModelTable& table, const ListLayout& layout);

}  // namespace zentab::cli
