#include "tplist/listfileaction.h"

#include "tplist/csatellitecatalog.h"
#include "tplist/listsource.h"
#include "tplist/tpbuildstate.h"

#include <QString>

ListFileResult RunListFile(const CSatelliteCatalog& catalog, TpBuildState& state, const TpStatusSink& status)
{
    if (!catalog.CollectSelected(state)) {
        if (status)
            status(QStringLiteral(" Check the TP && Sat "));
        return ListFileResult::NothingSelected;
    }
    const bool converted = ConvertSatcoDxFiles(catalog, state, status);
    const bool written = WriteListSource(state);
    if (!converted)
        return ListFileResult::ConversionFailed;
    return written ? ListFileResult::Done : ListFileResult::ListSourceFailed;
}
