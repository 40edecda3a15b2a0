#include "help_text.h"

#include <sstream>

namespace zentab::cli {

namespace {

const char kDescription[] =
    "zentab does the module work of the ZentabEditor window from a shell. A model-list module (module id 12) "
    "holds six lists, Main and Alt 1 to Alt 5, of a model name of up to 24 characters and a maximum LBA per row. "
    "Both container forms (ROYL, with a 32-bit word sum, and legacy, with a byte sum) and both list layouts (STD "
    "with 32-bit values, NEW with 64-bit values) are handled.\n"
    "\n"
    "FILE \"-\" reads the module from standard input (at most 256 MiB, as a file). A command that writes a "
    "module always needs -o OUT; OUT may be FILE itself, and a failed write leaves it as it was. \"-o -\" sends "
    "the module to standard output and the report to standard error. File names are taken as the bytes given.\n"
    "\n"
    "Every message names the file. A module or an edit that is refused is told as\n"
    "  zentab: FILE: Edit refused: Main row 1: WHY. Nothing was written.\n"
    "and a wrong command line names the option and what it takes, as\n"
    "  zentab: --divider: a number of 1 or more, not \"0\"\n"
    "A negative number is read as a number wherever one is expected (capacity -5, --divider -3) and judged by "
    "the same rules. A command given --json prints a JSON object on standard output for an error too: "
    "{\"error\": MESSAGE, \"status\": EXIT STATUS}.\n"
    "\n"
    "A module that ends too soon is \"Stream read error\", followed by where it ends and what was being read: "
    "Stream read error (the module ends at byte 1234 while reading the NEW value block at 1200).";

}  // namespace

const char kExitStatusText[] =
    "  0    done; the module is valid (check); the files are the same bytes (diff)\n"
    "  1    a module, an edit or a file refused, or a file operation failed, and\n"
    "       nothing written; a checksum wrong or a file unreadable (check); the\n"
    "       files differ (diff)\n"
    "  2    the command line is wrong; for diff also a file refused or unreadable\n"
    "  141  standard output was closed by its reader (zentab show m.bin | head -1):\n"
    "       the tool stops quietly, as a shell reports a tool ended by SIGPIPE\n";

const std::vector<CommandHelp>& Commands()
{
    static const std::vector<CommandHelp> commands{
        {"show", "show [--json] FILE",
         "Prints the header, layout, checksum and the six model lists of a model-list module.",
         {{"json", "", "one JSON object instead of the table"}},
         "A module has at most 11 rows per format that the lists hold; rows beyond them are not printed, and a "
         "line under the table names them."},
        {"check", "check [--json] [--recursive] PATH...",
         "Checks the container and checksum of every module, of any module id and either form. Nothing is "
         "written.",
         {{"json", "", "one JSON object per file instead of one line"},
          {"recursive", "", "also the folders inside a folder, in name order"}},
         "A PATH that is a folder stands for its regular files in name order (by bytes); pipes, devices, sockets "
         "and dangling links in it are passed over, and links to folders are not followed. A PATH \"-\" is the "
         "module on standard input. Named on the command line, anything else that is not a regular file is an "
         "error line. One line per file:\n"
         "  PATH: ROYL module 0x000C, 2500 bytes, checksum OK\n"
         "  PATH: legacy module 0x0D, 1580 bytes, checksum WRONG (stored 0xF9, computed 0xF7)\n"
         "  PATH: error: Stream read error (the module ends at byte 10 while reading the module header at 4)\n"
         "\n"
         "With --json each line is one JSON object with the keys file, form, module_id, size, checksum (stored, "
         "computed, valid) and error (null when there is none); a file name that is not UTF-8 is printed with "
         "U+FFFD for its stray bytes. A file shorter than its form's id and checksum fields (16 bytes ROYL, 5 "
         "legacy) is an error. Folders that hold no file to check exit 1."},
        {"fix", "fix FILE -o OUT",
         "Recomputes the checksum of FILE and writes the module to OUT (which may be FILE).",
         {{"o", "OUT", "where the module is written; \"-\" is standard output"}},
         "Any module of either form is fixed, whatever its id; only its checksum field changes. A model list (id "
         "12) is loaded whole first, as the editor would load it, so that a damaged one is refused rather than "
         "given a checksum that blesses it."},
        {"set", "set FILE --format F --row R [--name TEXT] [--lba VALUE] -o OUT",
         "Changes one cell of the model lists and writes the module to OUT (which may be FILE).",
         {{"format", "F", "1 Main, 2 to 6 Alt 1 to Alt 5 (decimal digits)"},
          {"row", "R", "1 to the module's rows per format, at most 11 (decimal digits)"},
          {"name", "TEXT", "model name, up to 24 printable ASCII characters"},
          {"lba", "VALUE", "maximum LBA: a number (decimal, or hexadecimal after $, x or 0x), or whole gigabytes "
                           "or terabytes as 500G or 2T"},
          {"o", "OUT", "where the module is written; \"-\" is standard output"}},
         "An edit the module would store differently, or that would read back as other data, is refused with "
         "\"Edit refused\", the cell named, and nothing is written: a negative value, a value of 2^32 or more in "
         "an STD module, a name over 24 characters or outside printable ASCII, Main values that would all be 0 "
         "in an STD module (it would load as NEW). The editor window refuses the same values.\n"
         "\n"
         "Only the cells a command writes are judged. Every value is written back with the bits it was read "
         "with, a negative value in a NEW module included. Every save also rewrites each name field in its "
         "normalised form, as the window's Save does: the name trimmed and padded as the module stores it, and "
         "a name byte outside 32 to 127 written as a blank."},
        {"auto", "auto FILE --head0 N [--divider D] [--align S] [--template T] -o OUT",
         "Computes all six model lists from the LBA size of head 0 by the IDEMA capacity rule, as the window's "
         "Auto does, and writes the module to OUT.",
         {{"head0", "N", "LBA size of head 0, greater than 0: a number or a size as 250G or 2T"},
          {"divider", "D", "format step divider, 1 or more (default 15)"},
          {"align", "S", "gigabytes each capacity is rounded down to a multiple of, 1 or more (default 50)"},
          {"template", "T", "model name template (default \"WDC WD20EARS-00MVWB0\"), up to 24 printable ASCII "
                            "characters"},
          {"o", "OUT", "where the module is written; \"-\" is standard output"}},
         "--divider and --align take a number (decimal, or hexadecimal after $, x or 0x); anything else, 0, a "
         "negative number or an empty value is a usage error naming the option. A value Auto computes that the "
         "module cannot store (over 2^32 in an STD module) refuses the edit, as set does."},
        {"diff", "diff [--json] A B",
         "Compares two model-list modules: form, layout, rows per format and checksum of each, every cell that "
         "differs, and every byte range that differs.",
         {{"json", "", "one JSON object instead of the text"}},
         "Each byte range is named by the field it lies in: a name field or a value field (with its Format and "
         "row), the checksum field, or other bytes (the header, bytes between the lists, bytes only the longer "
         "file has). A name field whose bytes differ while its name reads the same (zeros against blanks after "
         "the name) is counted as such. The last line says what differs; \"only inside name fields\" is said only "
         "when every differing byte lies in a name field and every name reads the same, and a difference in the "
         "checksum field alone is reported as that.\n"
         "\n"
         "With --json: one object with the keys a and b (file, form, module_id, size, layout, rows, checksum: "
         "stored, computed, valid), identical, cells (format, row, a, b; each side name, lba, size, or null where "
         "the module has no such row), byte_ranges (offset, length, field: name, value, checksum or other; "
         "format and row for a name or value field), name_fields_same_name (the number of name fields that "
         "differ in bytes only), checksum_differs, only_name_padding and only_checksum.\n"
         "\n"
         "Exit status: 0 the files are the same bytes, 1 they differ, 2 trouble (a file refused or unreadable, "
         "a wrong command line). One of A and B may be \"-\"."},
        {"export", "export [--csv | --json] FILE",
         "Writes the six model lists of FILE to standard output as a table.",
         {{"csv", "", "format,row,name,lba with CR LF line ends (the default)"},
          {"json", "", "{\"cells\": [{\"format\": \"Main\", \"row\": 1, \"name\": ..., \"lba\": ...}, ...]}"}},
         "CSV: the header format,row,name,lba, CR LF line ends, a field quoted (RFC 4180) when it holds a comma, "
         "a quote, CR, LF or leading or trailing blanks; Formats are Main, Alt 1 to Alt 5; names are their 8-bit "
         "bytes. JSON: names in UTF-8 (read as Latin-1). Rows past the 11 the lists hold are not exported, and a "
         "line on standard error says so."},
        {"import", "import FILE TABLE -o OUT",
         "Sets the cells a CSV or JSON table lists (as export writes it) and writes the module to OUT, as set "
         "does.",
         {{"o", "OUT", "where the module is written; \"-\" is standard output"}},
         "TABLE \"-\" is standard input (then FILE cannot be \"-\" too). A table whose first character that is "
         "not a blank is { is JSON; otherwise CSV, where a byte-order mark and LF or CR line ends are accepted. "
         "Every CSV row sets name and LBA; a JSON cell may leave out \"name\" or \"lba\", and a JSON key other "
         "than cells, format, row, name and lba refuses the table. LBA is a number or a capacity such as 500G or "
         "2T. Tables above 16 MiB are refused.\n"
         "\n"
         "A row beyond the module's rows, an unknown Format name (case counts), a malformed line, a cell listed "
         "twice, an unknown JSON key or a value set would refuse refuses the whole table: nothing is written, "
         "and the message names the table and the line or cell. Names, values and checksum are written as set "
         "writes them; an unchanged table gives the module a load and save would."},
        {"capacity", "capacity TEXT...",
         "Prints the maximum LBA and the size of each number or capacity (500G, 2T).",
         {},
         "A TEXT that is neither a number nor a capacity is named on standard error, the others are "
         "printed, and the exit status is 2."},
        {"version", "version", "Prints the version (also zentab --version).", {}, ""},
        {"help", "help [COMMAND]",
         "Lists the commands, or prints the help of one COMMAND, as zentab COMMAND --help does.", {}, ""},
    };
    return commands;
}

const CommandHelp* FindHelp(const std::string& name)
{
    for (const CommandHelp& command : Commands())
        if (name == command.name)
            return &command;
    return nullptr;
}

namespace {

std::string Spelled(const OptionHelp& option)
{
    std::string text = std::string(option.name).size() == 1 ? std::string("-") + option.name
                                                             : std::string("--") + option.name;
    if (*option.argument)
        text += std::string(" ") + option.argument;
    return text;
}

// Paragraphs filled to 80 columns; lines led by two blanks stay as they are.
std::string Filled(const std::string& text, const std::string& indent)
{
    std::istringstream lines(text);
    std::string out;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("  ", 0) == 0) {
            out += (line.empty() ? "" : indent + line) + "\n";
            continue;
        }
        std::istringstream words(line);
        std::string word;
        std::string current = indent;
        while (words >> word) {
            if (current.size() > indent.size() && current.size() + 1 + word.size() > 79) {
                out += current + "\n";
                current = indent;
            }
            current += (current.size() > indent.size() ? " " : "") + word;
        }
        out += current + "\n";
    }
    return out;
}

