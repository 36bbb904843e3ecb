#include "../tools/emulatorprocess.h"
#include "preset/presetimage.h"
#include "preset/presettables.h"
#include "presettestdata.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// stdoutPath, when given, takes the program's standard output; dir is its working directory.
CliResult Cli(const QStringList& args, const char* stdoutPath = nullptr, const QString& dir = {})
{
    const QByteArray where = QFile::encodeName(dir);
    return CliProcess(args, {}, [stdoutPath, where] {
        if ((stdoutPath && ::dup2(::open(stdoutPath, O_WRONLY), 1) < 0) || (!where.isEmpty() && ::chdir(where) != 0))
            ::_exit(127);
    }).Finish();
}

class RcuCli : public testing::Test {
protected:
    QString Path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    QJsonObject ExportGap()
    {
        const CliResult run = Cli({ "rcu", "export", PresetTestPath("gap.rcu") });
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out).object();
    }

    QTemporaryDir m_dir;
};

TEST_F(RcuCli, CheckPrintsThePresetCountsOrTheLoadError)
{
    const CliResult good = Cli({ "rcu", "check", PresetTestPath("gap.rcu") });
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_EQ(good.out, "NUM_ME_LNB 64\nNUM_ME_SAT 1\nNUM_ME_TP 4\n");

    QByteArray oversized = ReadPresetTestFile("gap.rcu");
    oversized.append(100001 - oversized.size(), '\0');
    ASSERT_TRUE(WriteFile(Path("big.rcu"), oversized));
    for (const QString& bad : { PresetTestPath("make_expected.py"), Path("missing.rcu"), Path("big.rcu") }) {
        const CliResult run = Cli({ "rcu", "check", bad });
        EXPECT_EQ(run.exitCode, 1) << bad.toStdString();
        EXPECT_EQ(run.err, QStringLiteral("File Open Error !! (2)\n"));
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(RcuCli, ExportKeepsCarriedBytesAndLatin1NamesAndImportRebuildsTheSameBytes)
{
    const QJsonObject root = ExportGap();
    ASSERT_EQ(root.value("lnbs").toArray().size(), 64);
    EXPECT_EQ(root.value("lnbs").toArray().at(3).toObject(),
        (QJsonObject {
            { "freq1", 9750 }, { "freq2", 9750 }, { "type", 0 }, { "settings", QJsonArray { 17, 34, 51, 68 } } }));
    EXPECT_EQ(root.value("satellites").toArray(),
        (QJsonArray { QJsonObject { { "slot", 0 }, { "name", QStringLiteral("T\u00e9l\u00e9com 2") },
            { "settings", QJsonArray { 1, 2, 3, 4, 5, 6, 232, 3 } } } }));
    const QJsonArray tps = root.value("transponders").toArray();
    ASSERT_EQ(tps.size(), 4);
    EXPECT_EQ(tps.at(3).toObject(),
        (QJsonObject { { "freq", 10729 }, { "symbol", 22000 }, { "sat", 2 }, { "fec", 4 }, { "polar", 1 } }));

    ASSERT_EQ(Cli({ "rcu", "export", PresetTestPath("gap.rcu"), "--out", Path("gap.json") }).exitCode, 0);
    const CliResult import = Cli({ "rcu", "import", Path("gap.json"), "--out", Path("gap.rcu") });
    EXPECT_EQ(import.exitCode, 0) << import.err.toStdString();
    EXPECT_EQ(ReadFile(Path("gap.rcu")), ReadPresetTestFile("gap.rcu"));
}

// Images the editor's grids cannot show whole: export warns, and import gives them back byte for byte.
TEST_F(RcuCli, ImagesTheEditorCannotShowRoundTripWithAWarning)
{
    struct Case {
        const char* what;
        std::function<void()> fill;
        const char* warning;
    };
    const Case cases[] = {
        { "full_name", [] { std::memcpy(g_SatTable[0].name.data(), "ABCDEFGHIJKLMN", kSatNameSize); },
            "satellites[0].name: 14 characters with no end mark" },
        { "unordered",
            [] {
                g_SatTable[1] = MakeSat("B");
                g_TpTable[0] = MakeTp(11000, 1);
                g_TpTable[1] = MakeTp(12000, 0);
            },
            "transponders[1].sat: 0 follows 1" },
        { "sat_200", [] { g_TpTable[0] = MakeTp(11000, 200); }, "transponders[0].sat: 200 is not one of the 1" },
    };
    for (const Case& c : cases) {
        ResetPresetTables();
        g_SatTable[0] = MakeSat("A");
        c.fill();
        std::array<std::uint8_t, kPresetImageMaxSize> image {};
        const QByteArray bytes(
            reinterpret_cast<const char*>(image.data()), qsizetype(BuildPresetImage(image.data(), image.size())));
        ASSERT_TRUE(WriteFile(Path("in.rcu"), bytes));
        for (const char* command : { "check", "export" }) {
            const CliResult run = Cli({ "rcu", command, Path("in.rcu") });
            EXPECT_EQ(run.exitCode, 0) << c.what;
            EXPECT_TRUE(run.err.startsWith(QStringLiteral("warning: ") + c.warning)) << run.err.toStdString();
        }
        ASSERT_EQ(Cli({ "rcu", "export", Path("in.rcu"), "--out", Path("in.json") }).exitCode, 0);
        const CliResult import = Cli({ "rcu", "import", Path("in.json"), "--out", Path("out.rcu") });
        EXPECT_EQ(import.exitCode, 0) << c.what << import.err.toStdString();
        EXPECT_EQ(ReadFile(Path("out.rcu")), bytes) << c.what;
    }
}

struct BadJson {
    const char* what;
    std::function<void(QJsonObject&)> edit;
    const char* error;
};

void PrintTo(const BadJson& bad, std::ostream* out)
{
    *out << bad.what;
}

void EditEntry(QJsonObject& root, const char* table, int index, const char* key, const QJsonValue& value)
{
    QJsonArray array = root.value(table).toArray();
    QJsonObject entry = array.at(index).toObject();
    if (value.isUndefined())
        entry.remove(key);
    else
        entry.insert(key, value);
    array.replace(index, entry);
    root.insert(table, array);
}

class RcuImportError : public RcuCli, public testing::WithParamInterface<BadJson> { };

TEST_P(RcuImportError, NamesTheEntryAndWritesNothing)
{
    QJsonObject root = ExportGap();
    GetParam().edit(root);
    ASSERT_TRUE(WriteFile(Path("bad.json"), QJsonDocument(root).toJson()));
    ASSERT_TRUE(WriteFile(Path("out.rcu"), "previous"));

    const CliResult run = Cli({ "rcu", "import", Path("bad.json"), "--out", Path("out.rcu") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QString::fromUtf8(GetParam().error) + QLatin1Char('\n'));
    EXPECT_EQ(ReadFile(Path("out.rcu")), QByteArray("previous"));
}

QJsonObject WithSatellite(QJsonObject root, int slot, const char* name)
{
    QJsonArray sats = root.value("satellites").toArray();
    sats.append(QJsonObject { { "slot", slot }, { "name", name } });
    root.insert("satellites", sats);
    return root;
}

const BadJson kBadJson[] = {
    { "fec", [](QJsonObject& r) { EditEntry(r, "transponders", 2, "fec", 256); },
        "transponders[2].fec: 256 is out of range 0..255" },
    { "zero_freq", [](QJsonObject& r) { EditEntry(r, "transponders", 1, "freq", 0); },
        "transponders[1].freq: 0 is out of range 1..65535" },
    { "sat_text", [](QJsonObject& r) { EditEntry(r, "transponders", 3, "sat", "2"); },
        "transponders[3].sat: expected an integer" },
    { "missing", [](QJsonObject& r) { EditEntry(r, "lnbs", 63, "freq2", QJsonValue::Undefined); },
        "lnbs[63].freq2: missing" },
    { "settings_byte",
        [](QJsonObject& r) {
            EditEntry(r, "lnbs", 1, "settings", QJsonArray { 0, 256, 0, 0 });
        },
        "lnbs[1].settings[1]: 256 is out of range 0..255" },
    { "name_not_latin1", [](QJsonObject& r) { EditEntry(r, "satellites", 0, "name", QStringLiteral("Sat \u20ac")); },
        "satellites[0].name: \"Sat \u20ac\" has a character that cannot be stored" },
    { "name_too_long", [](QJsonObject& r) { EditEntry(r, "satellites", 0, "name", "ABCDEFGHIJKLMNO"); },
        "satellites[0].name: \"ABCDEFGHIJKLMNO\" is longer than 14 characters" },
    { "slot_after_gap", [](QJsonObject& r) { r = WithSatellite(r, 2, "Hotbird"); },
        "satellites: slot 2 follows the unnamed slot 1 and would not be saved" },
};

INSTANTIATE_TEST_SUITE_P(Rejected, RcuImportError, testing::ValuesIn(kBadJson),
    [](const testing::TestParamInfo<BadJson>& info) { return std::string(info.param.what); });

TEST_F(RcuCli, MalformedJsonAndBadUsage)
{
    ASSERT_TRUE(WriteFile(Path("broken.json"), "{\"lnbs\": ["));
    const CliResult broken = Cli({ "rcu", "import", Path("broken.json"), "--out", Path("out.rcu") });
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.err.startsWith(Path("broken.json") + QStringLiteral(": "))) << broken.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.rcu")));

    // Usage errors print the usage on standard error with 64, --help on standard output with 0.
    for (const QStringList& args : { QStringList { "rcu", "import", Path("broken.json") }, { "rcu", "export" },
             { "rcu", "verify", "x" }, { "rcu" }, { "send", "--baud", "0", "x" }, { "bogus" }, { "--help" },
             { "rcu", "export", "-h" }, { "send", "--help" } }) {
        const CliResult run = Cli(args);
        const bool help = args.last().startsWith("-h") || args.last() == "--help";
        EXPECT_EQ(run.exitCode, help ? 0 : 64) << args.join(' ').toStdString();
        EXPECT_TRUE((help ? QString::fromLocal8Bit(run.out) : run.err).contains("Usage: tessavo2-cli"));
    }
    EXPECT_TRUE(Cli({ "send", "--baud", "0", "--port", "x", "--kind", "code", "f" })
                    .err.startsWith("tessavo2-cli send: --baud 0: "));
    EXPECT_TRUE(Cli({ "--version" }).out.startsWith("tessavo2-cli 2."));
}

// Output that cannot be stored fails the command; a target that is no regular file stays as it was.
TEST_F(RcuCli, OutputThatCannotBeStoredFailsAndDevicesStayDevices)
{
    ASSERT_EQ(Cli({ "rcu", "export", PresetTestPath("gap.rcu"), "--out", Path("gap.json") }).exitCode, 0);
    for (const char* command : { "check", "export" }) {
        const CliResult full = Cli({ "rcu", command, PresetTestPath("gap.rcu") }, "/dev/full");
        EXPECT_EQ(full.exitCode, 1) << command;
        EXPECT_TRUE(full.err.contains("standard output: No space left on device")) << full.err.toStdString();
    }
    if (::geteuid() != 0)
        GTEST_SKIP() << "making device nodes needs root";
    const QString node = Path("node");
    ASSERT_EQ(::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 7)), 0);
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("list"));
    ASSERT_EQ(::mknod(QFile::encodeName(Path("list/List.c")).constData(), S_IFCHR | 0600, makedev(1, 7)), 0);
    const QStringList commands[] = {
        { "rcu", "export", PresetTestPath("gap.rcu"), "--out", node },
        { "rcu", "import", Path("gap.json"), "--out", node },
        { "receive", "--port", "/dev/null", "--out", node },
        { "tplist", "--all" },
    };
    for (const QStringList& command : commands) {
        const CliResult run = Cli(command, nullptr, Path("list"));
        EXPECT_EQ(run.exitCode, 1) << command.join(' ').toStdString();
        struct stat info { };
        for (const QString& device : { node, Path("list/List.c") }) {
            ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &info), 0);
            EXPECT_TRUE(S_ISCHR(info.st_mode)) << command.join(' ').toStdString();
        }
    }
}

} // namespace
