#include "app/messagebox.h"
#include "messagerecorder.h"

#include <gtest/gtest.h>

TEST(MessageBox, RecorderSeesTextAndCaptionAndAnswersFromQueue)
{
    MessageRecorder recorder;
    recorder.QueueAnswer(IDNO);
    EXPECT_EQ(ShowMessageBox(QStringLiteral("EXIT NOW?"), QStringLiteral("EDIT PRESET DATA"), MB_YESNO), IDNO);
    EXPECT_EQ(ShowMessageBox(QStringLiteral("Transfer Completed ")), IDOK);
    EXPECT_EQ(recorder.Texts(), (QStringList{"EXIT NOW?", "Transfer Completed "}));
    EXPECT_EQ(recorder.Captions(), (QStringList{"EDIT PRESET DATA", "Tessavo2"}));
}
