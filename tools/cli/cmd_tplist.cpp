#include "base/messagebox.h"
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

// Applies "--all", "--group N..." or "--sat PPPP..." to the catalogue (nothing selects nothing, as
// "List File" with an empty selection); false for bad usage.
bool SelectFromArguments(const QStringList& args, CSatelliteCatalog& catalog)
{
    if (args.isEmpty())
        return true;
    const QString mode = args.first();
    const QStringList values = args.mid(1);
    if (mode == QLatin1String("--all")) {
        if (!values.isEmpty())
            return false;
        catalog.SetAll(true);
        return true;
    }
    if (values.isEmpty() || (mode != QLatin1String("--group") && mode != QLatin1String("--sat")))
        return false;
    for (const QString& value : values) {
        if (mode == QLatin1String("--group")) {
            bool ok = false;
            const int group = value.toInt(&ok);
            if (!ok || group < 1 || group > CSatelliteCatalog::kGroupCount) {
                std::fprintf(stderr, "tplist: no group %s (groups are 1 to 9)\n", value.toLocal8Bit().constData());
                return false;
            }
            catalog.SetGroup(group - 1, true);
        } else {
            int g = 0;
            int i = 0;
            if (!catalog.FindPosition(value, g, i)) {
                std::fprintf(
                    stderr, "tplist: no satellite at position %s in the catalogue\n", value.toLocal8Bit().constData());
                return false;
            }
            catalog.SetSlot(g, i, true);
        }
    }
    return true;
}

} // namespace

int RunTplist(const QStringList& args)
{
    auto catalog = std::make_unique<CSatelliteCatalog>();
    if (!SelectFromArguments(args, *catalog))
        return kExitUsage;
    auto state = std::make_unique<TpBuildState>();
    const MessageBoxHandler previous = SetMessageBoxHandler([](const QString& text, const QString&, unsigned) {
        PrintLine(text);
        return int(IDOK);
    });
    const ListFileResult result = RunListFile(*catalog, *state, PrintLine);
    SetMessageBoxHandler(previous);
    return result == ListFileResult::Done ? 0 : 1;
}