// Text as roff shows it: backslashes and dashes escaped, no line taken for
// a request.
std::string Roff(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

// Paragraphs as roff: .PP between them, lines led by two blanks as .nf blocks.
std::string RoffParagraphs(const std::string& text)
{
    std::istringstream lines(text);
    std::string out;
    std::string line;
    bool verbatim = false;
    while (std::getline(lines, line)) {
        const bool example = line.rfind("  ", 0) == 0;
        if (example != verbatim) {
            out += example ? ".PP\n.nf\n" : ".fi\n.PP\n";
            verbatim = example;
        }
        if (line.empty())
            out += ".PP\n";
        else
            out += Roff(example ? line.substr(2) : line) + "\n";
    }
    if (verbatim)
        out += ".fi\n";
    return out;
}

}  // namespace

std::string GeneralHelp()
{
    std::string text = "Usage: zentab COMMAND ...\n";
    for (const CommandHelp& command : Commands())
        text += std::string("  ") + command.synopsis + "\n";
    text += "zentab help COMMAND (or zentab COMMAND --help) describes one command.\n"
            "FILE \"-\" is standard input, OUT \"-\" standard output. Exit status:\n";
    return text + kExitStatusText;
}

std::string CommandHelpText(const CommandHelp& command)
{
    std::string text = std::string("Usage: zentab ") + command.synopsis + "\n" + Filled(command.summary, "");
    for (const OptionHelp& option : command.options) {
        const std::string spelled = "  " + Spelled(option);
        const std::string body = Filled(option.text, std::string(18, ' '));
        text += spelled.size() < 17 ? spelled + body.substr(spelled.size()) : spelled + "\n" + body;
    }
    if (*command.details)
        text += Filled(command.details, "");
    return text;
}

