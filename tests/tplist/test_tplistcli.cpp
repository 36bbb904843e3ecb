#include "tplistworkdir.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
};

CliRun RunTplist(const QStringList& args)
{
    QProcess cli;
    cli.start(QString::fromLocal8Bit(qgetenv("TESSAVO_BIN_DIR")) + "/tessavo2-cli", QStringList { "tplist" } + args);
    EXPECT_TRUE(cli.waitForFinished(60000));
    return { cli.exitCode(), cli.readAllStandardOutput() };
}

} // namespace

TEST(TplistCli, ConvertsTheSelectionAndWritesListC)
{
    TplistWorkDir dir;
    TplistWorkDir::Write("SatcoDx1/0130.txt", TplistWorkDir::TestData("0130.txt"));
    const CliRun run = RunTplist({ "--sat", "0130" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Create File \"SatcoDx1/0130.txt\"\nCreate File \"SatcoDx1/0130.txt\"\n");
    EXPECT_EQ(TplistWorkDir::Read("List.c"), TplistWorkDir::TestData("List_one.c"));

    const CliRun group = RunTplist({ "--group", "1" });
    EXPECT_EQ(group.exitCode, 1);
    EXPECT_EQ(group.out, "File Read Error\n");
}

TEST(TplistCli, EmptySelectionAndBadArguments)
{
    TplistWorkDir dir;
    const CliRun none = RunTplist({});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, " Check the TP && Sat \n");
    EXPECT_FALSE(QFile::exists("List.c"));
    EXPECT_EQ(RunTplist({ "--group", "0" }).exitCode, 64);
    EXPECT_EQ(RunTplist({ "--sat", "0131" }).exitCode, 64);
    EXPECT_EQ(RunTplist({ "--all", "1" }).exitCode, 64);
    EXPECT_EQ(RunTplist({ "--group" }).exitCode, 64);
}
