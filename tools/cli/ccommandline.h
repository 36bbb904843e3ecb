#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <optional>

// Exit codes shared by the subcommands.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitPortError = 2;
inline constexpr int kExitPortLost = 3;
inline constexpr int kExitUsage = 64;

// Thrown once the command has said what it had to (usage, help, version): the process ends with code.
struct CliExit {
    int code;
};

// The options of one subcommand. --help prints the usage on standard output and ends with 0; an unknown
// option, a missing or a bad value prints what is wrong and the usage on standard error and ends with 64.
class CCommandLine {
public:
    // command is what follows the program's name in the usage ("send", "rcu export"); syntax the rest.
    CCommandLine(const QString& command, const QString& syntax, const QString& description);

    void AddOption(const QStringList& names, const QString& description, const QString& valueName = {});
    // Parses args (the arguments after the command). positionalMin/Max bound the positional arguments.
    void Parse(const QStringList& args, int positionalMin, int positionalMax);

    [[nodiscard]] bool IsSet(const QString& name) const { return m_parser.isSet(name); }
    [[nodiscard]] QString Value(const QString& name) const { return m_parser.value(name); }
    [[nodiscard]] QStringList Values(const QString& name) const { return m_parser.values(name); }
    [[nodiscard]] QStringList Positional() const { return m_parser.positionalArguments(); }

    // A required option's value; its absence is a usage error.
    [[nodiscard]] QString Required(const QString& name) const;
    // The option's whole number in low..high, fallback when it is absent; anything else is a usage error.
    [[nodiscard]] long long Number(const QString& name, long long low, long long high, long long fallback) const;
    // The index of the option's value in choices, fallback when it is absent.
    [[nodiscard]] int Choice(const QString& name, const QStringList& choices, int fallback) const;

    // Prints "tessavo2-cli COMMAND: text" and the usage on standard error, then ends with 64.
    [[noreturn]] void Fail(const QString& text) const;

private:
    [[nodiscard]] QString Usage() const;

    QCommandLineParser m_parser;
    QString m_command;
    QString m_syntax;
};
