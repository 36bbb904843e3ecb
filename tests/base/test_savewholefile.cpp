#include "base/savewholefile.h"

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
