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
#include <vector>

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

TEST_F(RcuCli, ExportOfASavedImageIsPlainTablesWithCarriedBytesAndLatin1Names)
{
    const CliResult run = Cli({ "rcu", "export", PresetTestPath("gap.rcu") });
    const QJsonObject root = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(root.keys(), QStringList({ "lnbs", "satellites", "transponders" }));
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
}

// Sets key of entry index of table (an entry past the end is appended; no key: the whole entry), or key of
// root when table is null.
void Edit(QJsonObject& root, const char* table, int index, const char* key, const QJsonValue& value)
{
    if (!table)
        return root.insert(key, value), void();
    QJsonArray array = root.value(table).toArray();
    QJsonObject entry = key ? array.at(index).toObject() : value.toObject();
    if (key)
        entry.insert(key, value);
    index < array.size() ? array.replace(index, entry) : array.append(entry);
    root.insert(table, array);
}

using Patches = std::vector<std::pair<int, QByteArray>>; // bytes put at offsets; at the end, appended

QByteArray Patched(QByteArray image, const Patches& patches)
{
    for (const auto& [at, bytes] : patches)
        image.replace(at, bytes.size(), bytes);
    return image;
}

// A file of tests/data/preset, patched, taken through check, export, an edit of the JSON and import.
struct RcuCase {
    const char* what;
    const char* file;
    Patches patches;
    const char* warning; // part of what check and export print on standard error; nullptr: nothing
    const char* table = nullptr; // the edit, as Edit takes it; neither table nor key: none
    int index = 0;
    const char* key = nullptr;
    QJsonValue value = {};
    const char* error = nullptr; // what import prints; nullptr: it writes the image with the edited patches
    Patches edited = {};
};

void PrintTo(const RcuCase& c, std::ostream* out)
{
    *out << c.what;
}

class RcuRoundTrip : public RcuCli, public testing::WithParamInterface<RcuCase> { };

// Export then import gives the image back byte for byte, and an edit of the JSON's tables reaches the image
// with the rest kept, or is named and nothing written; check and export warn where the editor would not
// show or keep something.
TEST_P(RcuRoundTrip, GivesTheSameBytesOrTheEdit)
{
    const RcuCase& c = GetParam();
    const QByteArray image = Patched(ReadPresetTestFile(c.file), c.patches);
    ASSERT_TRUE(WriteFile(Path("in.rcu"), image));
    for (const char* command : { "check", "export" }) {
        const CliResult run = Cli({ "rcu", command, Path("in.rcu") });
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_TRUE(c.warning ? run.err.contains(QLatin1String(c.warning)) : run.err.isEmpty())
            << run.err.toStdString();
    }
    QByteArray json = Cli({ "rcu", "export", Path("in.rcu") }).out;
    if (c.table || c.key) {
        QJsonObject root = QJsonDocument::fromJson(json).object();
        Edit(root, c.table, c.index, c.key, c.value);
        json = QJsonDocument(root).toJson();
    }
    ASSERT_TRUE(WriteFile(Path("in.json"), json) && WriteFile(Path("out.rcu"), "previous"));
    const CliResult run = Cli({ "rcu", "import", Path("in.json"), "--out", Path("out.rcu") });
    EXPECT_EQ(run.exitCode, c.error ? 1 : 0);
    EXPECT_EQ(run.err, c.error ? QString::fromUtf8(c.error) + QLatin1Char('\n') : QString());
    EXPECT_EQ(ReadFile(Path("out.rcu")), c.error ? QByteArray("previous") : Patched(image, c.edited));
}

const QByteArray kZero4(4, '\0');
const char* const kAny = "";
const char* const kTest = "test_section.rcu";

