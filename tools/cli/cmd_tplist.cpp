#include "base/messagebox.h"
#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"
#include "tplist/csatellitecatalog.h"
#include "tplist/listfileaction.h"
#include "tplist/tpbuildstate.h"

#include <cstdio>
#include <memory>

namespace {

void PrintLine(const QString& text)
{
    std::printf("%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

// Values of a repeated option, each of which may also be a comma-separated list.
QStringList ListValues(const CCommandLine& line, const QString& name)
{
    QStringList values;
    for (const QString& value : line.Values(name))
        values += value.split(QLatin1Char(','), Qt::SkipEmptyParts);
    return values;
}

// Applies --all, --group and --sat to the catalogue; nothing selects nothing, as "List File" with an
// empty selection. Words after the options extend the one list option given ("--sat 0130 0192").
void Select(const CCommandLine& line, CSatelliteCatalog& catalog)
{
    QStringList groups = ListValues(line, QStringLiteral("group"));
    QStringList positions = ListValues(line, QStringLiteral("sat"));
    const QStringList extra = line.Positional();
    if (!extra.isEmpty()) {
        if (groups.isEmpty() == positions.isEmpty())
            line.Fail(QStringLiteral("unexpected argument '%1'").arg(extra.first()));
        (groups.isEmpty() ? positions : groups) += extra;
    }
    if (line.IsSet(QStringLiteral("all")))
        catalog.SetAll(true);
    for (const QString& value : groups) {
        bool ok = false;
        const int group = value.toInt(&ok);
        if (!ok || group < 1 || group > CSatelliteCatalog::kGroupCount)
            line.Fail(
                QStringLiteral("--group %1: there are groups 1 to %2").arg(value).arg(CSatelliteCatalog::kGroupCount));
        catalog.SetGroup(group - 1, true);
    }
    for (const QString& value : positions) {
        int g = 0;
        int i = 0;
        if (!catalog.FindPosition(value, g, i))
            line.Fail(QStringLiteral("--sat %1: no satellite at that position in the catalogue").arg(value));
        catalog.SetSlot(g, i, true);
    }
}

} // namespace

int RunTplist(const QStringList& args)
{
    CCommandLine line(QStringLiteral("tplist"),
        QStringLiteral("[--all] [--group N[,N...]]... [--sat PPPP[,PPPP...]]..."),
        QStringLiteral("Converts the SatcoDX files of the selected satellites into TP_List/*.tp and writes List.c, "
                       "in the current directory. A run that fails changes no file and names what failed on "
                       "standard error."));
    line.AddOption({ QStringLiteral("all") }, QStringLiteral("Select every satellite of the catalogue."));
    line.AddOption(
        { QStringLiteral("group") }, QStringLiteral("Select the satellites of group N (1 to 9)."), QStringLiteral("N"));
    line.AddOption(
        { QStringLiteral("sat") }, QStringLiteral("Select the satellite at position PPPP."), QStringLiteral("PPPP"));
    line.Parse(args, 0, 1000);
    auto catalog = std::make_unique<CSatelliteCatalog>();
    Select(line, *catalog);
    auto state = std::make_unique<TpBuildState>();
    const MessageBoxHandler previous = SetMessageBoxHandler([](const QString& text, const QString&, unsigned) {
        PrintLine(text);
        return int(IDOK);
    });
    const ListFileResult result = RunListFile(*catalog, *state, PrintLine, PrintError);
    SetMessageBoxHandler(previous);
    return result == ListFileResult::Done ? kExitCompleted : kExitFailed;
}
