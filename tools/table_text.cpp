#include "table_text.h"

#include "lba_text.h"
#include "cli_errors.h"
#include "int_text.h"
#include "latin1_text.h"
#include "model_codec.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <map>
#include <utility>

namespace zentab::cli {

namespace {

const char kCsvHeader[] = "format,row,name,lba";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string CsvField(const std::string& text)
{
    const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                        (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back())));
    if (!quoted)
        return text;
    std::string field = "\"";
    for (const char c : text)
        field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return field + '"';
}

[[noreturn]] void Malformed(const std::string& source, const std::string& where, const std::string& problem)
{
    throw Refusal(source + ": " + where + ": " + problem + " Nothing was written.");
}

int FormatNumber(const std::string& name)
{
    for (int f = 1; f <= kFormats; ++f)
        if (name == FormatName(f))
            return f;
    return 0;
}

struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

// RFC 4180 records. Line ends may be CR LF, LF or CR alone, as spreadsheets
// on different systems save them; a quoted field may hold any of them.
std::vector<CsvRecord> SplitCsv(const std::string& text, const std::string& source)
{
    std::vector<CsvRecord> records;
    std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a spreadsheet's byte-order mark
    int line = 1;
    auto lineEnd = [&](std::size_t at) {
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
            return std::size_t{2};
        return text[at] == '\r' || text[at] == '\n' ? std::size_t{1} : std::size_t{0};
    };
    while (i < text.size()) {
        CsvRecord record{line, {}};
        while (true) {
            std::string field;
            if (i < text.size() && text[i] == '"') {
                const int opened = line;
                ++i;
                while (true) {
                    if (i == text.size())
                        Malformed(source, "line " + std::to_string(opened), "a quoted field is not closed.");
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                        ++line;
                    field += text[i++];
                }
                if (i < text.size() && text[i] != ',' && lineEnd(i) == 0)
                    Malformed(source, "line " + std::to_string(line), "text follows a closing quote.");
            } else {
                while (i < text.size() && text[i] != ',' && lineEnd(i) == 0) {
                    if (text[i] == '"')
                        Malformed(source, "line " + std::to_string(line), "a quote inside an unquoted field.");
                    field += text[i++];
                }
            }
            record.fields.push_back(std::move(field));
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < text.size()) {
            i += lineEnd(i);
            ++line;
        }
        // An empty line says nothing; spreadsheets leave one at the end.
        if (!(record.fields.size() == 1 && record.fields.front().empty()))
            records.push_back(std::move(record));
    }
    return records;
}

int ParseRow(const std::string& text, const std::string& source, const std::string& where)
{
    const auto row = ParseInt64(text);
    if (!row || *row < 1 || *row > std::numeric_limits<int>::max())
        Malformed(source, where, "the row \"" + text + "\" is not a number from 1 up.");
    return static_cast<int>(*row);
}

int ParseFormat(const std::string& text, const std::string& source, const std::string& where)
{
    const int format = FormatNumber(text);
    if (format == 0)
        Malformed(source, where, "\"" + text + "\" is not a Format (Main, Alt 1 to Alt 5).");
    return format;
}

std::int64_t ParseLba(const std::string& text, const std::string& source, const std::string& where)
{
    const auto lba = ParseLbaText(text);
    if (!lba)
        Malformed(source, where,
                  "the LBA \"" + text + "\" is not a number or a capacity such as 976773168, 500G or 2T.");
    return *lba;
}

std::vector<TableCell> ParseCsv(const std::string& text, const std::string& source)
{
    const std::vector<CsvRecord> records = SplitCsv(text, source);
    if (records.empty() || records.front().fields != std::vector<std::string>{"format", "row", "name", "lba"})
        Malformed(source, "line 1", std::string("the first line must be the header ") + kCsvHeader + ".");
    std::vector<TableCell> cells;
    for (std::size_t k = 1; k < records.size(); ++k) {
        const CsvRecord& record = records[k];
        TableCell cell;
        cell.where = "line " + std::to_string(record.line);
        if (record.fields.size() != 4)
            Malformed(source, cell.where,
                      "4 fields (format,row,name,lba) expected, " + std::to_string(record.fields.size()) +
                          " found.");
        cell.format = ParseFormat(record.fields[0], source, cell.where);
        cell.row = ParseRow(record.fields[1], source, cell.where);
        cell.name = record.fields[2];
        cell.lba = ParseLba(record.fields[3], source, cell.where);
        cells.push_back(std::move(cell));
    }
    return cells;
}

