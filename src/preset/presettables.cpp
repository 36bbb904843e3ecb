#include "preset/presettables.h"

#include "base/messagebox.h"

#include <algorithm>

namespace {

constexpr LnbTable InitialLnbTable()
{
    LnbTable table {};
    for (auto& lnb : table) {
        lnb.lnb_freq1 = 10600;
        lnb.lnb_freq2 = 9750;
        lnb.lnb_type = 1;
    }
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
        ShowMessageBox(QStringLiteral("ERROR  TOTAL TRANSPONDER"));
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
