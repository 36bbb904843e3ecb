#include "preset/presetcelltext.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, 6> kFecTexts { "1/2", "2/3", "3/4", "5/6", "7/8", "AUTO" };
constexpr std::array<const char*, 3> kPolarTexts { "AUTO", "HOR.", "VER." };
// Whole words a technician types for the abbreviated entries, by code.
constexpr std::array<const char*, 3> kPolarWords { "", "Horizontal", "Vertical" };

constexpr std::uint16_t kUniversalLow = 9750;
constexpr std::uint16_t kUniversalHigh = 10600;
const QString kUniversal = QStringLiteral("Universal");

// A text that begins exactly one entry stands for it, so a "V" pasted from a spreadsheet is stored as
// vertical; an empty or ambiguous text matches nothing.
template <std::size_t N>
std::optional<std::uint8_t> FindCode(const std::array<const char*, N>& texts, const QString& text)
{
    std::optional<std::uint8_t> prefixOf;
    int prefixCount = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const QLatin1String entry(texts[i]);
        if (text.compare(entry, Qt::CaseInsensitive) == 0)
            return std::uint8_t(i);
        if (!text.isEmpty() && entry.startsWith(text, Qt::CaseInsensitive)) {
            prefixOf = std::uint8_t(i);
            ++prefixCount;
        }
    }
    return prefixCount == 1 ? prefixOf : std::nullopt;
}

std::optional<std::uint8_t> ListCode(const QString& cell, int column)
{
    const QString text = cell.trimmed();
    if (column == kTpColumnFec)
        return FindCode(kFecTexts, text);
    if (const auto code = FindCode(kPolarTexts, text))
        return code;
    for (std::size_t i = 1; i < kPolarWords.size(); ++i) {
        if (text.compare(QLatin1String(kPolarWords[i]), Qt::CaseInsensitive) == 0)
            return std::uint8_t(i);
    }
    return std::nullopt;
}

CellVerdict Refused(const char* reason)
{
    return { QString(), QString::fromLatin1(reason) };
}

// A blank cell stays blank; a number is stored as its plain decimal text.
std::optional<QString> NumberText(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QString();
    const std::optional<std::uint16_t> number = CellNumber(text);
    return number ? std::optional(QString::number(*number)) : std::nullopt;
}

} // namespace

std::optional<QString> TransponderCellText(const TpList& list, int row, int column)
{
    if (row < 1 || row > NUM_ME_TP || list[std::size_t(row - 1)].freq == 0)
        return std::nullopt;
    const pre_tp_t& tp = list[std::size_t(row - 1)];
    switch (column) {
    case kTpColumnFrequency:
        return QString::number(tp.freq);
    case kTpColumnSymbolRate:
        return QString::number(tp.symbol);
    case kTpColumnFec:
        return QLatin1String(kFecTexts[std::min<std::size_t>(tp.fec, Auto)]);
    case kTpColumnPolarization:
        return QLatin1String(tp.polar < kPolarTexts.size() ? kPolarTexts[tp.polar] : kPolarTexts[POL_Auto]);
    default:
        return std::nullopt;
    }
}

CellVerdict AdmitTransponderText(int column, const QString& text)
{
    switch (column) {
    case kTpColumnFrequency:
    case kTpColumnSymbolRate:
        if (const std::optional<QString> number = NumberText(text))
            return { *number, {} };
        return Refused(column == kTpColumnFrequency ? "Frequency: 0 to 65535" : "Symbolrate: 0 to 65535");
    case kTpColumnFec:
    case kTpColumnPolarization:
        if (text.trimmed().isEmpty())
            return {};
        if (const std::optional<std::uint8_t> code = ListCode(text, column))
            return { QLatin1String(column == kTpColumnFec ? kFecTexts[*code] : kPolarTexts[*code]), {} };
        return Refused(
            column == kTpColumnFec ? "FEC: 1/2, 2/3, 3/4, 5/6, 7/8 or AUTO" : "Polarization: AUTO, HOR. or VER.");
    default:
        return { text, {} };
    }
}

CellVerdict AdmitLnbText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty() && kUniversal.startsWith(trimmed, Qt::CaseInsensitive))
        return { kUniversal, {} };
    if (const std::optional<QString> number = NumberText(text))
        return { *number, {} };
    return Refused("LNB Type: Universal or 0 to 65535");
}

std::uint8_t CellTextToCode(const QString& text, int column)
{
    return ListCode(text, column).value_or(column == kTpColumnFec ? std::uint8_t(Auto) : std::uint8_t(POL_Auto));
}

std::optional<std::uint16_t> CellNumber(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return 0;
    if (!std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    if (!ok || value > 65535)
        return std::nullopt;
    return std::uint16_t(value);
}

QString SatelliteName(const pre_sat_t& sat)
{
    const auto end = std::find(sat.name.begin(), sat.name.end(), '\0');
    return QString::fromLatin1(sat.name.data(), end - sat.name.begin());
}

bool StoreSatelliteName(const QString& text, pre_sat_t& sat)
{
    if (text.size() >= kSatNameSize)
        return false;
    const QByteArray bytes = text.toLatin1();
    sat.name.fill('\0');
    std::copy(bytes.begin(), bytes.end(), sat.name.begin());
    return true;
}

QString LnbCellText(const pre_lnb_t& lnb)
{
    return lnb.lnb_type != 0 ? kUniversal : QString::number(lnb.lnb_freq1);
}

void StoreLnbText(const QString& text, pre_lnb_t& lnb)
{
    if (const std::optional<std::uint16_t> number = CellNumber(text); number && !text.trimmed().isEmpty()) {
        lnb.lnb_type = 0;
        lnb.lnb_freq1 = *number;
        return;
    }
    // The cell shows no oscillators of a Universal LNB, so one that is Universal already keeps its own.
    if (lnb.lnb_type == 1)
        return;
    lnb.lnb_type = 1;
    lnb.lnb_freq1 = kUniversalHigh;
    lnb.lnb_freq2 = kUniversalLow;
}
