#pragma once
// What the module can hold exactly. The codec stores a name cut to its
// 24-byte field and an STD value cut to 32 bits without a word; the tool
// refuses such writes instead, so that a saved module always reads back as
// the technician asked.

#include "module_state.h"

#include <cstdint>
#include <string>

namespace zentab {

// Why the name would read back differently from its field; empty when it
// reads back as given (blanks around it aside, which the field drops).
std::string NameProblem(const std::string& name);

// Why the module would store value otherwise than as given: negative, or
// beyond 32 bits in an STD module; empty when it fits.
std::string ValueProblem(std::int64_t value, const ListLayout& layout);

// The first cell of the rows the table handles whose name or value the
// module would store differently; empty when every cell fits. Names are held
// to printable ASCII, as the tool takes them. Only cells that differ from
// stored, what the module holds now, are judged: a value read from the
// module and left alone is the module's own, whatever its bits.
std::string CheckTableFits(const ModelTable& table, const ModelTable& stored, const ListLayout& layout);

// The same for the values alone. The window keeps its 8-bit names, which
// the module stores byte for byte.
std::string CheckValuesFit(const ModelTable& table, const ModelTable& stored, const ListLayout& layout);

}  // namespace zentab
