#include "preset/presetsnapshot.h"

#include "preset/presettables.h"

#include <cstring>

PresetSnapshot PresetSnapshot::OfTables(PresetKeptBytes kept)
{
    return { g_LnbTable, g_SatTable, g_TpTable, std::move(kept) };
}

void PresetSnapshot::RestoreTables() const
{
    g_LnbTable = lnb;
    g_SatTable = sat;
    g_TpTable = tp;
}

// The records are trivially copyable and carry their padding as fields, so bytes compare as values do.
bool PresetSnapshot::SameTables(const PresetSnapshot& other) const
{
    return std::memcmp(lnb.data(), other.lnb.data(), sizeof lnb) == 0
        && std::memcmp(sat.data(), other.sat.data(), sizeof sat) == 0
        && std::memcmp(tp.data(), other.tp.data(), sizeof tp) == 0 && kept.head == other.kept.head
        && kept.tail == other.kept.tail;
}