std::vector<TableCell> ParseJson(const std::string& text, const std::string& source)
{
    using nlohmann::json;
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& error) {
        Malformed(source, "JSON", std::string("not readable: ") + error.what() + ".");
    }
    if (!root.is_object() || root.size() != 1 || !root.contains("cells") || !root["cells"].is_array())
        Malformed(source, "JSON", "the table must be an object holding one array, \"cells\".");
    std::vector<TableCell> cells;
    int index = 0;
    for (const json& item : root["cells"]) {
        TableCell cell;
        cell.where = "cell " + std::to_string(++index);
        if (!item.is_object())
            Malformed(source, cell.where, "a cell must be an object.");
        for (const auto& member : item.items())
            if (member.key() != "format" && member.key() != "row" && member.key() != "name" && member.key() != "lba")
                Malformed(source, cell.where, "unknown key \"" + member.key() + "\" (format, row, name, lba).");
        if (!item.contains("format") || !item["format"].is_string())
            Malformed(source, cell.where, "\"format\" must be a Format name such as \"Main\" or \"Alt 1\".");
        cell.format = ParseFormat(item["format"].get<std::string>(), source, cell.where);
        if (!item.contains("row") || !item["row"].is_number_integer() || item["row"].get<std::int64_t>() < 1 ||
            item["row"].get<std::int64_t>() > std::numeric_limits<int>::max())
            Malformed(source, cell.where, "\"row\" must be a whole number from 1 up.");
        cell.row = item["row"].get<int>();
        if (item.contains("name")) {
            if (!item["name"].is_string())
                Malformed(source, cell.where, "\"name\" must be a string.");
            cell.name = Utf8ToLatin1(item["name"].get<std::string>());
            if (!cell.name)
                Malformed(source, cell.where, "the name has a character that no 8-bit name field can hold.");
        }
        if (item.contains("lba")) {
            const json& lba = item["lba"];
            if (lba.is_number_unsigned() && lba.get<std::uint64_t>() > std::numeric_limits<std::int64_t>::max())
                Malformed(source, cell.where, "the LBA " + lba.dump() + " does not fit 64 bits.");
            if (lba.is_number_integer())
                cell.lba = lba.get<std::int64_t>();
            else if (lba.is_string())
                cell.lba = ParseLba(lba.get<std::string>(), source, cell.where);
            else
                Malformed(source, cell.where, "\"lba\" must be a whole number or a text such as \"2T\".");
        }
        cells.push_back(std::move(cell));
    }
    return cells;
}

}  // namespace

std::string TableCsv(const ModelTable& table, int rows)
{
    std::string text = std::string(kCsvHeader) + "\r\n";
    for (int f = 1; f <= kFormats; ++f)
        for (int r = 1; r <= rows; ++r)
            text += CsvField(FormatName(f)) + ',' + std::to_string(r) + ',' + CsvField(table.name(r, f)) + ',' +
                    std::to_string(table.value(r, f)) + "\r\n";
    return text;
}

std::string TableJson(const ModelTable& table, int rows)
{
    using nlohmann::ordered_json;
    ordered_json cells = ordered_json::array();
    for (int f = 1; f <= kFormats; ++f)
        for (int r = 1; r <= rows; ++r)
            cells.push_back({{"format", FormatName(f)},
                             {"row", r},
                             {"name", Latin1ToUtf8(table.name(r, f))},
                             {"lba", table.value(r, f)}});
    return ordered_json{{"cells", cells}}.dump(4) + '\n';
}

std::vector<TableCell> ParseTable(const std::string& text, const std::string& source)
{
    // A byte-order mark, as editors on Windows write it, comes before either form.
    const std::size_t bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const std::size_t first = text.find_first_not_of(" \t\r\n", bom);
    std::vector<TableCell> cells = first != std::string::npos && text[first] == '{'
                                       ? ParseJson(text.substr(bom), source)
                                       : ParseCsv(text, source);
    // Two rows for one cell would leave it to the order which one wins.
    std::map<std::pair<int, int>, std::string> seen;
    for (const TableCell& cell : cells) {
        const auto [at, added] = seen.emplace(std::make_pair(cell.format, cell.row), cell.where);
        if (!added)
            Malformed(source, cell.where,
                      std::string(FormatName(cell.format)) + " row " + std::to_string(cell.row) +
                          " is already set on " + at->second + ".");
    }
    return cells;
}

}  // namespace zentab::cli
