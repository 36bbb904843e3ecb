#include "serial/ccomm.h"
#include "transfer/receivestore.h"
#include "transfertestkit.h"

#include <gtest/gtest.h>

namespace {

QByteArray Pattern(int size, int seed = 1)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed * 17 + i / 251) & 0xFF);
    return bytes;
}

class TransferSend : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pty.Ok());
        m_engine.SetPortDevice(m_pty.SlavePath());
        // Long enough that a busy machine never turns a late answer into a time-out; the tests of
        // silence shorten them.
        m_engine.SetTimerIntervals(3000, 3000);
        m_engine.SetTransferView(&m_view);
    }
    void ShortTimers() { m_engine.SetTimerIntervals(300, 600); }

    // Sends bytes as a file of the given kind; true when the transfer completed.
    bool SendFile(int kind, const QByteArray& bytes)
    {
        m_file.setAutoRemove(true);
        EXPECT_TRUE(m_file.open());
        m_file.write(bytes);
        m_file.flush();
        m_view.m_kind = kind;
        m_engine.SetSelectedPath(m_file.fileName());
        EXPECT_EQ(m_engine.StartFileTransfer(), 1);
        bool success = false;
        EXPECT_TRUE(WaitForTransfer(m_engine, &success));
        return success;
    }

    std::vector<QByteArray> DataFrames(const std::vector<QByteArray>& units)
    {
        std::vector<QByteArray> frames;
        for (const QByteArray& u : units)
            if (u.size() > 1)
                frames.push_back(u);
        return frames;
    }

    PtyPair m_pty;
    MessageRecorder m_boxes;
    RecordingView m_view;
    CTransferEngine m_engine;
    QTemporaryFile m_file;
};

TEST_F(TransferSend, EmptySourceSendsSyncThenOnlyTheEndFrame)
{
    ScriptedReceiver receiver(m_pty, [](int, const QByteArray&) { return kAck; });
    ASSERT_TRUE(SendFile(2, {}));
    const auto units = receiver.Units(2);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0], QByteArrayLiteral("U"));
    QByteArray end = QByteArray::fromHex("5500392000") + QByteArray(32, '\0') + QByteArray::fromHex("7DF04417");
    EXPECT_EQ(units[1], end);
    EXPECT_EQ(m_view.Texts(), QStringList { QStringLiteral("Sync Dectected ...") });
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Completed ") });
    EXPECT_EQ(m_view.m_enabled, 1);
}

struct KindCase {
    const char* name;
    int kind;
    int size;
    char type;
    std::vector<int> frameSizes;
    const char* ackText;
};

class TransferSendKinds : public TransferSend, public testing::WithParamInterface<KindCase> { };

