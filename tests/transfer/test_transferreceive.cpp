#include "transfer/receivestore.h"
#include "transfertestkit.h"

namespace {

// A data frame as the receiver sends it: always 1033 bytes, the length field telling the real size.
QByteArray DataFrame(int packet, int lengthField, char fill, char type = kTypePreset)
{
    return BuildTestFrame(packet, type, lengthField, kFramePayloadMax, fill);
}

QByteArray EndFrame(int packet) { return BuildTestFrame(packet, kTypeEnd, kEndFramePayload, kEndFramePayload); }

class TransferReceive : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        g_nExpectedPackets = 64;
        g_ReceiveStore.fill(0);
        ASSERT_EQ(m_engine.StartBufferTransfer(6, nullptr, 0), 1);
    }
    void TearDown() override { m_engine.CancelTransfer(); }

    struct Piece {
        Piece(QByteArray b, int w = 2000)
            : bytes(std::move(b))
            , waitMs(w)
        {
        }
        QByteArray bytes;
        int waitMs;
    };

    // Plays the sender from another thread while the event loop runs; returns the tool's answer to
    // each piece (empty if none came within its wait).
    std::vector<QByteArray> Play(const std::vector<Piece>& pieces)
    {
        std::vector<QByteArray> replies;
        std::thread player([&] {
            for (const Piece& piece : pieces) {
                m_pty.Send(piece.bytes);
                replies.push_back(m_pty.Receive(3, piece.waitMs));
            }
        });
        EXPECT_TRUE(WaitForTransfer(&m_success, 10000));
        player.join();
        return replies;
    }

    bool m_success = false;
};

TEST_F(TransferReceive, SyncFramesAndEndFrameFillTheStore)
{
    const auto replies = Play({ { QByteArrayLiteral("U\x01\x02\x03") }, { DataFrame(0, 1024, 'a') },
        { DataFrame(1, 100, 'b') }, { DataFrame(5, 1024, 'c') }, { EndFrame(6) } });
    EXPECT_TRUE(m_success);
    EXPECT_EQ(replies, (std::vector<QByteArray> { kAck, kAck, kAck, kAck, kTerminate }));
    EXPECT_EQ(g_ReceiveStore[0], 'a');
    EXPECT_EQ(g_ReceiveStore[1023], 'a');
    EXPECT_EQ(g_ReceiveStore[1024], 'b');
    EXPECT_EQ(g_ReceiveStore[1123], 'b');
    EXPECT_EQ(g_ReceiveStore[1124], 0);
    EXPECT_EQ(g_ReceiveStore[5119], 0);
    EXPECT_EQ(g_ReceiveStore[5120], 'c');
    EXPECT_EQ(m_engine.ReceivedLength(), 6 * 1024);
    EXPECT_EQ(g_nReceivedPackets, 6);
    EXPECT_TRUE(g_bReceiveDone);
    EXPECT_FALSE(g_bReceiveMode);
    EXPECT_EQ(m_view.Progress(),
        (ProgressList { { 1, false }, { 2, false }, { 3, false }, { 4, false }, { 65, false }, { 0, false } }));
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Completed ") });
}

TEST_F(TransferReceive, FrameIsTakenOnlyWhenWholeAndEndFrameAtItsLength)
{
    const QByteArray frame = DataFrame(0, 1024, 'x');
    const QByteArray end = EndFrame(1);
    const auto replies = Play({ { QByteArrayLiteral("U") }, { frame.left(1032), 150 }, { frame.mid(1032) },
        { end.left(31), 150 }, { end.mid(31, 1) } });
    EXPECT_EQ(replies, (std::vector<QByteArray> { kAck, {}, kAck, {}, kTerminate }));
    EXPECT_EQ(m_engine.ReceivedLength(), 1024);
}

TEST_F(TransferReceive, FramesPastTheStoreOrOfAnotherTypeAreRefused)
{
    const auto replies = Play({ { QByteArrayLiteral("U") },
        { DataFrame(97, 1024, 'p') }, // would end at 100352
        { DataFrame(97, 672, 'q') }, // ends exactly at 100000
        { DataFrame(2, 5000, 'r') }, // length clipped to 1024
        { DataFrame(3, 1024, 's', kTypeCode).left(9) }, // not a preset frame
        { EndFrame(4) } });
    EXPECT_EQ(replies, (std::vector<QByteArray> { kAck, kNak, kAck, kAck, kNak, kTerminate }));
    EXPECT_EQ(g_ReceiveStore[97 * 1024], 'q');
    EXPECT_EQ(g_ReceiveStore[kReceiveStoreSize - 1], 'q');
    EXPECT_EQ(g_ReceiveStore[2 * 1024 + 1023], 'r');
    EXPECT_EQ(g_ReceiveStore[3 * 1024], 0);
    EXPECT_EQ(m_engine.ReceivedLength(), kReceiveStoreSize);
    // Only A replies count as progress: three, then the end's two notices.
    EXPECT_EQ(m_view.Progress().size(), 5u);
}

} // namespace
