#pragma once

#include "preset/presetkeptbytes.h"
#include "preset/presettypes.h"

// Everything an editor change can touch: the three tables and the bytes a save writes back around them.
struct PresetSnapshot {
    LnbTable lnb {};
    SatTable sat {};
    TpTable tp {};
    PresetKeptBytes kept;

    [[nodiscard]] static PresetSnapshot OfTables(PresetKeptBytes kept = {});
    // Writes the tables back; kept is the caller's to take.
    void RestoreTables() const;
    [[nodiscard]] bool SameTables(const PresetSnapshot& other) const;
};
