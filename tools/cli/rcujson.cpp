#include "rcujson.h"

#include "preset/presetkeptbytes.h"
#include "preset/presettables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace {

constexpr std::size_t kHeaderSize = sizeof(data_header_t);
constexpr std::size_t kLnbRecord = sizeof(pre_lnb_t);
constexpr std::size_t kSatRecord = sizeof(pre_sat_t) + 2;
constexpr std::size_t kTpRecord = sizeof(pre_tp_t);
constexpr std::size_t kSatNameOffset = 8;
constexpr std::size_t kSatPaddingOffset = kSatNameOffset + kSatNameSize;

// A bad entry in the JSON: the text names the entry and what is wrong with it.
struct ImportError {
    QString text;
};

QJsonArray BytesToJson(const std::uint8_t* bytes, std::size_t count)
{
    QJsonArray array;
    for (std::size_t i = 0; i < count; ++i)
        array.append(int(bytes[i]));
    return array;
}

// Written only where it is not zero, so that the JSON of an image the program wrote stays plain.
void AddPadding(QJsonObject& entry, const std::uint8_t* bytes, std::size_t count)
{
    if (std::any_of(bytes, bytes + count, [](std::uint8_t b) { return b != 0; }))
        entry.insert(QStringLiteral("padding"), BytesToJson(bytes, count));
}

const std::uint8_t* Data(const QByteArray& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

QString Hex(const std::uint8_t* bytes, std::size_t count)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(count)).toHex());
}

// All 14 bytes but the trailing zeros, so a name that fills its field or hides bytes after a zero
// comes back as it was.
QString NameToJson(const std::uint8_t* name)
{
    qsizetype length = kSatNameSize;
    while (length > 0 && name[length - 1] == 0)
        --length;
    return QString::fromLatin1(reinterpret_cast<const char*>(name), length);
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

void U16Field(const QJsonObject& object, const QString& where, const char* key, std::uint8_t* out)
{
    qToLittleEndian(quint16(Field(object, where, key, 0, 65535)), out);
}

// Settings the receiver defines and padding are optional in hand-written files and default to zero.
void Bytes(const QJsonObject& object, const QString& where, const char* key, std::uint8_t* out, std::size_t count)
{
    const QString path = where + QLatin1Char('.') + QLatin1String(key);
    if (!object.contains(QLatin1String(key)))
        return;
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isArray() || value.toArray().size() != qsizetype(count))
        throw ImportError { path + QStringLiteral(": expected %1 numbers").arg(count) };
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::uint8_t(Integer(value.toArray().at(qsizetype(i)), path + QStringLiteral("[%1]").arg(i), 0, 255));
}

QByteArray Name(const QJsonObject& entry, const QString& where)
{
    const QJsonValue value = entry.value(QLatin1String("name"));
    const QString name = value.toString();
    if (!value.isString())
        throw ImportError { where
            + QStringLiteral(".name: expected a text of at most %1 characters").arg(kSatNameSize) };
    if (name.size() > kSatNameSize)
        throw ImportError { where
            + QStringLiteral(".name: \"%1\" is longer than %2 characters").arg(name).arg(kSatNameSize) };
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() > 0xFF; }))
        throw ImportError { where + QStringLiteral(".name: \"%1\" has a character that cannot be stored").arg(name) };
    return name.toLatin1();
}

template <std::size_t N> void Append(QByteArray& records, const std::array<std::uint8_t, N>& record)
{
    records.append(reinterpret_cast<const char*>(record.data()), qsizetype(N));
}

QByteArray LnbsFromJson(const QJsonObject& root)
{
    QByteArray records;
    const QJsonArray lnbs = Array(root, QStringLiteral("lnbs"), NUM_ME_LNB);
    for (qsizetype i = 0; i < lnbs.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(lnbs, "lnbs", i, where);
        std::array<std::uint8_t, kLnbRecord> record {};
        U16Field(entry, where, "freq1", record.data());
        U16Field(entry, where, "freq2", record.data() + 2);
        record[4] = ByteField(entry, where, "type");
        Bytes(entry, where, "settings", record.data() + 5, 4);
        Bytes(entry, where, "padding", record.data() + 9, 3);
        Append(records, record);
    }
    return records;
}

