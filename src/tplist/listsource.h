#pragma once

struct TpBuildState;

// Writes List.c in the current working directory from the totals and list rows of the last complete
// conversion. A failure is shown as "\"List.c\" File Create Error " and leaves no partial file
// and an existing List.c whole (or, when it is no regular file, untouched); returns
// whether the file was written whole.
bool WriteListSource(const TpBuildState& state);