TEST_P(TransferSendKinds, FramesPaddingAndTexts)
{
    const KindCase& c = GetParam();
    ScriptedReceiver receiver(m_pty, [](int, const QByteArray&) { return kAck; });
    const QByteArray source = Pattern(c.size);
    ASSERT_TRUE(SendFile(c.kind, source));
    const auto frames = DataFrames(receiver.Units(c.frameSizes.size() + 2));
    ASSERT_EQ(frames.size(), c.frameSizes.size() + 1);
    QByteArray payloads;
    QStringList expectedTexts { QStringLiteral("Sync Dectected ...") };
    for (size_t i = 0; i < c.frameSizes.size(); ++i) {
        const QByteArray& f = frames[i];
        EXPECT_EQ(f.size(), c.frameSizes[i]) << "frame " << i;
        EXPECT_EQ(f[0], 'U');
        EXPECT_EQ(uint8_t(f[1]), i);
        EXPECT_EQ(f[2], c.type);
        payloads += f.mid(5, f.size() - 9);
        expectedTexts << QString::fromLatin1(c.ackText) + QString::number(i + 1);
    }
    // Code and loader chunks are padded with zeros to 1024 bytes; preset chunks go unpadded.
    EXPECT_EQ(payloads.left(c.size), source);
    EXPECT_EQ(payloads.mid(c.size), QByteArray(payloads.size() - c.size, '\0'));
    EXPECT_EQ(uint8_t(frames.back()[1]), c.frameSizes.size());
    EXPECT_EQ(frames.back()[2], '9');
    EXPECT_EQ(m_view.Texts(), expectedTexts);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransferSendKinds,
    testing::Values(KindCase { "code_1025", 2, 1025, '5', { 1033, 1033 }, "Trnasmited Count " },
        KindCase { "preset_1025", 3, 1025, '6', { 1033, 10 }, "Trnasmited Count " },
        KindCase { "loader_3000", 4, 3000, '7', { 1033, 1033, 1033 }, "Transmited Count " },
        KindCase { "code_exact_2048", 2, 2048, '5', { 1033, 1033 }, "Trnasmited Count " }),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST_F(TransferSend, NakOtherAndSilenceResendTheSameFrameByteForByte)
{
    // Units: 0 sync, 1 frame (N), 2 again (N), 3 again (X), 4 again (silent), 5 again (A), 6 second frame (A).
    ScriptedReceiver receiver(m_pty, [](int index, const QByteArray&) {
        switch (index) {
        case 1:
        case 2:
            return QByteArrayLiteral("UN\n");
        case 3:
            return QByteArrayLiteral("UX\n");
        case 4:
            return QByteArray();
        default:
            return kAck;
        }
    });
    ShortTimers();
    ASSERT_TRUE(SendFile(2, Pattern(1500)));
    const auto units = receiver.Units(8);
    ASSERT_EQ(units.size(), 8u);
    for (int i = 2; i <= 5; ++i)
        EXPECT_EQ(units[i], units[1]) << "resend " << i;
    EXPECT_EQ(uint8_t(units[6][1]), 1);
    EXPECT_EQ(m_view.Texts(),
        (QStringList { "Sync Dectected ...", "NAK  Data = 1", "NAK  Data = 2", "Other Answer this Data", "No Answer 1",
            "Trnasmited Count 1", "Trnasmited Count 2" }));
}

TEST_F(TransferSend, UnansweredSyncsAreCountedAndNoiseOrSplitRepliesStillCount)
{
    // Three silent syncs; a reply split across two deliveries; a noise byte ahead of a reply.
    ScriptedReceiver receiver(m_pty, [&](int index, const QByteArray&) {
        if (index < 3)
            return QByteArray();
        if (index == 4) {
            m_pty.Send(QByteArrayLiteral("U"));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return QByteArrayLiteral("A\n");
        }
        if (index == 5)
            return QByteArrayLiteral("\xFFUA\n");
        return kAck;
    });
    ShortTimers();
    ASSERT_TRUE(SendFile(2, Pattern(2048)));
    EXPECT_EQ(m_view.Texts(),
        (QStringList { "No Answer 1", "No Answer 2", "No Answer 3", "Sync Dectected ...", "Trnasmited Count 1",
            "Trnasmited Count 2" }));
    EXPECT_EQ(receiver.Units(7).size(), 7u);
}

TEST_F(TransferSend, ReceiveBufferFullOfNoiseIsClearedAtTheTimeOut)
{
    // 1300 bytes without a LF fill the port's buffer; unless the time-out clears them, the answer to
    // the frame sent again would find no room and the transfer would wait for ever.
    ScriptedReceiver receiver(m_pty,
        [](int index, const QByteArray&) { return index == 1 ? QByteArray(CComm::kReceiveBufferSize, 'z') : kAck; });
    ShortTimers();
    ASSERT_TRUE(SendFile(2, Pattern(100)));
    EXPECT_EQ(m_view.Texts(), (QStringList { "Sync Dectected ...", "No Answer 1", "Trnasmited Count 1" }));
}

TEST_F(TransferSend, TerminateToTheThirdFrameEndsWithoutEndFrame)
{
    ScriptedReceiver receiver(
        m_pty, [](int index, const QByteArray&) { return index == 3 ? QByteArrayLiteral("UT\n") : kAck; });
    EXPECT_FALSE(SendFile(2, Pattern(5000)));
    const auto units = receiver.Units(5, 200);
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units.back()[2], '5');
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Error !! ") });
    EXPECT_EQ(m_view.m_enabled, 1);
    EXPECT_FALSE(m_engine.IsTransferRunning());
}

TEST_F(TransferSend, PacketNumbersWrapAfter255)
{
    ScriptedReceiver receiver(m_pty, [](int, const QByteArray&) { return kAck; });
    ASSERT_TRUE(SendFile(2, Pattern(257 * 1024 + 1)));
    const auto frames = DataFrames(receiver.Units(260));
    ASSERT_EQ(frames.size(), 259u);
    EXPECT_EQ(uint8_t(frames[255][1]), 255);
    EXPECT_EQ(uint8_t(frames[256][1]), 0);
    EXPECT_EQ(uint8_t(frames[257][1]), 1);
    EXPECT_EQ(frames[258][2], '9');
    EXPECT_EQ(uint8_t(frames[258][1]), 2);
}

