#include "base/localpath.h"
#include "base/savewholefile.h"
#include "plantedlink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>

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

// A link another user planted in a sticky world-writable folder is refused, whether it names the file
// itself, a file not made yet ('d') or a folder on the way ('f'); our own link, the folder owner's, or
// one in a folder that is not sticky or not world-writable is followed.
TEST(SaveWholeFile, RefusesPlantedLinksOnlyWhereTheKernelRuleWould)
{
    const std::tuple<mode_t, uid_t, uid_t, char, bool> cases[] = { { 01777, 0, kOtherUser, ' ', true },
        { 01777, 0, kOtherUser, 'd', true }, { 01777, 0, kOtherUser, 'f', true }, { 01777, 0, 0, ' ', false },
        { 01777, kOtherUser, kOtherUser, ' ', false }, { 0777, 0, kOtherUser, ' ', false },
        { 01755, 0, kOtherUser, ' ', false } };
    for (const auto& [mode, folderOwner, linkOwner, where, refused] : cases) {
        QTemporaryDir dir;
        const auto at = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
        ASSERT_TRUE(QDir(dir.path()).mkpath("mine") && QDir(dir.path()).mkpath("shared"));
        ASSERT_TRUE(SaveWholeFile(at("mine/target"), "old").isEmpty());
        const QString victim = at(where == 'd' ? "mine/absent" : "mine/target");
        if (!PlantLink(
                at(where == 'f' ? "shared/dir" : "shared/out"), where == 'f' ? at("mine") : victim, linkOwner, mode)
            || ::chown(QFile::encodeName(at("shared")).constData(), folderOwner, folderOwner) != 0)
            GTEST_SKIP() << "planting a link of another user needs root";
        const QString path = at(where == 'f' ? "shared/dir/target" : "shared/out");
        SCOPED_TRACE(path.toStdString() + " " + std::to_string(mode) + " " + std::to_string(linkOwner));

        const QString reason = SaveWholeFile(path, "new");
        EXPECT_EQ(reason.startsWith(path + ": refused: ") && reason.contains("symbolic link"), refused)
            << reason.toStdString();
        QFile file(victim);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>",
            refused ? (where == 'd' ? "<missing>" : "old") : "new");
    }
}

// A name is bytes: one that is not UTF-8 is written under those bytes, not under Qt's reading of them.
TEST(SaveWholeFile, WritesUnderANameThatIsNotUtf8)
{
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.path()) + "/n\xE9.c";
    EXPECT_EQ(SaveWholeFile(DecodePath(name), "new"), QString());
    struct stat info { };
    EXPECT_EQ(::stat(name.constData(), &info), 0);
    EXPECT_EQ(info.st_size, 3);
    ::unlink(name.constData());
}
