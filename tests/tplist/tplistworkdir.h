#pragma once

#include "messagerecorder.h"
#include "tplist/csatellitecatalog.h"
#include "tplist/tpbuildstate.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include "childprocess.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

// A fresh temporary directory with the folders SatcoDx1 to SatcoDx9, current while it lives.
class TplistWorkDir {
public:
    TplistWorkDir()
    {
        QDir::setCurrent(m_dir.path());
        for (int g = 1; g <= 9; ++g)
            QDir().mkdir(QStringLiteral("SatcoDx%1").arg(g));
    }
    ~TplistWorkDir() { QDir::setCurrent(m_previous); }

private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
};

// A working directory, recorded messages and status texts, a catalogue and a build state.
struct TplistTest : ::testing::Test {
    TplistWorkDir dir;
    MessageRecorder messages;
    QStringList status;
    std::unique_ptr<CSatelliteCatalog> catalog = std::make_unique<CSatelliteCatalog>();
    std::unique_ptr<TpBuildState> state = std::make_unique<TpBuildState>();

    [[nodiscard]] auto StatusSink()
    {
        return [this](const QString& text) { status << text; };
    }
};

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

[[nodiscard]] inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

[[nodiscard]] inline QByteArray TestData(const QString& name)
{
    return ReadFile(qEnvironmentVariable("TESSAVO_TEST_DATA") + QStringLiteral("/tplist/") + name);
}

// A SatcoDX T/R line with the fields the conversion reads and a few it does not.
inline QByteArray SatcoDxLine(const char* freq, const char* polar = "H", const char* symbol = "27500",
    const char* field12 = "1", const char* kind = "T")
{
    return QByteArray(kind) + "\tChannel\t" + freq + "\t" + polar + "\t\tx5\tx6\tx7\tx8\t" + symbol + "\tx10\tx11\t"
        + field12 + "\ttail";
}

// Lines each followed by CR LF.
inline QByteArray Lines(std::initializer_list<QByteArray> lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// A .tp file, or the part of one, listing horizontal transponders of 27500 kS/s from number 1 on.
inline QByteArray TpLines(int list, const QList<int>& freqs)
{
    QByteArray bytes;
    for (int n = 0; n < freqs.size(); ++n)
        bytes += QStringLiteral("{ %1, 27500, %2, Auto, POL_Horizontal }, /* %3 */\r\n")
                     .arg(freqs[n])
                     .arg(list)
                     .arg(n + 1)
                     .toLatin1();
    return bytes;
}
