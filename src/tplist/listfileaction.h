#pragma once

#include "tplist/satcodxconversion.h"

enum class ListFileResult {
    NothingSelected,
    ConversionFailed,
    ListSourceFailed,
    Done,
};

// What "List File" does: collect the selection, convert it, write List.c. List.c is written after a
// conversion that ended early too, from the totals of the last complete one.
ListFileResult RunListFile(const CSatelliteCatalog& catalog, TpBuildState& state, const TpStatusSink& status);
