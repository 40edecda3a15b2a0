#pragma once
// The six model lists as a table for a spreadsheet or a script: CSV
// (header format,row,name,lba, CR LF line ends, names as 8-bit bytes) or
// JSON ({"cells": [...]}, names in UTF-8), and such a table read back.

#include "module_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentab::cli {

// Rows 1 to rows of every Format, Main first.
std::string TableCsv(const ModelTable& table, int rows);
std::string TableJson(const ModelTable& table, int rows);

struct TableCell {
    int format = 0;  // 1 Main .. 6 Alt 5
    int row = 0;     // 1 or more; the module decides how many it has
    std::optional<std::string> name;  // 8-bit text
    std::optional<std::int64_t> lba;
    std::string where;  // "line 4" or "cell 3", for messages
};

// A CSV or a JSON table (told apart by its first character that is not a
// blank: "{" for JSON). Every CSV row sets name and LBA; a JSON cell may
// leave either out. Raises Refusal naming source and the line or cell for
// anything malformed: a missing header, a wrong field count, an unknown
// Format name, a row or LBA that is not a number, a cell given twice.
std::vector<TableCell> ParseTable(const std::string& text, const std::string& source);

}  // namespace zentab::cli
