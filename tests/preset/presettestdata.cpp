#include "presettestdata.h"

#include "preset/presetimage.h"
#include "preset/presettables.h"

#include <QFile>
#include <vector>

QString PresetTestPath(const char* name)
{
    return qEnvironmentVariable("TESSAVO_TEST_DATA") + QStringLiteral("/preset/") + QLatin1String(name);
}

QByteArray ReadPresetTestFile(const char* name)
{
    return ReadFile(PresetTestPath(name));
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray BuiltImage()
{
    std::vector<std::uint8_t> buffer(kPresetImageBufferSize, 0xCD);
    const std::size_t length = BuildPresetImage(buffer.data(), buffer.size());
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), qsizetype(length));
}

QString SatName(int slot)
{
    const auto& name = g_SatTable[std::size_t(slot)].name;
    return QString::fromLatin1(name.data(), qsizetype(qstrnlen(name.data(), uint(name.size()))));
}

pre_tp_t MakeTp(std::uint16_t freq, std::uint8_t sat, std::uint16_t symbol, std::uint8_t fec, std::uint8_t polar)
{
    return pre_tp_t { freq, symbol, sat, fec, polar, 0 };
}

pre_sat_t MakeSat(const char* name, std::array<std::uint8_t, 8> settings)
{
    pre_sat_t sat {};
    sat.settings = settings;
    std::strncpy(sat.name.data(), name, sat.name.size() - 1);
    return sat;
}

void FillGapTables()
{
    ResetPresetTables();
    g_LnbTable[3] = pre_lnb_t { 9750, 9750, 0, { 0x11, 0x22, 0x33, 0x44 }, { 0xA1, 0xA2, 0xA3 } };
    g_LnbTable[7].padding = { 1, 2, 3 };
    g_SatTable[0] = MakeSat("T\xe9l\xe9"
                            "com 2",
        { 1, 2, 3, 4, 5, 6, 0xE8, 0x03 });
    g_SatTable[2] = MakeSat("Hotbird", { 7, 7, 7, 7, 7, 7, 7, 7 });
    g_TpTable[0] = MakeTp(11778, 0, 27500, Fec3_4, POL_Vertical);
    g_TpTable[0].padding = 0x5A;
    g_TpTable[1] = MakeTp(12054, 0, 27500, Auto, POL_Horizontal);
    g_TpTable[2] = MakeTp(3880, 1, 4340, Fec1_2, POL_Auto);
    g_TpTable[3] = MakeTp(10729, 2, 22000, Fec7_8, POL_Horizontal);
    g_TpTable[3].padding = 0xFF;
}
