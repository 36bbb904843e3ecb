#include "rcujson.h"

#include "preset/presetimage.h"
#include "preset/presettables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// A bad entry in the JSON: the text names the entry and what is wrong with it.
struct ImportError {
    QString text;
};

template <std::size_t N> QJsonArray BytesToJson(const std::array<std::uint8_t, N>& bytes)
{
    QJsonArray array;
    for (std::uint8_t b : bytes)
        array.append(int(b));
    return array;
}

// All 14 bytes but the trailing zeros, so a name that fills its field or hides bytes after a zero
// comes back as it was.
QString NameToJson(const pre_sat_t& sat)
{
    qsizetype length = kSatNameSize;
    while (length > 0 && sat.name[std::size_t(length - 1)] == 0)
        --length;
    return QString::fromLatin1(sat.name.data(), length);
}

QJsonArray Array(const QJsonObject& object, const QString& key, qsizetype maxSize)
{
    const QJsonValue value = object.value(key);
    if (!value.isArray())
        throw ImportError { key + QStringLiteral(": expected an array") };
    const QJsonArray array = value.toArray();
    if (array.size() > maxSize)
        throw ImportError { key + QStringLiteral(": %1 entries, at most %2 allowed").arg(array.size()).arg(maxSize) };
    return array;
}

// Entry index of table as an object; where becomes its name in messages.
QJsonObject Entry(const QJsonArray& array, const char* table, qsizetype index, QString& where)
{
    where = QStringLiteral("%1[%2]").arg(QLatin1String(table)).arg(index);
    if (!array.at(index).isObject())
        throw ImportError { where + QStringLiteral(": expected an object") };
    return array.at(index).toObject();
}

int Integer(const QJsonValue& value, const QString& where, int low, int high)
{
    const double number = value.toDouble();
    if (!value.isDouble() || std::floor(number) != number)
        throw ImportError { where + QStringLiteral(": expected an integer") };
    if (number < low || number > high)
        throw ImportError { where
            + QStringLiteral(": %1 is out of range %2..%3").arg(number, 0, 'f', 0).arg(low).arg(high) };
    return int(number);
}

int Field(const QJsonObject& object, const QString& where, const char* key, int low, int high)
{
    const QString path = where + QLatin1Char('.') + QLatin1String(key);
    if (!object.contains(QLatin1String(key)))
        throw ImportError { path + QStringLiteral(": missing") };
    return Integer(object.value(QLatin1String(key)), path, low, high);
}

std::uint8_t ByteField(const QJsonObject& object, const QString& where, const char* key)
{
    return std::uint8_t(Field(object, where, key, 0, 255));
}

// Settings the receiver defines are optional in hand-written files and default to zero.
template <std::size_t N> void Bytes(const QJsonObject& object, const QString& where, std::array<std::uint8_t, N>& out)
{
    const QString path = where + QStringLiteral(".settings");
    out = {};
    if (!object.contains(QLatin1String("settings")))
        return;
    const QJsonValue value = object.value(QLatin1String("settings"));
    if (!value.isArray() || value.toArray().size() != qsizetype(N))
        throw ImportError { path + QStringLiteral(": expected %1 numbers").arg(N) };
    for (std::size_t i = 0; i < N; ++i)
        out[i] = std::uint8_t(Integer(value.toArray().at(qsizetype(i)), path + QStringLiteral("[%1]").arg(i), 0, 255));
}

QByteArray Name(const QJsonObject& entry, const QString& where)
{
    const QJsonValue value = entry.value(QLatin1String("name"));
    const QString name = value.toString();
    if (!value.isString() || name.isEmpty() || name.front().unicode() == 0)
        throw ImportError { where + QStringLiteral(".name: expected a text of 1 to %1 characters").arg(kSatNameSize) };
    if (name.size() > kSatNameSize)
        throw ImportError { where
            + QStringLiteral(".name: \"%1\" is longer than %2 characters").arg(name).arg(kSatNameSize) };
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() > 0xFF; }))
        throw ImportError { where + QStringLiteral(".name: \"%1\" has a character that cannot be stored").arg(name) };
    return name.toLatin1();
}