QByteArray SatellitesFromJson(const QJsonObject& root)
{
    const QJsonArray satellites = Array(root, QStringLiteral("satellites"), NUM_ME_SAT);
    std::array<std::array<std::uint8_t, kSatRecord>, NUM_ME_SAT> stored {};
    std::array<bool, NUM_ME_SAT> given {};
    for (qsizetype i = 0; i < satellites.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(satellites, "satellites", i, where);
        const int slot = Field(entry, where, "slot", 0, NUM_ME_SAT - 1);
        if (std::exchange(given[std::size_t(slot)], true))
            throw ImportError { where + QStringLiteral(".slot: %1 appears twice").arg(slot) };
        std::array<std::uint8_t, kSatRecord>& record = stored[std::size_t(slot)];
        const QByteArray name = Name(entry, where);
        std::memcpy(record.data() + kSatNameOffset, name.constData(), std::size_t(name.size()));
        Bytes(entry, where, "settings", record.data(), kSatNameOffset);
        Bytes(entry, where, "padding", record.data() + kSatPaddingOffset, kSatRecord - kSatPaddingOffset);
    }
    // Export writes every slot the image holds, unnamed ones too, so a slot left out below a given one is
    // a slip in a hand-written file: the editor's save would stop at the gap and drop what follows it.
    const auto count = std::size_t(satellites.size());
    const auto missing = std::find(given.begin(), given.end(), false);
    const auto after = std::find(given.begin() + std::ptrdiff_t(count), given.end(), true);
    if (after != given.end()) {
        throw ImportError { QStringLiteral("satellites: slot %1 follows the unnamed slot %2 and would not be saved")
                                .arg(after - given.begin())
                                .arg(missing - given.begin()) };
    }
    QByteArray records;
    for (std::size_t slot = 0; slot < count; ++slot)
        Append(records, stored[slot]);
    return records;
}

// Any satellite number and code the image format holds is taken: the receiver, not this tool, decides
// what they mean.
QByteArray TranspondersFromJson(const QJsonObject& root)
{
    QByteArray records;
    const QJsonArray transponders = Array(root, QStringLiteral("transponders"), NUM_ME_TP);
    for (qsizetype i = 0; i < transponders.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(transponders, "transponders", i, where);
        std::array<std::uint8_t, kTpRecord> record {};
        U16Field(entry, where, "freq", record.data());
        U16Field(entry, where, "symbol", record.data() + 2);
        record[4] = ByteField(entry, where, "sat");
        record[5] = ByteField(entry, where, "fec");
        record[6] = ByteField(entry, where, "polar");
        Bytes(entry, where, "padding", record.data() + 7, 1);
        Append(records, record);
    }
    return records;
}

// Bytes given as hex digits, or nothing when key is absent.
std::optional<QByteArray> HexField(const QJsonObject& root, const char* key)
{
    const QJsonValue value = root.value(QLatin1String(key));
    if (value.isUndefined())
        return std::nullopt;
    const QString text = value.toString();
    const bool hex = std::all_of(
        text.begin(), text.end(), [](QChar c) { return c.unicode() < 128 && std::isxdigit(c.unicode()) != 0; });
    if (!value.isString() || !hex || text.size() % 2 != 0)
        throw ImportError { QLatin1String(key) + QStringLiteral(": expected an even number of hex digits") };
    return QByteArray::fromHex(text.toLatin1());
}

