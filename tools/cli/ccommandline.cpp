#include "ccommandline.h"

#include "cliio.h"

#include <cstdio>

CCommandLine::CCommandLine(const QString& command, const QString& syntax, const QString& description)
    : m_command(command)
    , m_syntax(syntax)
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(
        QCommandLineOption({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help.")));
}

void CCommandLine::AddOption(const QStringList& names, const QString& description, const QString& valueName)
{
    m_parser.addOption(QCommandLineOption(names, description, valueName));
}

void CCommandLine::Parse(const QStringList& args, int positionalMin, int positionalMax)
{
    if (!m_parser.parse(QStringList { QStringLiteral("tessavo2-cli") } + args))
        Fail(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        std::fputs(Usage().toLocal8Bit().constData(), stdout);
        throw CliExit { kExitCompleted };
    }
    const qsizetype count = Positional().size();
    if (count < positionalMin)
        Fail(QStringLiteral("%1 missing").arg(m_syntax.section(QLatin1Char(' '), -1)));
    if (count > positionalMax)
        Fail(QStringLiteral("unexpected argument '%1'").arg(Positional().value(positionalMax)));
}

QString CCommandLine::Required(const QString& name) const
{
    const QString value = Value(name);
    if (value.isEmpty())
        Fail(QStringLiteral("--%1 is required").arg(name));
    return value;
}

long long CCommandLine::Number(const QString& name, long long low, long long high, long long fallback) const
{
    if (!IsSet(name))
        return fallback;
    bool ok = false;
    const QString text = Value(name);
    const long long value = text.toLongLong(&ok);
    if (!ok || value < low || value > high)
        Fail(QStringLiteral("--%1 %2: expected a whole number from %3 to %4").arg(name, text).arg(low).arg(high));
    return value;
}

int CCommandLine::Choice(const QString& name, const QStringList& choices, int fallback) const
{
    if (!IsSet(name))
        return fallback;
    const qsizetype index = choices.indexOf(Value(name));
    if (index < 0)
        Fail(QStringLiteral("--%1 %2: expected one of %3").arg(name, Value(name), choices.join(QLatin1Char('|'))));
    return int(index);
}

void CCommandLine::Fail(const QString& text) const
{
    PrintError(QStringList { QStringLiteral("tessavo2-cli"), m_command }.join(QLatin1Char(' ')).trimmed()
        + QStringLiteral(": ") + text);
    std::fputs(Usage().toLocal8Bit().constData(), stderr);
    throw CliExit { kExitUsage };
}

QString CCommandLine::Usage() const
{
    const QString help = m_parser.helpText();
    const QString command = m_command.isEmpty() ? QString() : m_command + QLatin1Char(' ');
    return QStringLiteral("Usage: tessavo2-cli ") + command + m_syntax + help.mid(help.indexOf(QLatin1Char('\n')));
}