LnbTable LnbsFromJson(const QJsonObject& root)
{
    LnbTable table {};
    const QJsonArray lnbs = Array(root, QStringLiteral("lnbs"), NUM_ME_LNB);
    if (lnbs.size() != NUM_ME_LNB)
        throw ImportError { QStringLiteral("lnbs: %1 entries, expected %2").arg(lnbs.size()).arg(NUM_ME_LNB) };
    for (qsizetype i = 0; i < lnbs.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(lnbs, "lnbs", i, where);
        pre_lnb_t& lnb = table[std::size_t(i)];
        lnb.lnb_freq1 = std::uint16_t(Field(entry, where, "freq1", 0, 65535));
        lnb.lnb_freq2 = std::uint16_t(Field(entry, where, "freq2", 0, 65535));
        lnb.lnb_type = ByteField(entry, where, "type");
        Bytes(entry, where, lnb.settings);
    }
    return table;
}

SatTable SatellitesFromJson(const QJsonObject& root)
{
    SatTable table {};
    const QJsonArray satellites = Array(root, QStringLiteral("satellites"), NUM_ME_SAT);
    for (qsizetype i = 0; i < satellites.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(satellites, "satellites", i, where);
        const int slot = Field(entry, where, "slot", 0, NUM_ME_SAT - 1);
        pre_sat_t& sat = table[std::size_t(slot)];
        if (sat.name[0] != 0)
            throw ImportError { where + QStringLiteral(".slot: %1 appears twice").arg(slot) };
        const QByteArray name = Name(entry, where);
        std::memcpy(sat.name.data(), name.constData(), std::size_t(name.size()));
        Bytes(entry, where, sat.settings);
    }
    // Only the leading named slots reach the image; a later one would be dropped without a word.
    const int named = CountNamedSatellites(table);
    for (int slot = named + 1; slot < NUM_ME_SAT; ++slot) {
        if (table[std::size_t(slot)].name[0] != 0) {
            throw ImportError { QStringLiteral("satellites: slot %1 follows the unnamed slot %2 and would not be saved")
                                    .arg(slot)
                                    .arg(named) };
        }
    }
    return table;
}

// Any satellite number and code the image format holds is taken: the receiver, not this tool, decides
// what they mean.
TpTable TranspondersFromJson(const QJsonObject& root)
{
    TpTable table {};
    const QJsonArray transponders = Array(root, QStringLiteral("transponders"), NUM_ME_TP);
    for (qsizetype i = 0; i < transponders.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(transponders, "transponders", i, where);
        pre_tp_t& tp = table[std::size_t(i)];
        tp.freq = std::uint16_t(Field(entry, where, "freq", 1, 65535));
        tp.symbol = std::uint16_t(Field(entry, where, "symbol", 0, 65535));
        tp.sat_num = ByteField(entry, where, "sat");
        tp.fec = ByteField(entry, where, "fec");
        tp.polar = ByteField(entry, where, "polar");
    }
    return table;
}

// Collects one kind of warning: the first case is named, the others counted.
class WarningKind {
public:
    void Add(const QString& text)
    {
        if (m_count++ == 0)
            m_first = text;
    }
    void AppendTo(QStringList& lines) const
    {
        if (m_count == 1)
            lines << QStringLiteral("warning: ") + m_first;
        else if (m_count > 1)
            lines << QStringLiteral("warning: %1 (and %2 more like it)").arg(m_first).arg(m_count - 1);
    }

private:
    int m_count = 0;
    QString m_first;
};

} // namespace