TEST_F(TransferSend, PortThatCannotOpenAbandonsTheTransfer)
{
    m_engine.SetPortDevice(QStringLiteral("/dev/tessavo-no-such-port"));
    m_engine.SetSelectedPath(QStringLiteral("/dev/null"));
    EXPECT_EQ(m_engine.StartFileTransfer(), 0);
    EXPECT_EQ(m_engine.StartBufferTransfer(6, nullptr, 0), 0);
    EXPECT_EQ(m_boxes.Texts(), (QStringList { "CommPort Open Error", "CommPort Open Error" }));
    EXPECT_EQ(m_view.m_enabled, 2);
    EXPECT_FALSE(m_engine.IsTransferRunning());
    EXPECT_FALSE(g_bReceiveMode);
}

TEST_F(TransferSend, FileGoneAfterSyncFailsWithoutEndFrame)
{
    ScriptedReceiver receiver(m_pty, [](int, const QByteArray&) { return kAck; });
    const QString path = QStringLiteral("/tmp/tessavo-missing-%1.bin").arg(getpid());
    m_engine.SetSelectedPath(path);
    ASSERT_EQ(m_engine.StartFileTransfer(), 1);
    bool success = true;
    ASSERT_TRUE(WaitForTransfer(m_engine, &success));
    EXPECT_FALSE(success);
    EXPECT_EQ(m_boxes.Texts(), QStringList { path + QStringLiteral(" Open Failed") });
    EXPECT_EQ(receiver.Units(2, 200).size(), 1u);
    EXPECT_EQ(m_view.m_enabled, 1);
}

TEST_F(TransferSend, BufferSendReportsProgressAndRefusal)
{
    g_nExpectedPackets = 3;
    {
        ScriptedReceiver receiver(m_pty, [](int, const QByteArray&) { return kAck; });
        const QByteArray data = Pattern(2049);
        ASSERT_EQ(m_engine.StartBufferTransfer(5, reinterpret_cast<const uint8_t*>(data.constData()), 2049), 1);
        bool success = false;
        ASSERT_TRUE(WaitForTransfer(m_engine, &success));
        EXPECT_TRUE(success);
        const auto frames = DataFrames(receiver.Units(5));
        ASSERT_EQ(frames.size(), 4u);
        EXPECT_EQ(frames[0].size(), 1033);
        EXPECT_EQ(frames[1].size(), 1033);
        EXPECT_EQ(frames[2].size(), 10);
        EXPECT_EQ(frames[2][2], '6');
        EXPECT_EQ(frames[0].mid(5, 1024) + frames[1].mid(5, 1024) + frames[2].mid(5, 1), data);
    }
    EXPECT_EQ(m_view.Progress(), (std::vector<std::pair<unsigned, bool>> { { 1, true }, { 2, true }, { 3, true } }));
    EXPECT_TRUE(m_view.Texts().isEmpty());

    ScriptedReceiver refusing(
        m_pty, [](int index, const QByteArray&) { return index == 2 ? QByteArrayLiteral("UT\n") : kAck; });
    const QByteArray data = Pattern(3000);
    ASSERT_EQ(m_engine.StartBufferTransfer(5, reinterpret_cast<const uint8_t*>(data.constData()), 3000), 1);
    bool success = true;
    ASSERT_TRUE(WaitForTransfer(m_engine, &success));
    EXPECT_FALSE(success);
    EXPECT_EQ(m_view.Progress().back(), (std::pair<unsigned, bool> { 4, true }));
    EXPECT_EQ(m_boxes.Texts(), (QStringList { "Transfer Completed ", "Transfer Error !! " }));
}

TEST_F(TransferSend, CancelEndsAWaitingTransferAndReleasesThePort)
{
    {
        ScriptedReceiver silent(m_pty, [](int, const QByteArray&) { return QByteArray(); });
        m_engine.SetSelectedPath(QStringLiteral("/dev/null"));
        ASSERT_EQ(m_engine.StartFileTransfer(), 1);
        // One transfer at a time: a second start finds the port in use.
        EXPECT_EQ(m_engine.StartBufferTransfer(6, nullptr, 0), 0);
        EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("CommPort Open Error") });
        EXPECT_EQ(m_view.m_enabled, 1);
        QTimer::singleShot(50, &m_engine, [this] { m_engine.CancelTransfer(); });
        bool success = true;
        ASSERT_TRUE(WaitForTransfer(m_engine, &success));
        EXPECT_FALSE(success);
        EXPECT_EQ(m_boxes.Count(), 1);
        EXPECT_TRUE(m_view.Texts().isEmpty());
    }
    // The port is free for the next transfer.
    ScriptedReceiver next(m_pty, [](int, const QByteArray&) { return kAck; });
    EXPECT_TRUE(SendFile(2, Pattern(10)));
}

} // namespace