std::string ManPage(const std::string& version)
{
    std::ostringstream out;
    out << ".\\\" Made by make_man from tools/help_text.cpp; edit that, not this.\n"
        << ".TH ZENTAB 1 \"\" \"zentab " << version << "\" \"User Commands\"\n"
        << ".SH NAME\nzentab \\- check, compare and edit model\\-list firmware modules\n.SH SYNOPSIS\n";
    for (const CommandHelp& command : Commands())
        out << ".B zentab " << Roff(command.synopsis) << "\n.br\n";
    out << ".SH DESCRIPTION\n" << RoffParagraphs(kDescription) << ".SH COMMANDS\n";
    for (const CommandHelp& command : Commands()) {
        out << ".TP\n.B " << command.name << "\n" << Roff(command.summary) << "\n";
        if (!command.options.empty())
            out << ".RS\n";
        for (const OptionHelp& option : command.options)
            out << ".TP\n.B " << Roff(Spelled(option)) << "\n" << Roff(option.text) << "\n";
        if (*command.details)
            out << (command.options.empty() ? ".RS\n" : "") << RoffParagraphs(std::string("\n") + command.details);
        if (!command.options.empty() || *command.details)
            out << ".RE\n";
    }
    out << ".SH EXIT STATUS\nThe same for every command, on Linux and Windows:\n"
        << RoffParagraphs(kExitStatusText)
        << ".SH WINDOWS\nOptions begin with \\- or \\-\\- on Windows too; a word that begins with / is a path on "
           "the current drive. Paths may be given in any Windows form: C:\\e..., C:/..., /..., ..\\e..., "
           "\\e\\e?\\eC:\\e..., with letters of any script. A reader that closes standard output ends the tool "
           "quietly there too, with status 141.\n"
        << ".SH EXAMPLES\n.nf\n"
           "zentab check \\-\\-recursive reads/\n"
           "zentab fix patient.bin \\-o patient.bin\n"
           "zentab fix patient.bin \\-o \\- | zentab show \\-\n"
           "zentab diff donor.bin patient.bin\n"
           "zentab export patient.bin > lists.csv\n"
           "zentab import patient.bin lists.csv \\-o edited.bin\n"
           ".fi\n"
        << ".SH SEE ALSO\nThe README of ZentabEditor, and docs/zentab.md in its sources.\n";
    return out.str();
}

}  // namespace zentab::cli
