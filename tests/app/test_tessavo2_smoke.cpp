// Starts the real desktop binary offscreen, lets it press SET in the port dialog and checks that
// it reaches its main window.
#include "childprocess.h"

#include <gtest/gtest.h>

TEST(Tessavo2Smoke, ReachesTheMainWindowAfterSet)
{
    const ProgramResult run = RunProgram(qEnvironmentVariable("TESSAVO_BIN_DIR") + QStringLiteral("/tessavo2"), {},
        { QStringLiteral("QT_QPA_PLATFORM=offscreen"), QStringLiteral("TESSAVO2_SMOKE=1") });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QByteArray("main window \"Tessavo2\" 650x540 visible\n"));
}
