#include "command_args.h"

#include "cli_errors.h"
#include "int_text.h"

#include <QFile>

#include <cstdio>

namespace zentab::cli {

CommandArguments::CommandArguments(const char* usage) : usage_(usage)
{
    parser_.addOption(QCommandLineOption(QStringList{"h", "help"}));
}

void CommandArguments::addFlag(const QString& name) { parser_.addOption(QCommandLineOption(name)); }

void CommandArguments::addValue(const QString& name, const QString& valueName)
{
    parser_.addOption(QCommandLineOption(name, QString(), valueName));
}

void CommandArguments::addOutput() { parser_.addOption(QCommandLineOption(QStringList{"o", "output"}, QString(), "OUT")); }

bool CommandArguments::parse(const QStringList& words)
{
    // The parser expects a program name in front of the words.
    if (!parser_.parse(QStringList{QStringLiteral("zentab")} + words))
        throw UsageError(parser_.errorText().toStdString());
    if (parser_.isSet("help")) {
        std::fputs(usage_, stdout);
        return false;
    }
    return true;
}

bool CommandArguments::isSet(const QString& name) const { return parser_.isSet(name); }

std::optional<QString> CommandArguments::value(const QString& name) const
{
    const QStringList values = parser_.values(name);
    if (values.isEmpty())
        return std::nullopt;
    if (values.size() > 1)
        throw UsageError("--" + name.toStdString() + " is given more than once");
    return values.front();
}

std::string CommandArguments::inputFile() const
{
    const QStringList files = positional();
    if (files.isEmpty())
        throw UsageError("missing FILE");
    if (files.size() > 1)
        throw UsageError("one FILE only; unexpected \"" + files.at(1).toStdString() + "\"");
    return LocalPath(files.front());
}

std::string CommandArguments::outputFile() const
{
    const auto out = value("o");
    if (!out || out->isEmpty())
        throw UsageError("missing -o OUT: the module is written only to a file named on the command line");
    return LocalPath(*out);
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

int ParseIndex(const QString& text, const char* option, int first, int last)
{
    const auto number = ParseInt64(text.toStdString());
    if (!number || *number < first || *number > last)
        throw UsageError(std::string(option) + " must be a number from " + std::to_string(first) + " to " +
                         std::to_string(last) + ", not \"" + text.toStdString() + "\"");
    return static_cast<int>(*number);
}

}  // namespace zentab::cli
