#include "tplist/listfileaction.h"
#include "tplist/listsource.h"
#include "tplistworkdir.h"

#include <gtest/gtest.h>

namespace {

struct ListSourceTest : TplistTest {
    ListFileResult ListFile() { return RunListFile(*catalog, *state, StatusSink()); }

    void SelectOneSatellite()
    {
        WriteFile("SatcoDx1/0130.txt", TestData("0130.txt"));
        catalog->SetSlot(0, 5, true);
    }

    // Compiles List.c with the C compiler against our stand-in of the firmware's record types and
    // returns the lines the probe program prints. As in the firmware build, each list is reachable on
    // the include path under its include name.
    QList<QByteArray> CompileAndRun(int sats, int tps)
    {
        const QString data = qEnvironmentVariable("TESSAVO_TEST_DATA") + QStringLiteral("/tplist");
        const QDir lists(QStringLiteral("TP_List"));
        QDir().mkdir(QStringLiteral("lists"));
        for (const QString& name : lists.entryList({ QStringLiteral("*.tp") }, QDir::Files))
            EXPECT_TRUE(QFile::link(lists.absoluteFilePath(name), QStringLiteral("lists/") + name.chopped(3)));
        const ProgramResult cc = RunProgram(QStringLiteral(TESSAVO_C_COMPILER),
            { "-std=gnu11", "-I", "lists", "-I", ".", "-I", data, QStringLiteral("-DEXPECTED_SATS=%1").arg(sats),
                QStringLiteral("-DEXPECTED_TPS=%1").arg(tps), data + "/listc_probe.c", "-o", "listc_probe" });
        EXPECT_EQ(cc.exitCode, 0) << cc.err.toStdString();
        return RunProgram(QDir::currentPath() + "/listc_probe", {}).out.split('\n');
    }
};

// `tessavo2-cli tplist ARGS` in the current directory: exit code and standard output.
std::pair<int, QByteArray> RunTplist(const QStringList& args)
{
    const ProgramResult cli
        = RunProgram(qEnvironmentVariable("TESSAVO_BIN_DIR") + "/tessavo2-cli", QStringList { "tplist" } + args);
    return { cli.exitCode, cli.out };
}

} // namespace

TEST_F(ListSourceTest, NoListsGiveEmptyTablesAndTheFileCompiles)
{
    ASSERT_TRUE(WriteListSource(*state));
    EXPECT_EQ(ReadFile("List.c"), TestData("List_none.c"));
    EXPECT_EQ(CompileAndRun(0, 0),
        (QList<QByteArray> { "header ******************** Selvarona PreSet Data 64 0 0", "lnb1 10600 1", "" }));
}

TEST_F(ListSourceTest, OneSatelliteWithBothBands)
{
    SelectOneSatellite();
    ASSERT_EQ(ListFile(), ListFileResult::Done);
    EXPECT_EQ(ReadFile("TP_List/0130_C.tp"), TestData("0130_C.tp"));
    EXPECT_EQ(ReadFile("TP_List/0130_K.tp"), TestData("0130_K.tp"));
    EXPECT_EQ(ReadFile("List.c"), TestData("List_one.c"));
    EXPECT_EQ(status, QStringList(2, "Create File \"SatcoDx1/0130.txt\""));
    EXPECT_EQ(messages.Count(), 0);
    const QList<QByteArray> out = CompileAndRun(2, 43);
    ASSERT_EQ(out.size(), 2 + 2 + 43 + 1);
    EXPECT_EQ(out.mid(0, 5),
        (QList<QByteArray> { "header ******************** Selvarona PreSet Data 64 2 43", "lnb1 5150 0",
            "sat 0 63 Hotbird15", "sat 1 10 Hotbird15", "tp 3700 2000 0 5 2" }));
    EXPECT_EQ(out[17], "tp 7301 27500 1 5 1");
    EXPECT_EQ(out[46], "tp 12500 27500 1 5 0");
}

