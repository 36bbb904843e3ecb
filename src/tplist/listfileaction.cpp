#include "tplist/listfileaction.h"

#include "tplist/csatellitecatalog.h"
#include "tplist/listsource.h"
#include "tplist/tpbuildstate.h"

#include <QString>

ListFileResult RunListFile(
    const CSatelliteCatalog& catalog, TpBuildState& state, const TpStatusSink& status, const TpStatusSink& failure)
{
    const auto say = [](const TpStatusSink& sink, const QString& text) {
        if (sink)
            sink(text);
    };
    if (!catalog.CollectSelected(state)) {
        say(status, QStringLiteral(" Check the TP && Sat "));
        return ListFileResult::NothingSelected;
    }
    const TpStatusSink& reasons = failure ? failure : status;
    if (const QString reason = ConvertSatcoDxFiles(catalog, state, status); !reason.isEmpty()) {
        say(reasons, reason);
        return ListFileResult::ConversionFailed;
    }
    if (const QString reason = WriteListSource(state); !reason.isEmpty()) {
        say(reasons, reason);
        return ListFileResult::ListSourceFailed;
    }
    say(status, QStringLiteral("List.c: lists %1, transponders %2").arg(state.listCount).arg(state.tpCount));
    return ListFileResult::Done;
}