// Names the part of a checked image that offset lies in.
QString PartOf(const std::uint8_t* image, std::size_t length, std::size_t offset)
{
    PresetCounts counts;
    (void)CheckPresetImage(image, length, &counts);
    const std::uint8_t* header = image + counts.section;
    const std::size_t model = 72 + qFromLittleEndian<quint32>(image + 4);
    const std::size_t satellites = counts.section + kHeaderSize + kLnbRecord * counts.lnbs;
    const std::size_t transponders = satellites + kSatRecord * counts.satellites;
    const std::size_t channels = transponders + kTpRecord * counts.transponders;
    const std::size_t end = channels + 24 * std::size_t(qFromLittleEndian<quint32>(header + 92))
        + 32 * std::size_t(qFromLittleEndian<quint32>(header + 96));
    const char* const countNames[] = { "NUM_ME_LNB", "NUM_ME_SAT", "NUM_ME_TP", "NUM_ME_DCHAN", "NUM_ME_ACHAN" };
    const std::size_t count
        = offset >= counts.section + 80 ? std::min<std::size_t>((offset - counts.section - 80) / 4, 4) : 0;
    const std::pair<std::size_t, QString> parts[] = {
        { 8, QStringLiteral("the prefix length") },
        { model, QStringLiteral("the prefix") },
        { model + 80, QStringLiteral("the model text") },
        { counts.section, QStringLiteral("the test section") },
        { counts.section + 80, QStringLiteral("the preset section's title") },
        { counts.section + kHeaderSize,
            QStringLiteral("the preset section's %1").arg(QLatin1String(countNames[count])) },
        { satellites, QStringLiteral("the LNB records") },
        { transponders, QStringLiteral("the satellite records") },
        { channels, QStringLiteral("the transponder records") },
        { end, QStringLiteral("the channel records") },
    };
    for (const auto& [before, name] : parts) {
        if (offset < before)
            return name;
    }
    return QStringLiteral("the bytes after the preset section");
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

QByteArray PresetImageToJson(const std::uint8_t* image, std::size_t length)
{
    PresetCounts counts;
    if (!CheckPresetImage(image, length, &counts))
        return {};
    const std::uint8_t* p = image + counts.section + kHeaderSize;
    QJsonArray lnbs;
    for (std::uint32_t i = 0; i < counts.lnbs; ++i, p += kLnbRecord) {
        QJsonObject entry { { "freq1", qFromLittleEndian<quint16>(p) }, { "freq2", qFromLittleEndian<quint16>(p + 2) },
            { "type", p[4] }, { "settings", BytesToJson(p + 5, 4) } };
        AddPadding(entry, p + 9, 3);
        lnbs.append(entry);
    }
    QJsonArray satellites;
    for (std::uint32_t slot = 0; slot < counts.satellites; ++slot, p += kSatRecord) {
        QJsonObject entry { { "slot", int(slot) }, { "name", NameToJson(p + kSatNameOffset) },
            { "settings", BytesToJson(p, kSatNameOffset) } };
        AddPadding(entry, p + kSatPaddingOffset, kSatRecord - kSatPaddingOffset);
        satellites.append(entry);
    }
    QJsonArray transponders;
    for (std::uint32_t i = 0; i < counts.transponders; ++i, p += kTpRecord) {
        QJsonObject entry { { "freq", qFromLittleEndian<quint16>(p) }, { "symbol", qFromLittleEndian<quint16>(p + 2) },
            { "sat", p[4] }, { "fec", p[5] }, { "polar", p[6] } };
        AddPadding(entry, p + 7, 1);
        transponders.append(entry);
    }
    QJsonObject root { { "lnbs", lnbs }, { "satellites", satellites }, { "transponders", transponders } };
    const PresetKeptBytes kept = KeptBytesOf(image, length);
    if (!kept.head.isEmpty())
        root.insert(QStringLiteral("head"), Hex(Data(kept.head), std::size_t(kept.head.size())));
    if (!kept.tail.isEmpty())
        root.insert(QStringLiteral("tail"), Hex(Data(kept.tail), std::size_t(kept.tail.size())));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString PresetImageFromJson(const QJsonObject& root, QByteArray& image)
{
    try {
        const QByteArray lnbs = LnbsFromJson(root);
        const QByteArray satellites = SatellitesFromJson(root);
        const QByteArray transponders = TranspondersFromJson(root);
        const PresetCounts counts { std::uint32_t(std::size_t(lnbs.size()) / kLnbRecord),
            std::uint32_t(std::size_t(satellites.size()) / kSatRecord),
            std::uint32_t(std::size_t(transponders.size()) / kTpRecord) };
        // The tables say how many records there are, whatever the head held.
        const QByteArray built = JoinPresetImage(HexField(root, "head").value_or(QByteArray()), counts,
            lnbs + satellites + transponders, HexField(root, "tail").value_or(QByteArray()));
        if (built.isEmpty())
            throw ImportError { QStringLiteral(
                "head, tail: with the tables they make an image that rcu check refuses") };
        image = built;
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

    const QByteArray saved = BuildPresetImageKeeping(KeptBytesOf(image, length));
    const auto savedLength = std::size_t(saved.size());
    const auto [differs, unused] = std::mismatch(image, image + std::min(length, savedLength), Data(saved));
    if (savedLength != length || differs != image + length) {
        const auto offset = std::size_t(differs - image);
        lines << QStringLiteral("warning: from byte %1 on (%2), the image holds what the editor does not keep; export "
                                "and import keep it, a save from the editor does not")
                     .arg(offset)
                     .arg(PartOf(image, length, offset));
    }
    return lines;
}
