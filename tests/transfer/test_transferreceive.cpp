#include "transfer/receivestore.h"
#include "transfertestkit.h"

#include <array>

namespace {

// A frame as the receiver sends it: data frames always 1033 bytes, the length field telling the real size.
QByteArray Frame(int packet, int lengthField, char fill, char type = kTypePreset, int payloadSize = kFramePayloadMax)
{
    static const CCrc32 crc;
    std::array<uint8_t, kFramePayloadMax> payload {};
    payload.fill(uint8_t(fill));
    std::array<uint8_t, kFrameMaxSize> out {};
    const int size
        = BuildFrame(crc, out.data(), uint8_t(packet), type, uint16_t(lengthField), payload.data(), payloadSize);
    return QByteArray(reinterpret_cast<const char*>(out.data()), size);
}

struct Piece {
    QByteArray bytes;
    int waitMs = 2000; // for the answer; short where none may come
};

using TransferReceive = EngineTest;

// One transfer plays every case: the answer to each piece tells whether the engine took it.
TEST_F(TransferReceive, FramesFillTheStoreWhenWholeInsideItAndOfPresetType)
{
    g_nExpectedPackets = 64;
    g_ReceiveStore.fill(0);
    ASSERT_EQ(m_engine.StartBufferTransfer(6, nullptr, 0), 1);
    const QByteArray first = Frame(0, 1024, 'a');
    const QByteArray end = Frame(6, kEndFramePayload, 0, kTypeEnd, kEndFramePayload);
    const std::vector<Piece> pieces { { QByteArrayLiteral("U\x01\x02\x03") }, // bytes after the sync are dropped
        { first.left(1032), 150 }, { first.mid(1032) }, // taken only at 1033 bytes
        { Frame(1, 100, 'b') }, { Frame(97, 1024, 'p') }, // would end at 100352
        { Frame(97, 672, 'q') }, // ends exactly at 100000
        { Frame(2, 5000, 'r') }, // length clipped to 1024
        { Frame(3, 1024, 's', kTypeCode).left(9) }, // not a preset frame
        { Frame(5, 1024, 'c') }, { end.left(31), 150 }, { end.mid(31, 1) } }; // taken at its length field
    std::vector<QByteArray> replies;
    std::thread player([&] {
        for (const Piece& piece : pieces) {
            m_pty.Send(piece.bytes);
            replies.push_back(m_pty.Receive(3, piece.waitMs));
        }
    });
    bool success = false;
    EXPECT_TRUE(WaitForTransfer(&success, 10000));
    player.join();

    EXPECT_TRUE(success);
    EXPECT_EQ(
        replies, (std::vector<QByteArray> { kAck, {}, kAck, kAck, kNak, kAck, kAck, kNak, kAck, {}, kTerminate }));
    const QByteArray stored(reinterpret_cast<const char*>(g_ReceiveStore.data()), kReceiveStoreSize);
    EXPECT_EQ(stored.left(6 * 1024),
        QByteArray(1024, 'a') + QByteArray(100, 'b') + QByteArray(924, 0) + QByteArray(1024, 'r') + QByteArray(2048, 0)
            + QByteArray(1024, 'c'));
    EXPECT_EQ(stored.mid(97 * 1024), QByteArray(672, 'q'));
    EXPECT_EQ(m_engine.ReceivedLength(), kReceiveStoreSize);
    EXPECT_EQ(g_nReceivedPackets, 6);
    EXPECT_TRUE(g_bReceiveDone);
    EXPECT_FALSE(g_bReceiveMode);
    // Only A replies count as progress; the end brings the expected count + 1, then 0.
    EXPECT_EQ(m_view.Progress(),
        (ProgressList { { 1, false }, { 2, false }, { 3, false }, { 4, false }, { 5, false }, { 6, false },
            { 65, false }, { 0, false } }));
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Completed ") });
}

} // namespace