// Groups SatcoDx1 to SatcoDx3, 47 satellites: every third has a Ku-band transponder only, the others a
// C-band and a Ku-band one, which gives 79 lists of one transponder each. The C-band line without symbol
// rate keeps the Ku-band line from repeating the frequency the file's C pass ended on.
TEST_F(ListSourceTest, MoreThan63Lists)
{
    for (int g = 0, index = 0; g < 3; ++g) {
        catalog->SetGroup(g, true);
        for (int i = 0; i < catalog->GroupSize(g); ++i, ++index)
            WriteFile(QStringLiteral("SatcoDx%1/%2.txt").arg(g + 1).arg(catalog->PosText(g, i)),
                index % 3 == 2 ? Lines({ "h", SatcoDxLine("11.7"), SatcoDxLine("3.6", "H", "0") })
                               : Lines({ "h", SatcoDxLine("3.7"), SatcoDxLine("11.7") }));
    }
    ASSERT_EQ(ListFile(), ListFileResult::Done);
    ASSERT_EQ(state->listCount, 79);
    EXPECT_EQ(ReadFile("List.c"), TestData("List_many.c"));
    EXPECT_EQ(ReadFile("TP_List/0965_K.tp"), TpLines(78, { 11700 }));
    const QList<QByteArray> out = CompileAndRun(79, 79);
    ASSERT_EQ(out.size(), 2 + 79 + 79 + 1);
    EXPECT_EQ(out[2], "sat 0 63 Telecom2A");
    EXPECT_EQ(out[80], "sat 78 10 Gorizont28");
    for (int row = 0; row < 79; ++row)
        EXPECT_TRUE(out[81 + row].endsWith(QByteArray(" ") + QByteArray::number(row) + " 5 1")) << out[81 + row].data();
}

TEST_F(ListSourceTest, CommandLine)
{
    EXPECT_EQ(RunTplist({}), std::pair(1, QByteArray(" Check the TP && Sat \n")));
    EXPECT_FALSE(QFile::exists("List.c"));
    for (const QStringList& bad :
        { QStringList { "--group", "0" }, { "--sat", "0131" }, { "--all", "1" }, { "--group" } })
        EXPECT_EQ(RunTplist(bad).first, 64) << bad.join(' ').toStdString();
    WriteFile("SatcoDx1/0130.txt", TestData("0130.txt"));
    EXPECT_EQ(RunTplist({ "--sat", "0130" }),
        std::pair(0, QByteArray("Create File \"SatcoDx1/0130.txt\"\nCreate File \"SatcoDx1/0130.txt\"\n")));
    EXPECT_EQ(ReadFile("List.c"), TestData("List_one.c"));
    EXPECT_EQ(RunTplist({ "--group", "1" }), std::pair(1, QByteArray("File Read Error\n")));
}

// A run that ends early leaves List.c of the last complete run; a List.c that cannot be made or
// written whole is reported.
TEST_F(ListSourceTest, FailuresKeepOrReportListC)
{
    SelectOneSatellite();
    ASSERT_EQ(ListFile(), ListFileResult::Done);
    catalog->SetSlot(0, 0, true);
    EXPECT_EQ(ListFile(), ListFileResult::ConversionFailed);
    EXPECT_EQ(messages.Texts(), QStringList { "File Read Error" });
    EXPECT_EQ(ReadFile("List.c"), TestData("List_one.c"));

    messages.Clear();
    catalog->SetSlot(0, 0, false);
    ASSERT_TRUE(QFile::remove("List.c") && QDir().mkdir("List.c"));
    EXPECT_EQ(ListFile(), ListFileResult::ListSourceFailed);
    QDir().rmdir("List.c");
    ASSERT_TRUE(QFile::link("/dev/full", "List.c"));
    EXPECT_FALSE(WriteListSource(*state));
    EXPECT_EQ(messages.Texts(), QStringList(2, "\"List.c\" File Create Error "));
}