// gap.rcu: satellite 0 at 1124, transponders at 1148 with satellites 0, 0, 1, 2, 1180 bytes. test_section.rcu:
// preset section at 596, satellites at 720 ("AfterTest", "Second"), one transponder at 768, 776 bytes.
const RcuCase kCases[] = {
    { "empty", "empty.rcu", {}, nullptr },
    { "gap", "gap.rcu", {}, "warning: transponders[2].sat: 1 is not one of the 1" },
    // The editor keeps a foreign prefix and a test section with records; it writes 64 LNBs.
    { "shifted_prefix", "shifted_prefix.rcu", {}, nullptr },
    { "test_section", kTest, {}, "from byte 676 on (the preset section's NUM_ME_LNB)" },
    { "full_name", "gap.rcu", { { 1132, "ABCDEFGHIJKLMN" } },
        "warning: satellites[0].name: 14 characters with no end mark" },
    { "unordered", "gap.rcu", { { 1152, "\x01" } }, "warning: transponders[1].sat: 0 follows 1" },
    { "sat_200", "gap.rcu", { { 1152, "\xc8" } }, "warning: transponders[0].sat: 200 is not one of the 1" },
    { "channels_padding_trailing_bytes", "gap.rcu",
        { { 348, "\x01" }, { 352, "\x01" }, { 367, "\x07" }, { 1146, "\x06" }, { 1155, "\x09" },
            { 1180, QByteArray(60, 'x') } },
        "warning: from byte 367 on (the LNB records), the image holds what the editor does not keep" },
    { "hidden_name_zero_freq_first", kTest,
        { { 684, "\x02" }, { 752, kZero4 }, { 768, kZero4 }, { 776, QByteArray::fromHex("c80f606d00010200") } }, kAny },
    { "edited_name", kTest, {}, kAny, "satellites", 0, "name", "Edited", nullptr,
        { { 728, QByteArray("Edited\0\0\0", 9) } } },
    { "edited_freq_0", kTest, {}, kAny, "transponders", 0, "freq", 0, nullptr, { { 768, QByteArray(2, '\0') } } },
    { "added_transponder", kTest, {}, kAny, "transponders", 1, nullptr,
        QJsonObject { { "freq", 4100 }, { "symbol", 28000 }, { "sat", 0 }, { "fec", 5 }, { "polar", 2 } }, nullptr,
        { { 684, "\x02" }, { 776, QByteArray::fromHex("0410606d00050200") } } },
    { "bad_freq", kTest, {}, kAny, "transponders", 0, "freq", 65536,
        "transponders[0].freq: 65536 is out of range 0..65535" },
    { "bad_lnb_freq", kTest, {}, kAny, "lnbs", 2, "freq1", 10750.5, "lnbs[2].freq1: expected an integer" },
    { "bad_sat", kTest, {}, kAny, "transponders", 0, "sat", "2", "transponders[0].sat: expected an integer" },
    { "missing", kTest, {}, kAny, "lnbs", 1, nullptr, QJsonObject { { "freq1", 1 }, { "type", 1 } },
        "lnbs[1].freq2: missing" },
    { "bad_settings", kTest, {}, kAny, "lnbs", 1, "settings", QJsonArray { 0, 256, 0, 0 },
        "lnbs[1].settings[1]: 256 is out of range 0..255" },
    { "bad_padding", kTest, {}, kAny, "lnbs", 1, "padding", QJsonArray { 0 }, "lnbs[1].padding: expected 3 numbers" },
    { "name_not_latin1", kTest, {}, kAny, "satellites", 0, "name", QStringLiteral("Sat \u20ac"),
        "satellites[0].name: \"Sat \u20ac\" has a character that cannot be stored" },
    { "name_too_long", kTest, {}, kAny, "satellites", 0, "name", "ABCDEFGHIJKLMNO",
        "satellites[0].name: \"ABCDEFGHIJKLMNO\" is longer than 14 characters" },
    { "slot_after_gap", kTest, {}, kAny, "satellites", 2, nullptr, QJsonObject { { "slot", 3 }, { "name", "Hotbird" } },
        "satellites: slot 3 follows the unnamed slot 2 and would not be saved" },
    { "head_not_hex", kTest, {}, kAny, nullptr, 0, "head", "7g", "head: expected an even number of hex digits" },
    { "head_too_short", kTest, {}, kAny, nullptr, 0, "head", "7563722e",
        "head, tail: with the tables they make an image that rcu check refuses" },
};

INSTANTIATE_TEST_SUITE_P(Rcu, RcuRoundTrip, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<RcuCase>& info) { return std::string(info.param.what); });

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
    for (const QStringList& command : { QStringList { "rcu", "export", PresetTestPath("gap.rcu"), "--out", node },
             { "rcu", "import", Path("gap.json"), "--out", node }, { "receive", "--port", "/dev/null", "--out", node },
             { "tplist", "--all" } }) {
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
