#include "base/savewholefile.h"
#include "plantedlink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

// A write cut short (a full disk, here a file size limit) must fail and leave the old file whole.
TEST(SaveWholeFile, AShortWriteFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.c"));
    ASSERT_TRUE(SaveWholeFile(path, "old").isEmpty());

    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small { 512, limit.rlim_max };
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const QString reason = SaveWholeFile(path, QByteArray(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(reason.startsWith(path)) << reason.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
}

namespace {

// Where the planted link stands: the file itself, a link to a file not made yet, a folder on the way,
// or the second link of a chain whose first is ours.
enum class Layout { File, Dangling, Folder, Chain };

struct PlantedCase {
    const char* name;
    mode_t folderMode;
    uid_t folderOwner;
    uid_t linkOwner;
    Layout layout;
    bool refused;
};

void PrintTo(const PlantedCase& c, std::ostream* out)
{
    *out << c.name;
}

class PlantedLinks : public testing::TestWithParam<PlantedCase> { };

TEST_P(PlantedLinks, AreRefusedOnlyWhereTheKernelRuleWould)
{
    const PlantedCase& c = GetParam();
    QTemporaryDir dir;
    const auto at = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    ASSERT_TRUE(QDir(dir.path()).mkpath("mine") && QDir(dir.path()).mkpath("shared"));
    ASSERT_TRUE(SaveWholeFile(at("mine/target"), "old").isEmpty());
    const bool dangling = c.layout == Layout::Dangling;
    const QString victim = at(dangling ? "mine/absent" : "mine/target");
    const bool folder = c.layout == Layout::Folder;
    if (!PlantLink(at(folder ? "shared/dir" : "shared/out"), folder ? at("mine") : victim, c.linkOwner, c.folderMode)
        || ::chown(QFile::encodeName(at("shared")).constData(), c.folderOwner, c.folderOwner) != 0)
        GTEST_SKIP() << "planting a link of another user needs root";
    if (c.layout == Layout::Chain)
        ASSERT_TRUE(QFile::link("../shared/out", at("mine/own")));
    const QString path = at(folder ? "shared/dir/target" : c.layout == Layout::Chain ? "mine/own" : "shared/out");

    const QString reason = SaveWholeFile(path, "new");
    EXPECT_EQ(reason.startsWith(path + ": refused: ") && reason.contains("symbolic link"), c.refused)
        << reason.toStdString();
    QFile file(victim);
    EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>",
        c.refused ? (dangling ? "<missing>" : "old") : "new");
}

INSTANTIATE_TEST_SUITE_P(Rule, PlantedLinks,
    testing::Values(PlantedCase { "other's link in /tmp", 01777, 0, kOtherUser, Layout::File, true },
        PlantedCase { "dangling", 01777, 0, kOtherUser, Layout::Dangling, true },
        PlantedCase { "folder on the way", 01777, 0, kOtherUser, Layout::Folder, true },
        PlantedCase { "end of our own link", 01777, 0, kOtherUser, Layout::Chain, true },
        PlantedCase { "our own link", 01777, 0, 0, Layout::File, false },
        PlantedCase { "the folder owner's link", 01777, kOtherUser, kOtherUser, Layout::File, false },
        PlantedCase { "not sticky", 0777, 0, kOtherUser, Layout::File, false },
        PlantedCase { "not world-writable", 01755, 0, kOtherUser, Layout::File, false }),
    [](const testing::TestParamInfo<PlantedCase>& info) { return std::to_string(info.index); });

} // namespace
