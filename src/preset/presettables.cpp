#include "preset/presettables.h"

#include "base/messagebox.h"

#include <algorithm>

namespace {

constexpr pre_lnb_t kUniversalLnb { 10600, 9750, 1, {}, {} };

constexpr LnbTable InitialLnbTable()
{
    LnbTable table {};
    table.fill(kUniversalLnb);
    table[0].lnb_freq1 = 5150;
    return table;
}

} // namespace

LnbTable g_LnbTable = InitialLnbTable();
SatTable g_SatTable {};
TpTable g_TpTable {};

void ResetPresetTables()
{
    g_LnbTable = InitialLnbTable();
    g_SatTable = {};
    g_TpTable = {};
}

int CountTransponders(const TpTable& table)
{
    const auto end = std::find_if(table.begin(), table.end(), [](const pre_tp_t& tp) { return tp.freq == 0; });
    return int(end - table.begin());
}

int CountNamedSatellites(const SatTable& table)
{
    const auto end = std::find_if(table.begin(), table.end(), [](const pre_sat_t& sat) { return sat.name[0] == 0; });
    return int(end - table.begin());
}

void GetSatTransponders(std::uint8_t sat, TpList& list)
{
    list = {};
    std::copy_if(
        g_TpTable.begin(), g_TpTable.end(), list.begin(), [sat](const pre_tp_t& tp) { return tp.sat_num == sat; });
}

bool ReplaceSatTransponders(const TpList& list, std::uint8_t sat)
{
    // Count what would stay before touching the table, so a refused list keeps the satellite's old entries.
    int kept = 0;
    for (const pre_tp_t& tp : g_TpTable) {
        if (tp.sat_num == sat)
            continue;
        if (tp.freq == 0)
            break;
        ++kept;
    }
    const int added = CountTransponders(list);
    if (kept + added > NUM_ME_TP) {
        ShowMessageBox(QStringLiteral("ERROR  TOTAL TRANSPONDER\nAt most %1 transponders in all: %2 rows did not fit")
                           .arg(NUM_ME_TP)
                           .arg(kept + added - NUM_ME_TP));
        return false;
    }

    std::size_t write = 0;
    for (const pre_tp_t& tp : g_TpTable) {
        if (tp.sat_num != sat)
            g_TpTable[write++] = tp;
    }
    for (; write < g_TpTable.size(); ++write) {
        g_TpTable[write].freq = 0;
        g_TpTable[write].sat_num = 0;
    }

    const auto at = std::find_if(g_TpTable.begin(), g_TpTable.begin() + kept,
        [sat](const pre_tp_t& tp) { return tp.sat_num >= sat || tp.freq == 0; });
    std::copy_backward(at, g_TpTable.begin() + kept, g_TpTable.begin() + kept + added);
    std::copy_n(list.begin(), added, at);
    return true;
}

bool InsertSatelliteSlot(int slot)
{
    const auto last = std::size_t(NUM_ME_SAT - 1);
    const bool lastUsed = g_SatTable[last].name[0] != 0
        || std::any_of(g_TpTable.begin(), g_TpTable.end(),
            [](const pre_tp_t& tp) { return tp.freq != 0 && tp.sat_num == NUM_ME_SAT - 1; });
    if (slot < 0 || slot >= NUM_ME_SAT || lastUsed)
        return false;
    std::copy_backward(g_SatTable.begin() + slot, g_SatTable.end() - 1, g_SatTable.end());
    std::copy_backward(g_LnbTable.begin() + slot, g_LnbTable.end() - 1, g_LnbTable.end());
    g_SatTable[std::size_t(slot)] = {};
    g_LnbTable[std::size_t(slot)] = kUniversalLnb;
    // The table stays grouped in satellite order, since every number from the slot on grows alike.
    for (pre_tp_t& tp : g_TpTable) {
        if (tp.freq != 0 && tp.sat_num >= slot)
            ++tp.sat_num;
    }
    return true;
}

void DeleteSatelliteSlot(int slot)
{
    if (slot < 0 || slot >= NUM_ME_SAT)
        return;
    std::copy(g_SatTable.begin() + slot + 1, g_SatTable.end(), g_SatTable.begin() + slot);
    std::copy(g_LnbTable.begin() + slot + 1, g_LnbTable.end(), g_LnbTable.begin() + slot);
    g_SatTable.back() = {};
    g_LnbTable.back() = kUniversalLnb;
    const TpTable old = g_TpTable;
    g_TpTable = {};
    std::size_t write = 0;
    for (pre_tp_t tp : old) {
        if (tp.freq == 0)
            break;
        if (tp.sat_num == slot)
            continue;
        if (tp.sat_num > slot)
            --tp.sat_num;
        g_TpTable[write++] = tp;
    }
}
