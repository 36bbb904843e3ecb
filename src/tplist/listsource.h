#pragma once

#include <QString>

struct TpBuildState;

// Writes List.c in the current working directory from the totals and list rows of the last complete
// conversion. A failure is shown as "\"List.c\" File Create Error " and leaves no partial file
// and an existing List.c as it was; returns why, starting with the file's name, or an empty text
// when the file was written whole.
[[nodiscard]] QString WriteListSource(const TpBuildState& state);