QByteArray PresetTablesToJson()
{
    QJsonArray lnbs;
    for (const pre_lnb_t& lnb : g_LnbTable) {
        lnbs.append(QJsonObject { { "freq1", lnb.lnb_freq1 }, { "freq2", lnb.lnb_freq2 }, { "type", lnb.lnb_type },
            { "settings", BytesToJson(lnb.settings) } });
    }
    QJsonArray satellites;
    for (int slot = 0; slot < CountNamedSatellites(g_SatTable); ++slot) {
        const pre_sat_t& sat = g_SatTable[std::size_t(slot)];
        satellites.append(
            QJsonObject { { "slot", slot }, { "name", NameToJson(sat) }, { "settings", BytesToJson(sat.settings) } });
    }
    QJsonArray transponders;
    for (int i = 0; i < CountTransponders(g_TpTable); ++i) {
        const pre_tp_t& tp = g_TpTable[std::size_t(i)];
        transponders.append(QJsonObject { { "freq", tp.freq }, { "symbol", tp.symbol }, { "sat", tp.sat_num },
            { "fec", tp.fec }, { "polar", tp.polar } });
    }
    const QJsonObject root { { "lnbs", lnbs }, { "satellites", satellites }, { "transponders", transponders } };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString PresetTablesFromJson(const QJsonObject& root)
{
    try {
        const LnbTable lnbs = LnbsFromJson(root);
        const SatTable satellites = SatellitesFromJson(root);
        const TpTable transponders = TranspondersFromJson(root);
        g_LnbTable = lnbs;
        g_SatTable = satellites;
        g_TpTable = transponders;
    } catch (const ImportError& error) {
        return error.text;
    }
    return {};
}

QStringList PresetImageWarnings(const std::uint8_t* image, std::size_t length)
{
    WarningKind fullNames;
    WarningKind unknownCodes;
    WarningKind unknownSatellites;
    WarningKind outOfOrder;
    const int satellites = CountNamedSatellites(g_SatTable);
    for (int slot = 0; slot < satellites; ++slot) {
        if (g_SatTable[std::size_t(slot)].name[kSatNameSize - 1] != 0)
            fullNames.Add(QStringLiteral("satellites[%1].name: %2 characters with no end mark; the editor takes %3")
                              .arg(slot)
                              .arg(kSatNameSize)
                              .arg(kSatNameSize - 1));
    }
    for (int i = 0; i < NUM_ME_LNB; ++i) {
        if (g_LnbTable[std::size_t(i)].lnb_type > 1)
            unknownCodes.Add(QStringLiteral("lnbs[%1].type: %2 is a code the editor does not know")
                                 .arg(i)
                                 .arg(g_LnbTable[std::size_t(i)].lnb_type));
    }
    for (int i = 0; i < CountTransponders(g_TpTable); ++i) {
        const pre_tp_t& tp = g_TpTable[std::size_t(i)];
        const QString where = QStringLiteral("transponders[%1]").arg(i);
        if (tp.fec > Auto || tp.polar > POL_Vertical)
            unknownCodes.Add(where
                + QStringLiteral(": fec %1, polar %2 are codes the editor does not know").arg(tp.fec).arg(tp.polar));
        if (tp.sat_num >= satellites)
            unknownSatellites.Add(where
                + QStringLiteral(".sat: %1 is not one of the %2 named satellites; the editor does not show it")
                      .arg(tp.sat_num)
                      .arg(satellites));
        if (i > 0 && tp.sat_num < g_TpTable[std::size_t(i - 1)].sat_num)
            outOfOrder.Add(where
                + QStringLiteral(".sat: %1 follows %2; the editor expects transponders grouped by satellite in "
                                 "ascending order")
                      .arg(tp.sat_num)
                      .arg(g_TpTable[std::size_t(i - 1)].sat_num));
    }
    QStringList lines;
    for (const WarningKind* kind : { &fullNames, &unknownCodes, &unknownSatellites, &outOfOrder })
        kind->AppendTo(lines);

    std::array<std::uint8_t, kPresetImageMaxSize> saved {};
    const std::size_t savedLength = BuildPresetImage(saved.data(), saved.size());
    const auto [differs, unused] = std::mismatch(image, image + std::min(length, savedLength), saved.data());
    if (savedLength != length || differs != image + length) {
        lines << QStringLiteral("warning: from byte %1 on, the image holds what a load does not keep; export and "
                                "import give the image as the editor saves it")
                     .arg(differs - image);
    }
    return lines;
}
