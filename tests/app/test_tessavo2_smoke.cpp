// Starts the real desktop binary offscreen, lets it press SET in the port dialog and checks that
// it reaches its main window.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

TEST(Tessavo2Smoke, ReachesTheMainWindowAfterSet)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TESSAVO2_SMOKE"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("TESSAVO_BIN_DIR") + QStringLiteral("/tessavo2"), QStringList());
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput(), QByteArray("main window \"Tessavo2\" 650x540 visible\n"));
}
