#include "preset/presetimage.h"

#include "preset/presettables.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr std::uint8_t kMagic[4] = { 'u', 'c', 'r', '.' };
constexpr std::uint32_t kWrittenPrefixLength = 4;
constexpr std::size_t kModelSize = 80;
constexpr std::size_t kHeaderSize = sizeof(data_header_t);
constexpr std::size_t kTitleStars = 20;
constexpr std::size_t kLnbRecord = 12;
constexpr std::size_t kSatRecord = 24;
constexpr std::size_t kTpRecord = 8;
constexpr std::size_t kDigitalChannelRecord = 24;
constexpr std::size_t kAnalogChannelRecord = 32;
// sizeof includes the terminating NUL, which the comparison must see as well
constexpr char kModelText[] = "Veltronica VL5300 Preprogram Data";
constexpr std::string_view kTestTitle = "******************** Mass Production Test Data";
constexpr std::string_view kPresetTitle = "******************** Selvarona PreSet Data";

std::uint16_t ReadU16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void WriteU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void WriteU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

bool TitleStarred(const std::uint8_t* title)
{
    return std::all_of(title, title + kTitleStars, [](std::uint8_t c) { return c == '*'; });
}

void WriteHeader(std::uint8_t* p, std::string_view title, const PresetCounts& counts)
{
    std::memcpy(p, title.data(), title.size());
    WriteU32(p + 80, counts.lnbs);
    WriteU32(p + 84, counts.satellites);
    WriteU32(p + 88, counts.transponders);
}

// Bytes of the records a section header announces. Summed in 64 bits: five 32-bit counts times at most
// 32 bytes cannot overflow them.
std::uint64_t SectionRecordsSize(const std::uint8_t* header)
{
    const std::uint8_t* c = header + 80;
    return kLnbRecord * ReadU32(c) + kSatRecord * ReadU32(c + 4) + kTpRecord * ReadU32(c + 8)
        + kDigitalChannelRecord * ReadU32(c + 12) + kAnalogChannelRecord * ReadU32(c + 16);
}

// Offset of the preset section header of a sound image, or 0.
std::uint64_t LocatePresetSection(const std::uint8_t* image, std::size_t length, PresetCounts& counts)
{
    if (!image || length < 8 || length > kPresetImageBufferSize || std::memcmp(image, kMagic, sizeof kMagic) != 0)
        return 0;
    const std::uint64_t model = 72 + std::uint64_t(ReadU32(image + 4));
    const std::uint64_t test = model + kModelSize;
    if (test + kHeaderSize > length)
        return 0;
    if (std::memcmp(image + model, kModelText, sizeof kModelText) != 0 || !TitleStarred(image + test))
        return 0;
    const std::uint64_t preset = test + kHeaderSize + SectionRecordsSize(image + test);
    if (preset + kHeaderSize > length || !TitleStarred(image + preset))
        return 0;
    const std::uint8_t* c = image + preset + 80;
    counts = { ReadU32(c), ReadU32(c + 4), ReadU32(c + 8), std::size_t(preset) };
    if (counts.lnbs > NUM_ME_LNB || counts.satellites > NUM_ME_SAT || counts.transponders > NUM_ME_TP)
        return 0;
    if (preset + kHeaderSize + SectionRecordsSize(image + preset) > length)
        return 0;
    return preset;
}

} // namespace

bool CheckPresetImage(const std::uint8_t* image, std::size_t length, PresetCounts* counts)
{
    PresetCounts found;
    if (LocatePresetSection(image, length, found) == 0)
        return false;
    if (counts)
        *counts = found;
    return true;
}

bool ParsePresetImage(const std::uint8_t* image, std::size_t length)
{
    PresetCounts counts;
    const std::uint64_t preset = LocatePresetSection(image, length, counts);
    if (preset == 0)
        return false;

    g_LnbTable = {};
    g_SatTable = {};
    g_TpTable = {};
    const std::uint8_t* p = image + preset + kHeaderSize;
    for (std::uint32_t i = 0; i < counts.lnbs; ++i, p += kLnbRecord) {
        pre_lnb_t& lnb = g_LnbTable[i];
        lnb.lnb_freq1 = ReadU16(p);
        lnb.lnb_freq2 = ReadU16(p + 2);
        lnb.lnb_type = p[4];
        std::memcpy(lnb.settings.data(), p + 5, lnb.settings.size());
        std::memcpy(lnb.padding.data(), p + 9, lnb.padding.size());
    }
    for (std::uint32_t i = 0; i < counts.satellites; ++i, p += kSatRecord) {
        pre_sat_t& sat = g_SatTable[i];
        std::memcpy(sat.settings.data(), p, sat.settings.size());
        std::memcpy(sat.name.data(), p + 8, sat.name.size());
    }
    for (std::uint32_t i = 0; i < counts.transponders; ++i, p += kTpRecord) {
        pre_tp_t& tp = g_TpTable[i];
        tp.freq = ReadU16(p);
        tp.symbol = ReadU16(p + 2);
        tp.sat_num = p[4];
        tp.fec = p[5];
        tp.polar = p[6];
        tp.padding = p[7];
    }
    return true;
}

void WritePresetImageHead(std::uint8_t* buffer, const PresetCounts& counts)
{
    std::memset(buffer, 0, kPresetRecordsOffset);
    std::memcpy(buffer, kMagic, sizeof kMagic);
    WriteU32(buffer + 4, kWrittenPrefixLength);
    std::memcpy(buffer + 72 + kWrittenPrefixLength, kModelText, sizeof kModelText);
    WriteHeader(buffer + 156, kTestTitle, PresetCounts {});
    WriteHeader(buffer + 256, kPresetTitle, counts);
}

std::size_t BuildPresetImage(std::uint8_t* buffer, std::size_t capacity)
{
    if (!buffer || capacity < kPresetImageMaxSize)
        return 0;
    const PresetCounts counts { NUM_ME_LNB, std::uint32_t(CountNamedSatellites(g_SatTable)),
        std::uint32_t(CountTransponders(g_TpTable)) };
    const std::size_t length
        = kPresetImageHeaderSize + kSatRecord * counts.satellites + kTpRecord * counts.transponders;
    std::memset(buffer, 0, length);
    WritePresetImageHead(buffer, counts);

    std::uint8_t* p = buffer + kPresetRecordsOffset;
    for (const pre_lnb_t& lnb : g_LnbTable) {
        WriteU16(p, lnb.lnb_freq1);
        WriteU16(p + 2, lnb.lnb_freq2);
        p[4] = lnb.lnb_type;
        std::memcpy(p + 5, lnb.settings.data(), lnb.settings.size());
        p += kLnbRecord;
    }
    for (std::uint32_t i = 0; i < counts.satellites; ++i, p += kSatRecord) {
        std::memcpy(p, g_SatTable[i].settings.data(), g_SatTable[i].settings.size());
        std::memcpy(p + 8, g_SatTable[i].name.data(), g_SatTable[i].name.size());
    }
    for (std::uint32_t i = 0; i < counts.transponders; ++i, p += kTpRecord) {
        const pre_tp_t& tp = g_TpTable[i];
        WriteU16(p, tp.freq);
        WriteU16(p + 2, tp.symbol);
        p[4] = tp.sat_num;
        p[5] = tp.fec;
        p[6] = tp.polar;
    }
    return length;
}
