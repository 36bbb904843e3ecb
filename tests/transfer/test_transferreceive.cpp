#include "transfer/ccrc32.h"
#include "transfer/receivestore.h"
#include "transfertestkit.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const QByteArray kAckReply = QByteArrayLiteral("UA\n");
const QByteArray kNakReply = QByteArrayLiteral("UN\n");

// A data frame as the receiver sends it: always 1033 bytes, the length field telling the real size.
QByteArray DataFrame(int packet, int lengthField, char fill, char type = kTypePreset)
{
    static const CCrc32 crc;
    std::array<uint8_t, kFramePayloadMax> payload {};
    payload.fill(uint8_t(fill));
    std::array<uint8_t, kFrameMaxSize> out {};
    BuildFrame(crc, out.data(), uint8_t(packet), type, uint16_t(lengthField), payload.data(), kFramePayloadMax);
    return QByteArray(reinterpret_cast<const char*>(out.data()), kFrameMaxSize);
}

QByteArray EndFrame(int packet)
{
    static const CCrc32 crc;
    std::array<uint8_t, kFrameMaxSize> out {};
    const int size
        = BuildFrame(crc, out.data(), uint8_t(packet), kTypeEnd, kEndFramePayload, nullptr, kEndFramePayload);
    return QByteArray(reinterpret_cast<const char*>(out.data()), size);
}

class TransferReceive : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pty.Ok());
        m_engine.SetPortDevice(m_pty.SlavePath());
        m_engine.SetTimerIntervals(3000, 3000);
        m_engine.SetTransferView(&m_view);
        g_nExpectedPackets = 64;
        g_ReceiveStore.fill(0);
        ASSERT_EQ(m_engine.StartBufferTransfer(6, nullptr, 0), 1);
    }
    void TearDown() override { m_engine.CancelTransfer(); }

    // Sends bytes and returns the tool's answer (empty if none came within waitMs).
    QByteArray Exchange(const QByteArray& bytes, int waitMs = 2000)
    {
        m_pty.Send(bytes);
        return m_pty.Receive(3, waitMs);
    }

    // The event loop runs while the test thread plays the receiver.
    template <typename Body> void WithEventLoop(Body body)
    {
        std::thread player(body);
        bool success = false;
        EXPECT_TRUE(WaitForTransfer(m_engine, &success, 10000));
        player.join();
        m_success = success;
    }

    PtyPair m_pty;
    MessageRecorder m_boxes;
    RecordingView m_view;
    CTransferEngine m_engine;
    bool m_success = false;
};

TEST_F(TransferReceive, SyncFramesAndEndFrameFillTheStore)
{
    std::vector<QByteArray> replies;
    WithEventLoop([&] {
        replies.push_back(Exchange(QByteArrayLiteral("U\x01\x02\x03")));
        replies.push_back(Exchange(DataFrame(0, 1024, 'a')));
        replies.push_back(Exchange(DataFrame(1, 100, 'b')));
        replies.push_back(Exchange(DataFrame(5, 1024, 'c')));
        replies.push_back(Exchange(EndFrame(6)));
    });
    EXPECT_TRUE(m_success);
    EXPECT_EQ(replies, (std::vector<QByteArray> { kAckReply, kAckReply, kAckReply, kAckReply, "UT\n" }));
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
        (std::vector<std::pair<unsigned, bool>> {
            { 1, false }, { 2, false }, { 3, false }, { 4, false }, { 65, false }, { 0, false } }));
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Completed ") });
}

TEST_F(TransferReceive, FrameIsTakenOnlyWhenWholeAndEndFrameAtItsLength)
{
    std::vector<QByteArray> replies;
    WithEventLoop([&] {
        replies.push_back(Exchange(QByteArrayLiteral("U")));
        const QByteArray frame = DataFrame(0, 1024, 'x');
        replies.push_back(Exchange(frame.left(1032), 150));
        replies.push_back(Exchange(frame.mid(1032)));
        const QByteArray end = EndFrame(1);
        replies.push_back(Exchange(end.left(31), 150));
        replies.push_back(Exchange(end.mid(31, 1)));
    });
    EXPECT_EQ(replies, (std::vector<QByteArray> { kAckReply, {}, kAckReply, {}, "UT\n" }));
    EXPECT_EQ(m_engine.ReceivedLength(), 1024);
}

TEST_F(TransferReceive, FramesPastTheStoreOrOfAnotherTypeAreRefused)
{
    std::vector<QByteArray> replies;
    WithEventLoop([&] {
        replies.push_back(Exchange(QByteArrayLiteral("U")));
        replies.push_back(Exchange(DataFrame(97, 1024, 'p'))); // would end at 100352
        replies.push_back(Exchange(DataFrame(97, 672, 'q'))); // ends exactly at 100000
        replies.push_back(Exchange(DataFrame(2, 5000, 'r'))); // length clipped to 1024
        replies.push_back(Exchange(DataFrame(3, 1024, 's', '5').left(9))); // not a preset frame
        replies.push_back(Exchange(EndFrame(4)));
    });
    EXPECT_EQ(replies, (std::vector<QByteArray> { kAckReply, kNakReply, kAckReply, kAckReply, kNakReply, "UT\n" }));
    EXPECT_EQ(g_ReceiveStore[97 * 1024], 'q');
    EXPECT_EQ(g_ReceiveStore[kReceiveStoreSize - 1], 'q');
    EXPECT_EQ(g_ReceiveStore[2 * 1024 + 1023], 'r');
    EXPECT_EQ(g_ReceiveStore[3 * 1024], 0);
    EXPECT_EQ(m_engine.ReceivedLength(), kReceiveStoreSize);
    // Only A replies count as progress: three, then the end's two notices.
    EXPECT_EQ(m_view.Progress().size(), 5u);
}

} // namespace
