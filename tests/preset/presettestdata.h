#pragma once

#include "preset/presettypes.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstring>

// A file in tests/data/preset, and its bytes (empty when it is missing).
QString PresetTestPath(const char* name);
QByteArray ReadPresetTestFile(const char* name);

inline const std::uint8_t* Bytes(const QByteArray& data)
{
    return reinterpret_cast<const std::uint8_t*>(data.constData());
}

pre_tp_t MakeTp(std::uint16_t freq, std::uint8_t sat, std::uint16_t symbol = 27500, std::uint8_t fec = Auto,
    std::uint8_t polar = POL_Horizontal);

pre_sat_t MakeSat(const char* name, std::array<std::uint8_t, 8> settings = {});

QByteArray ReadFile(const QString& path);
bool WriteFile(const QString& path, const QByteArray& bytes);

// BuildPresetImage of the tables, into a buffer prefilled so that a byte the builder skips shows.
QByteArray BuiltImage();

// The name in a satellite slot, Latin-1 as stored.
QString SatName(int slot);

// The tables of gap.rcu, with non-zero padding bytes that an image must not carry.
void FillGapTables();
