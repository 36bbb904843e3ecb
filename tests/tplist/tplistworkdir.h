#pragma once

#include "messagerecorder.h"
#include "tplist/csatellitecatalog.h"
#include "tplist/tpbuildstate.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

// A fresh temporary directory as the current working directory for one test, with the folders
// SatcoDx1 to SatcoDx9 and TP_List.
class TplistWorkDir {
public:
    TplistWorkDir()
        : m_previous(QDir::currentPath())
    {
        EXPECT_TRUE(m_dir.isValid());
        QDir::setCurrent(m_dir.path());
        for (int g = 1; g <= 9; ++g)
            QDir().mkdir(QStringLiteral("SatcoDx%1").arg(g));
        QDir().mkdir(QStringLiteral("TP_List"));
    }
    ~TplistWorkDir() { QDir::setCurrent(m_previous); }
    TplistWorkDir(const TplistWorkDir&) = delete;
    TplistWorkDir& operator=(const TplistWorkDir&) = delete;

private:
    QString m_previous;
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

struct CliRun {
    int exitCode = -1;
    QByteArray out;
};

// `tessavo2-cli tplist ARGS` in the current directory.
inline CliRun RunTplist(const QStringList& args)
{
    QProcess cli;
    cli.start(qEnvironmentVariable("TESSAVO_BIN_DIR") + "/tessavo2-cli", QStringList { "tplist" } + args);
    EXPECT_TRUE(cli.waitForFinished(60000));
    return { cli.exitCode(), cli.readAllStandardOutput() };
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
inline QByteArray TpLines(int list, std::initializer_list<int> freqs)
{
    QByteArray bytes;
    int number = 0;
    for (const int freq : freqs)
        bytes += QStringLiteral("{ %1, 27500, %2, Auto, POL_Horizontal }, /* %3 */\r\n")
                     .arg(freq)
                     .arg(list)
                     .arg(++number)
                     .toLatin1();
    return bytes;
}
