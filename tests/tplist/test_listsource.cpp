#include "plantedlink.h"
#include "tplist/listfileaction.h"
#include "tplist/listsource.h"
#include "tplistworkdir.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace {

struct ListSourceTest : TplistTest {
    QStringList failures;

    ListFileResult ListFile()
    {
        return RunListFile(*catalog, *state, StatusSink(), [this](const QString& text) { failures << text; });
    }

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

// `tessavo2-cli ARGS` in the current directory: exit code, standard output, standard error.
using CliRun = std::tuple<int, QByteArray, QByteArray>;

CliRun Cli(const QStringList& args)
{
    const ProgramResult cli = RunProgram(qEnvironmentVariable("TESSAVO_BIN_DIR") + "/tessavo2-cli", args);
    return { cli.exitCode, cli.out, cli.err };
}

} // namespace

TEST_F(ListSourceTest, NoListsGiveEmptyTablesAndTheFileCompiles)
{
    ASSERT_EQ(WriteListSource(*state), "");
    EXPECT_EQ(ReadFile("List.c"), TestData("List_none.c"));
    EXPECT_EQ(CompileAndRun(0, 0),
        (QList<QByteArray> { "header ******************** Selvarona PreSet Data 64 0 0", "lnb1 10600 1", "" }));
}

TEST_F(ListSourceTest, OneSatelliteWithBothBandsMakesTheListFolder)
{
    SelectOneSatellite();
    ASSERT_EQ(ListFile(), ListFileResult::Done);
    EXPECT_EQ(ReadFile("TP_List/0130_C.tp"), TestData("0130_C.tp"));
    EXPECT_EQ(ReadFile("TP_List/0130_K.tp"), TestData("0130_K.tp"));
    EXPECT_EQ(ReadFile("List.c"), TestData("List_one.c"));
    EXPECT_EQ(status,
        QStringList(2, "Create File \"SatcoDx1/0130.txt\"") + QStringList { "List.c: lists 2, transponders 43" });
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
    EXPECT_EQ(Cli({ "tplist" }), (CliRun { 1, " Check the TP && Sat \n", "" }));
    EXPECT_FALSE(QFile::exists("List.c"));
    for (const QStringList& bad :
        { QStringList { "--group", "0" }, { "--sat", "0131" }, { "--all", "1" }, { "--group" } })
        EXPECT_EQ(std::get<0>(Cli(QStringList { "tplist" } + bad)), 64) << bad.join(' ').toStdString();
    WriteFile("SatcoDx1/0130.txt", TestData("0130.txt"));
    const QByteArray created = "Create File \"SatcoDx1/0130.txt\"\n";
    EXPECT_EQ(Cli({ "tplist", "--sat", "0130" }),
        (CliRun { 0, created + created + "List.c: lists 2, transponders 43\n", "" }));
    EXPECT_EQ(ReadFile("List.c"), TestData("List_one.c"));
    EXPECT_EQ(Cli({ "tplist", "--group", "1" }),
        (CliRun { 1, "File Read Error\n", "SatcoDx1/0030.txt: No such file or directory\n" }));

    WriteFile("victim", "old");
    if (!PlantLink("out.json", "victim"))
        GTEST_SKIP() << "planting a link of another user needs root";
    const QString rcu = qEnvironmentVariable("TESSAVO_TEST_DATA") + "/preset/gap.rcu";
    const auto [exitCode, out, err] = Cli({ "rcu", "export", rcu, "--out", "out.json" });
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(err.contains("\nout.json: refused: out.json is a symbolic link")) << err.data();
    EXPECT_EQ(ReadFile("victim"), "old");
}

// After a good run, a second one with a satellite that fails shows its message, names what failed and
// changes no file: List.c stays, and so do the lists (a failed conversion saves none) and the totals.
// The path is made a folder ('f'), a FIFO ('p'), an empty file ('e') or a link another user planted ('l').
TEST_F(ListSourceTest, FailedRunsChangeNoFileAndNameWhatFailed)
{
    const char* planted = ": refused: %1 is a symbolic link of another user in a shared folder";
    const std::tuple<const char*, char, const char*, const char*> cases[] = {
        { "SatcoDx1/0160.txt", 'f', "File Read Error", ": not a regular file" },
        { "SatcoDx1/0160.txt", 'p', "File Read Error", ": not a regular file" },
        { "SatcoDx1/0160.txt", 'e', " Fgets Erro ", ": no heading line" },
        { "TP_List/0160_K.tp", 'f', "File Write Error", ": not a regular file; left as it is" },
        { "List.c", 'f', "\"List.c\" File Create Error ", ": not a regular file; left as it is" },
        { "TP_List/0160_C.tp", 'l', "File Write Error", planted },
        { "List.c", 'l', "\"List.c\" File Create Error ", planted },
    };
    for (const auto& [path, how, message, reason] : cases) {
        SCOPED_TRACE(path + std::string(1, how));
        const TplistWorkDir fresh;
        state = std::make_unique<TpBuildState>();
        catalog->FillCatalog();
        SelectOneSatellite();
        ASSERT_EQ(ListFile(), ListFileResult::Done);
        WriteFile("TP_List/0130_C.tp", "kept");
        WriteFile("victim", "old");
        WriteFile("SatcoDx1/0160.txt", TestData("0130.txt"));
        catalog->SetSlot(0, 6, true);
        const QString name = QString::fromLatin1(path);
        QFile::remove(name);
        if (!(how == 'f'         ? QDir().mkdir(name)
                    : how == 'p' ? ::mkfifo(path, 0600) == 0
                    : how == 'e' ? QFile(name).open(QIODevice::WriteOnly)
                                 : PlantLink(name, QDir::current().filePath("victim"))))
            GTEST_SKIP() << "planting a link of another user needs root";
        messages.Clear();
        failures.clear();
        const auto files
            = [] { return std::tuple(ReadFile("List.c"), ReadFile("victim"), ReadFile("TP_List/0130_C.tp")); };
        const auto before = std::tuple(files(), state->tpCount, state->listCount, state->lastFreq);
        const bool listSource = name == "List.c";

        EXPECT_EQ(ListFile(), listSource ? ListFileResult::ListSourceFailed : ListFileResult::ConversionFailed);
        EXPECT_EQ(messages.Texts(), QStringList { message });
        EXPECT_EQ(failures, QStringList { name + QString::fromLatin1(reason).replace("%1", name) });
        EXPECT_EQ(std::get<0>(files()), std::get<0>(std::get<0>(before)));
        if (!listSource) {
            EXPECT_EQ(std::tuple(files(), state->tpCount, state->listCount, state->lastFreq), before);
        }
    }
}
