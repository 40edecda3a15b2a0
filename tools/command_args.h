#pragma once
// The command line of one command: its options, its FILE and its -o OUT.
// Every mistake here is a UsageError, found before any file is opened.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>

namespace zentab::cli {

class CommandArguments {
public:
    // usage is printed, as it is, for --help.
    explicit CommandArguments(const char* usage);

    void addFlag(const QString& name);
    void addValue(const QString& name, const QString& valueName);
    void addOutput();

    // Parses the words after the command's name. False when --help was
    // given: the usage has been printed and the command has nothing to do.
    bool parse(const QStringList& words);

    bool isSet(const QString& name) const;
    // The option's text; nullopt when it is absent, UsageError when given twice.
    std::optional<QString> value(const QString& name) const;

    QStringList positional() const { return parser_.positionalArguments(); }
    // The one FILE the command works on.
    std::string inputFile() const;
    // The -o OUT every writing command needs.
    std::string outputFile() const;

private:
    const char* usage_;
    QCommandLineParser parser_;
};

// A path as the file system spells it.
std::string LocalPath(const QString& path);

// A whole decimal number in first..last, or UsageError naming the option.
int ParseIndex(const QString& text, const char* option, int first, int last);

}  // namespace zentab::cli
