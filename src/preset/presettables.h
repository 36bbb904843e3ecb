#pragma once

#include "preset/presettypes.h"

// The one copy of the preset data, alive for the whole run; only the GUI thread touches it.
extern LnbTable g_LnbTable;
extern SatTable g_SatTable;
extern TpTable g_TpTable;

// Puts the three tables back to their content at program start.
void ResetPresetTables();

// Copies satellite sat's transponders, in table order, into the zero-filled start of list.
void GetSatTransponders(std::uint8_t sat, TpList& list);

// Replaces satellite sat's transponders by the entries of list before its first zero frequency, keeping the
// table grouped by satellite. Over 512 transponders in all it shows "ERROR  TOTAL TRANSPONDER" with the limit
// and how many rows did not fit, leaves the table as it was and returns false.
bool ReplaceSatTransponders(const TpList& list, std::uint8_t sat);

// Number of leading entries whose frequency is not 0.
[[nodiscard]] int CountTransponders(const TpTable& table);
// Number of leading slots with a name.
[[nodiscard]] int CountNamedSatellites(const SatTable& table);

// Moves the slots from slot on one down, with their LNBs and transponders, and leaves slot blank. False, with
// nothing moved, when the last slot is in use.
bool InsertSatelliteSlot(int slot);
// Removes the slot with its transponders; the slots below move up and the last one is blank.
void DeleteSatelliteSlot(int slot);
