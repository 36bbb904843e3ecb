#include "preset/presetcelltext.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, 6> kFecTexts { "1/2", "2/3", "3/4", "5/6", "7/8", "AUTO" };
constexpr std::array<const char*, 3> kPolarTexts { "AUTO", "HOR.", "VER." };

constexpr std::uint16_t kUniversalLow = 9750;
constexpr std::uint16_t kUniversalHigh = 10600;

// A text that begins exactly one entry stands for it, so a "V" pasted from a spreadsheet is stored as
// vertical rather than silently as automatic; an empty or ambiguous text matches nothing.
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

} // namespace

std::optional<QString> TransponderCellText(const TpList& list, int row, int column)
{
    if (row < 1 || row > NUM_ME_TP)
        return std::nullopt;
    const pre_tp_t& tp = list[std::size_t(row - 1)];
    switch (column) {
    case kTpColumnFrequency:
        return tp.freq == 0 ? std::nullopt : std::optional(QString::number(tp.freq));
    case kTpColumnSymbolRate:
        return tp.symbol == 0 ? std::nullopt : std::optional(QString::number(tp.symbol));
    case kTpColumnFec:
        return QLatin1String(kFecTexts[std::min<std::size_t>(tp.fec, Auto)]);
    case kTpColumnPolarization:
        return QLatin1String(tp.polar < kPolarTexts.size() ? kPolarTexts[tp.polar] : kPolarTexts[POL_Auto]);
    default:
        return std::nullopt;
    }
}

std::uint8_t CellTextToCode(const QString& text, int column)
{
    if (column == kTpColumnFec)
        return FindCode(kFecTexts, text).value_or(Auto);
    return FindCode(kPolarTexts, text).value_or(POL_Auto);
}

std::uint16_t CellNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    // Unsigned arithmetic wraps modulo 2^32, so the low 16 bits stay exact however long the number is.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = value * 10u + std::uint32_t(text[i].unicode() - u'0');
    return std::uint16_t(negative ? 0u - value : value);
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
    if (lnb.lnb_type != 0)
        return QStringLiteral("Universal");
    // Padded to 4 characters so that even an oscillator below 1000 reads back as a Standard LNB.
    return QStringLiteral("%1").arg(lnb.lnb_freq1, 4);
}

void StoreLnbText(const QString& text, pre_lnb_t& lnb)
{
    if (text.size() == 4 || text.size() == 5) {
        lnb.lnb_type = 0;
        lnb.lnb_freq1 = CellNumber(text);
        return;
    }
    lnb.lnb_type = 1;
    lnb.lnb_freq1 = kUniversalHigh;
    lnb.lnb_freq2 = kUniversalLow;
}
