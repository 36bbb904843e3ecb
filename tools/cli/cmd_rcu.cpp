#include "commands.h"
#include "preset/presetimage.h"
#include "preset/presettables.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kExitFailure = 1;
constexpr int kSatNameMax = kSatNameSize - 1;

// A bad entry in the JSON: the text names the entry and what is wrong with it.
struct ImportError {
    QString text;
};

void PrintLine(std::FILE* out, const QString& text)
{
    std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
}

// Reads at most one byte more than an image may have, so an oversized file fails the checks.
bool LoadImage(const QString& path, QByteArray& image)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    image = file.read(qint64(kPresetImageBufferSize) + 1);
    return true;
}

bool LoadTables(const QString& path, PresetCounts* counts = nullptr)
{
    QByteArray image;
    bool loaded = LoadImage(path, image);
    const auto* data = reinterpret_cast<const std::uint8_t*>(image.constData());
    loaded = loaded && CheckPresetImage(data, std::size_t(image.size()), counts)
        && ParsePresetImage(data, std::size_t(image.size()));
    if (!loaded)
        PrintLine(stderr, QStringLiteral("File Open Error !! (2)"));
    return loaded;
}

template <std::size_t N> QJsonArray BytesToJson(const std::array<std::uint8_t, N>& bytes)
{
    QJsonArray array;
    for (std::uint8_t b : bytes)
        array.append(int(b));
    return array;
}

QByteArray TablesToJson()
{
    QJsonArray lnbs;
    for (const pre_lnb_t& lnb : g_LnbTable) {
        lnbs.append(QJsonObject { { "freq1", lnb.lnb_freq1 }, { "freq2", lnb.lnb_freq2 }, { "type", lnb.lnb_type },
            { "settings", BytesToJson(lnb.settings) } });
    }
    QJsonArray satellites;
    for (int slot = 0; slot < NUM_ME_SAT; ++slot) {
        const pre_sat_t& sat = g_SatTable[std::size_t(slot)];
        if (sat.name[0] == 0)
            continue;
        const QString name = QString::fromLatin1(sat.name.data(), qsizetype(strnlen(sat.name.data(), kSatNameSize)));
        satellites.append(
            QJsonObject { { "slot", slot }, { "name", name }, { "settings", BytesToJson(sat.settings) } });
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
    if (!value.isString() || name.isEmpty())
        throw ImportError { where + QStringLiteral(".name: expected a text of 1 to %1 characters").arg(kSatNameMax) };
    if (name.size() > kSatNameMax)
        throw ImportError { where
            + QStringLiteral(".name: \"%1\" is longer than %2 characters").arg(name).arg(kSatNameMax) };
    for (QChar c : name) {
        if (c.unicode() == 0 || c.unicode() > 0xFF)
            throw ImportError { where
                + QStringLiteral(".name: \"%1\" has a character that cannot be stored").arg(name) };
    }
    return name.toLatin1();
}

void JsonToTables(const QJsonObject& root)
{
    LnbTable lnbTable {};
    const QJsonArray lnbs = Array(root, QStringLiteral("lnbs"), NUM_ME_LNB);
    if (lnbs.size() != NUM_ME_LNB)
        throw ImportError { QStringLiteral("lnbs: %1 entries, expected %2").arg(lnbs.size()).arg(NUM_ME_LNB) };
    for (qsizetype i = 0; i < lnbs.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(lnbs, "lnbs", i, where);
        pre_lnb_t& lnb = lnbTable[std::size_t(i)];
        lnb.lnb_freq1 = std::uint16_t(Field(entry, where, "freq1", 0, 65535));
        lnb.lnb_freq2 = std::uint16_t(Field(entry, where, "freq2", 0, 65535));
        lnb.lnb_type = std::uint8_t(Field(entry, where, "type", 0, 1));
        Bytes(entry, where, lnb.settings);
    }

    SatTable satTable {};
    const QJsonArray satellites = Array(root, QStringLiteral("satellites"), NUM_ME_SAT);
    for (qsizetype i = 0; i < satellites.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(satellites, "satellites", i, where);
        const int slot = Field(entry, where, "slot", 0, NUM_ME_SAT - 1);
        pre_sat_t& sat = satTable[std::size_t(slot)];
        if (sat.name[0] != 0)
            throw ImportError { where + QStringLiteral(".slot: %1 appears twice").arg(slot) };
        const QByteArray name = Name(entry, where);
        std::memcpy(sat.name.data(), name.constData(), std::size_t(name.size()));
        Bytes(entry, where, sat.settings);
    }
    // Only the leading named slots reach the image; a later one would be dropped without a word.
    const int named = CountNamedSatellites(satTable);
    for (int slot = named + 1; slot < NUM_ME_SAT; ++slot) {
        if (satTable[std::size_t(slot)].name[0] != 0) {
            throw ImportError { QStringLiteral("satellites: slot %1 follows the unnamed slot %2 and would not be saved")
                                    .arg(slot)
                                    .arg(named) };
        }
    }

    TpTable tpTable {};
    const QJsonArray transponders = Array(root, QStringLiteral("transponders"), NUM_ME_TP);
    for (qsizetype i = 0; i < transponders.size(); ++i) {
        QString where;
        const QJsonObject entry = Entry(transponders, "transponders", i, where);
        pre_tp_t& tp = tpTable[std::size_t(i)];
        tp.freq = std::uint16_t(Field(entry, where, "freq", 1, 65535));
        tp.symbol = std::uint16_t(Field(entry, where, "symbol", 0, 65535));
        tp.sat_num = std::uint8_t(Field(entry, where, "sat", 0, NUM_ME_SAT - 1));
        tp.fec = std::uint8_t(Field(entry, where, "fec", Fec1_2, Auto));
        tp.polar = std::uint8_t(Field(entry, where, "polar", POL_Auto, POL_Vertical));
        if (i > 0 && tp.sat_num < tpTable[std::size_t(i - 1)].sat_num) {
            throw ImportError { where
                + QStringLiteral(".sat: %1 follows %2; transponders must be grouped by satellite in ascending order")
                      .arg(tp.sat_num)
                      .arg(tpTable[std::size_t(i - 1)].sat_num) };
        }
    }

    g_LnbTable = lnbTable;
    g_SatTable = satTable;
    g_TpTable = tpTable;
}

int Check(const QStringList& args)
{
    if (args.size() != 1)
        return kExitUsage;
    PresetCounts counts;
    if (!LoadTables(args[0], &counts))
        return kExitFailure;
    std::printf("NUM_ME_LNB %u\nNUM_ME_SAT %u\nNUM_ME_TP %u\n", unsigned(counts.lnbs), unsigned(counts.satellites),
        unsigned(counts.transponders));
    return 0;
}

int Export(const QStringList& args)
{
    QString out;
    if (args.size() == 3 && args[1] == QLatin1String("--out"))
        out = args[2];
    else if (args.size() != 1)
        return kExitUsage;
    if (!LoadTables(args[0]))
        return kExitFailure;
    const QByteArray json = TablesToJson();
    if (out.isEmpty()) {
        std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
        return 0;
    }
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        PrintLine(stderr, QStringLiteral("File Open Error!!"));
        return kExitFailure;
    }
    return 0;
}

