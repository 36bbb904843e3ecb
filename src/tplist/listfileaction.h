#pragma once

#include "tplist/satcodxconversion.h"

enum class ListFileResult {
    NothingSelected,
    ConversionFailed,
    ListSourceFailed,
    Done,
};

// What "List File" does: collect the selection, convert it, write List.c, and end with the counts of
// lists and transponders on status. A conversion that fails leaves List.c as it was; the file or
// folder a failed run could not read or write goes to failure (to status when failure is empty).
ListFileResult RunListFile(const CSatelliteCatalog& catalog, TpBuildState& state, const TpStatusSink& status,
    const TpStatusSink& failure = {});