int Import(const QStringList& args)
{
    if (args.size() != 3 || args[1] != QLatin1String("--out"))
        return kExitUsage;
    QFile in(args[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        PrintLine(stderr, args[0] + QStringLiteral(": cannot be read"));
        return kExitFailure;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &parseError);
    if (document.isNull() || !document.isObject()) {
        const QString reason = document.isNull()
            ? parseError.errorString() + QStringLiteral(" at offset %1").arg(parseError.offset)
            : QStringLiteral("expected an object");
        PrintLine(stderr, args[0] + QStringLiteral(": ") + reason);
        return kExitFailure;
    }
    try {
        JsonToTables(document.object());
    } catch (const ImportError& error) {
        PrintLine(stderr, error.text);
        return kExitFailure;
    }
    std::array<std::uint8_t, kPresetImageMaxSize> image {};
    const std::size_t length = BuildPresetImage(image.data(), image.size());
    QSaveFile file(args[2]);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char*>(image.data()), qint64(length)) != qint64(length)
        || !file.commit()) {
        PrintLine(stderr, QStringLiteral("File Open Error!!"));
        return kExitFailure;
    }
    return 0;
}

} // namespace

int RunRcu(const QStringList& args)
{
    if (args.isEmpty())
        return kExitUsage;
    const QString sub = args[0];
    if (sub == QLatin1String("check"))
        return Check(args.mid(1));
    if (sub == QLatin1String("export"))
        return Export(args.mid(1));
    if (sub == QLatin1String("import"))
        return Import(args.mid(1));
    return kExitUsage;
}
