#include "../serial/ptypair.h"
#include "messagerecorder.h"
#include "serial/ccomm.h"
#include "transfer/ccrc32.h"
#include "transfer/ctransferengine.h"
#include "transfer/frame.h"
#include "transfer/cwindowtimer.h"
#include "transfer/transferreporter.h"

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + 17 + i / 251) & 0xFF);
    return bytes;
}

using ProgressList = std::vector<std::pair<unsigned, bool>>;

// The form and the preset editor as the engine sees them.
class RecordingView : public CTransferReporter {
    std::mutex m_mutex;
    template <typename F> auto Locked(const F& f)
    {
        std::lock_guard lock(m_mutex);
        return f();
    }

public:
    void SetStatusText(const QString& text) override
    {
        Locked([&] { m_texts << text; });
    }
    void EnableStartButtons() override { ++m_enabled; }
    void TransferProgress(unsigned count, bool sending) override
    {
        Locked([&] { m_progress.emplace_back(count, sending); });
    }

    QStringList Texts()
    {
        return Locked([&] { return m_texts; });
    }
    ProgressList Progress()
    {
        return Locked([&] { return m_progress; });
    }

    std::atomic<int> m_enabled { 0 };

private:
    QStringList m_texts;
    ProgressList m_progress;
};

const QByteArray kAck = QByteArrayLiteral("UA\n");
const QByteArray kNak = QByteArrayLiteral("UN\n");
const QByteArray kTerminate = QByteArrayLiteral("UT\n");

// Plays the receiver of a send transfer on the master: every byte is a sync until one is answered A or
// T, then whole frames. Unit n (from 0) is answered with replies[n], its pieces sent 20 ms apart (none:
// silence); units past the list with `otherwise`.
class ScriptedReceiver {
public:
    ScriptedReceiver(const PtyPair& pty, std::vector<QByteArrayList> replies, QByteArray otherwise = kAck)
        : m_pty(pty)
        , m_replies(std::move(replies))
        , m_otherwise(std::move(otherwise))
        , m_thread([this] { Loop(); })
    {
    }
    ~ScriptedReceiver()
    {
        m_stop = true;
        m_thread.join();
    }

    // Waits (at most timeoutMs) for atLeast units: the worker may end before the last frame is read here.
    std::vector<QByteArray> Units(size_t atLeast = 0, int timeoutMs = 2000)
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_units.size() >= atLeast; });
        return m_units;
    }

private:
    static int FrameSize(const QByteArray& b)
    {
        const auto* p = reinterpret_cast<const uint8_t*>(b.constData());
        return kFrameHeaderSize + (char(p[2]) == kTypeEnd ? kEndFramePayload : FrameLengthField(p)) + kFrameCrcSize;
    }
    void Loop()
    {
        QByteArray pending;
        while (!m_stop) {
            pending += m_pty.Receive(1, 20);
            for (;;) {
                QByteArray unit;
                if (!m_synced && !pending.isEmpty())
                    unit = pending.left(1);
                else if (pending.size() >= kFrameHeaderSize && pending.size() >= FrameSize(pending))
                    unit = pending.left(FrameSize(pending));
                else
                    break;
                pending.remove(0, unit.size());
                int index = 0;
                {
                    std::lock_guard lock(m_mutex);
                    index = int(m_units.size());
                    m_units.push_back(unit);
                }
                m_arrived.notify_all();
                const QByteArrayList pieces
                    = size_t(index) < m_replies.size() ? m_replies[size_t(index)] : QByteArrayList { m_otherwise };
                for (qsizetype i = 0; i < pieces.size(); ++i) {
                    if (i > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    m_pty.Send(pieces[i]);
                }
                const QByteArray reply = pieces.join();
                m_synced = m_synced || reply.endsWith("A\n") || reply.endsWith("T\n");
            }
        }
    }

    const PtyPair& m_pty;
    std::vector<QByteArrayList> m_replies;
    QByteArray m_otherwise;
    std::atomic<bool> m_stop { false };
    bool m_synced = false;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<QByteArray> m_units;
    std::thread m_thread;
};

// The engine on a pseudo-terminal, reporting to a RecordingView; message boxes are recorded.
class TransferEngine : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pty.Ok());
        // Long enough that a busy machine never turns a late answer into a time-out.
        m_engine.SetTimerIntervals(3000, 3000);
        QObject::connect(&m_engine, &CTransferEngine::TransferFinished, &m_engine, [this](bool ok) { m_ends << ok; });
    }

    // Runs the event loop until the next transfer has ended; false if it did not end in time. Ends are
    // recorded from SetUp on: a transfer may end before the caller gets here.
    bool WaitForTransfer(bool* success = nullptr, int timeoutMs = 20000)
    {
        if (!QTest::qWaitFor([this] { return m_ends.size() > m_nEndsSeen; }, timeoutMs))
            return false;
        if (success != nullptr)
            *success = m_ends[m_nEndsSeen];
        ++m_nEndsSeen;
        return true;
    }

    TransferSetup SetupFor(TransferKind kind) { return { &m_view, PortSettings {}, m_pty.SlavePath(), kind, 64 }; }
    void StartFile(TransferKind kind, const QByteArray& bytes)
    {
        EXPECT_EQ(m_engine.StartFileTransfer(SetupFor(kind), SendImage { QString(), bytes, QString() }), 1);
    }
    // Sends bytes as a file of the given kind; true when the transfer completed. A stale reply of an
    // earlier session reaches the line right after the opening.
    bool SendFile(TransferKind kind, const QByteArray& bytes, const QByteArray& stale = {})
    {
        StartFile(kind, bytes);
        m_pty.Send(stale);
        bool success = false;
        EXPECT_TRUE(WaitForTransfer(&success));
        return success;
    }

    PtyPair m_pty;
    MessageRecorder m_boxes;
    RecordingView m_view;
    CTransferEngine m_engine;
    QList<bool> m_ends;
    qsizetype m_nEndsSeen = 0;
};

struct KindCase {
    const char* name;
    TransferKind kind;
    int size;
    char type;
    int frames;
    int lastFrameSize;
    const char* ackText;
};

class TransferSendKinds : public TransferEngine, public testing::WithParamInterface<KindCase> { };

TEST_P(TransferSendKinds, FramesPaddingPacketNumbersAndTexts)
{
    const KindCase& c = GetParam();
    ScriptedReceiver receiver(m_pty, {});
    const QByteArray source = Pattern(c.size);
    ASSERT_TRUE(SendFile(c.kind, source));
    const auto units = receiver.Units(size_t(c.frames) + 2);
    EXPECT_EQ(units.front(), QByteArrayLiteral("U"));
    const std::vector<QByteArray> frames(units.begin() + 1, units.end());
    ASSERT_EQ(frames.size(), size_t(c.frames) + 1);
    QByteArray payloads;
    QStringList expectedTexts { QStringLiteral("Sync Dectected ...") };
    for (int i = 0; i < c.frames; ++i) {
        const QByteArray& f = frames[size_t(i)];
        EXPECT_EQ(f.size(), i + 1 == c.frames ? c.lastFrameSize : kFrameMaxSize) << "frame " << i;
        EXPECT_EQ(f[0], 'U');
        EXPECT_EQ(uint8_t(f[1]), uint8_t(i)) << "frame " << i;
        EXPECT_EQ(f[2], c.type);
        payloads += f.mid(kFrameHeaderSize, f.size() - kFrameHeaderSize - kFrameCrcSize);
        expectedTexts << QString::fromLatin1(c.ackText) + QString::number(i + 1);
    }
    // Code and loader chunks are padded with zeros to 1024 bytes; preset chunks go unpadded.
    EXPECT_EQ(payloads.left(c.size), source);
    EXPECT_EQ(payloads.mid(c.size), QByteArray(payloads.size() - c.size, '\0'));
    EXPECT_EQ(uint8_t(frames.back()[1]), uint8_t(c.frames));
    EXPECT_EQ(frames.back()[2], '9');
    if (c.size == 0) { // the exact end frame pins the CRC and the frame's byte order on the wire
        EXPECT_EQ(frames.back(), QByteArray::fromHex("5500392000" + QByteArray(64, '0') + "7DF04417"));
    }
    EXPECT_EQ(m_view.Texts(), expectedTexts);
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Completed ") });
    EXPECT_EQ(m_view.m_enabled, 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransferSendKinds,
    testing::Values(KindCase { "empty", TransferKind::Code, 0, '5', 0, 0, "" },
        KindCase { "preset_1025", TransferKind::Preset, 1025, '6', 2, 10, "Trnasmited Count " },
        KindCase { "loader_3000", TransferKind::Loader, 3000, '7', 3, 1033, "Transmited Count " },
        KindCase { "code_exact_2048", TransferKind::Code, 2048, '5', 2, 1033, "Trnasmited Count " },
        KindCase { "code_wraps_after_255", TransferKind::Code, 257 * 1024 + 1, '5', 258, 1033, "Trnasmited Count " }),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

struct ReplyCase {
    const char* name;
    std::vector<QByteArrayList> replies;
    int size;
    bool completes;
    int units;
    QStringList texts;
    QByteArray stale {};
};

ReplyCase SixteenNaks()
{
    ReplyCase c { "sixteen_naks_in_a_row_end_it", { { kAck } }, 100, false, 17, { "Sync Dectected ..." } };
    for (int i = 1; i <= 16; ++i) {
        c.replies.push_back({ kNak });
        c.texts << QStringLiteral("NAK  Data = %1").arg(i);
    }
    c.texts << QString::fromLatin1(CTransferEngine::kOutOfStepText);
    return c;
}

class TransferSendReplies : public TransferEngine, public testing::WithParamInterface<ReplyCase> { };

TEST_P(TransferSendReplies, EveryAnswerButASendsTheSameUnitAgain)
{
    const ReplyCase& c = GetParam();
    ScriptedReceiver receiver(m_pty, c.replies);
    // Short time-outs only where silence or noise needs one: elsewhere a late answer must not count as none.
    if (std::any_of(
            c.replies.begin(), c.replies.end(), [](const QByteArrayList& r) { return !r.join().contains('\n'); }))
        m_engine.SetTimerIntervals(1000, 2000);
    EXPECT_EQ(SendFile(TransferKind::Code, Pattern(c.size), c.stale), c.completes);
    // After a failure, wait briefly to see that nothing more (no end frame) comes.
    const auto units = receiver.Units(size_t(c.units) + (c.completes ? 0 : 1), c.completes ? 2000 : 200);
    ASSERT_EQ(units.size(), size_t(c.units));
    for (size_t i = 0; i + 1 < units.size(); ++i) {
        if (i < c.replies.size() && !c.replies[i].join().endsWith("A\n")) {
            EXPECT_EQ(units[i + 1], units[i]) << "unit " << i;
        } else if (units[i].size() > 1) {
            EXPECT_EQ(uint8_t(units[i + 1][1]), uint8_t(units[i][1] + 1)) << "unit " << i;
        }
    }
    EXPECT_EQ(units.back()[2], c.completes ? kTypeEnd : kTypeCode);
    EXPECT_EQ(m_view.Texts(), c.texts);
    EXPECT_EQ(m_boxes.Texts(), QStringList { c.completes ? "Transfer Completed " : "Transfer Error !! " });
    EXPECT_EQ(m_view.m_enabled, 1);
    EXPECT_FALSE(m_engine.IsTransferRunning());
}

// A port buffer filled with 1300 bytes without a LF must be cleared at the time-out, or the answer to
// the frame sent again would find no room and the transfer would wait for ever.
INSTANTIATE_TEST_SUITE_P(Replies, TransferSendReplies,
    testing::Values(ReplyCase { "silent_syncs_split_and_noisy_replies",
                        { {}, {}, {}, { kAck }, { "U", "A\n" }, { "\xFFUA\n" } }, 2048, true, 7,
                        { "No Answer 1", "No Answer 2", "No Answer 3", "Sync Dectected ...", "Trnasmited Count 1",
                            "Trnasmited Count 2" } },
        ReplyCase { "noise_fills_the_buffer", { { kAck }, { QByteArray(CComm::kReceiveBufferSize, 'z') } }, 100, true,
            4, { "Sync Dectected ...", "No Answer 1", "Trnasmited Count 1" } },
        ReplyCase { "late_reply_of_an_earlier_session_is_not_the_sync", { {}, { kAck } }, 10, true, 4,
            { "No Answer 1", "Sync Dectected ...", "Trnasmited Count 1" }, kAck },
        SixteenNaks()),
    [](const testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

// A send still waiting for the answer to its sync ends at once when cancelled, without spinning, and leaves
// the port free. A download stopped midway, by a lost line or a cancel, is the form's and the command
// line's test.
TEST_F(TransferEngine, CancelEndsAPendingSyncWithinASecond)
{
    std::optional<ScriptedReceiver> receiver(std::in_place, m_pty, std::vector<QByteArrayList> {}, QByteArray());
    StartFile(TransferKind::Code, Pattern(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !receiver->Units(1, 0).empty(); }));
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    m_engine.CancelTransfer();
    bool success = true;
    ASSERT_TRUE(WaitForTransfer(&success, 2000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_LT(CpuSeconds() - cpu, 0.2);
    EXPECT_FALSE(success);
    EXPECT_EQ(m_engine.LastResult(), TransferResult::Cancelled);
    EXPECT_EQ(m_view.Texts().last(), "Transfer Cancelled");
    EXPECT_EQ(m_boxes.Texts(), QStringList {});
    EXPECT_EQ(m_view.m_enabled, 1);
    EXPECT_EQ(receiver->Units(2, 200).size(), 1u);
    receiver.emplace(m_pty, std::vector<QByteArrayList> {});
    EXPECT_TRUE(SendFile(TransferKind::Code, Pattern(100)));
}

// An expiry read just before the worker stopped the timer and armed it for the next frame belongs to the
// frame before: it neither passes for the next frame's time-out nor stops that frame's timer.
TEST_F(TransferEngine, ALateTimerExpiryLeavesTheNextFrameAlone)
{
    ScriptedReceiver receiver(m_pty, { { kAck }, {} });
    m_engine.SetTimerIntervals(1000, 1000);
    StartFile(TransferKind::Code, Pattern(100));
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.Units(2, 0).size() == 2; }));
    const std::uint64_t armed = m_engine.TimerGeneration(CTransferEngine::kFrameTimer);
    m_engine.OnTimer(CTransferEngine::kFrameTimer, armed - 1);
    m_engine.OnTimer(CTransferEngine::kSyncTimer, m_engine.TimerGeneration(CTransferEngine::kSyncTimer) - 1);
    EXPECT_EQ(m_engine.State(), Waiting);
    EXPECT_EQ(m_engine.TimerGeneration(CTransferEngine::kFrameTimer), armed);
    // The frame's own expiry still comes: it is sent again, and answered.
    ASSERT_TRUE(WaitForTransfer());
    EXPECT_EQ(m_view.Texts(), (QStringList { "Sync Dectected ...", "No Answer 1", "Trnasmited Count 1" }));
    EXPECT_EQ(receiver.Units(4).size(), 4u);
}

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

// A frame as it left the receiver with one bit flipped on the line, or with a CRC filled another way.
QByteArray Flipped(QByteArray frame, int index, char bit = 1)
{
    frame[index] = char(frame[index] ^ bit);
    return frame;
}

// Plays the pieces on the line, from its own thread, and keeps the answer to each.
struct Player {
    Player(const PtyPair& pty, std::vector<Piece> pieces)
        : thread([this, &pty, pieces = std::move(pieces)] {
            for (const Piece& piece : pieces) {
                pty.Send(piece.bytes);
                replies.push_back(pty.Receive(3, piece.waitMs));
            }
        })
    {
    }
    std::vector<QByteArray> Replies()
    {
        thread.join();
        return replies;
    }
    std::vector<QByteArray> replies;
    std::thread thread;
};

class TransferReceive : public TransferEngine {
protected:
    // Starts a receive and plays the pieces on the line; returns the answer to each.
    std::vector<QByteArray> Play(const std::vector<Piece>& pieces, bool* success)
    {
        EXPECT_EQ(m_engine.StartBufferTransfer(SetupFor(TransferKind::PresetFromReceiver), nullptr, 0), 1);
        Player player(m_pty, pieces);
        EXPECT_TRUE(WaitForTransfer(success, 20000));
        return player.Replies();
    }
};

// One transfer plays every case: the answer to each piece tells whether the engine took it.
TEST_F(TransferReceive, OnlyWholeFramesInOrderAreStored)
{
    const QByteArray first = Frame(0, 1024, 'a');
    const QByteArray second = Frame(1, 100, 'b');
    const QByteArray foreignCrc = Flipped(Frame(2, 1024, 'r'), kFrameMaxSize - 1, 0x5A);
    const QByteArray end = Frame(3, 0xFFFF, 0, kTypeEnd, kEndFramePayload);
    const std::vector<Piece> pieces { { QByteArrayLiteral("U\x01\x02\x03") }, // bytes after the sync are dropped
        { first.left(1032), 150 }, { first.mid(1032) }, // taken only at 1033 bytes
        { Flipped(second, 50) }, { second }, // a spoilt frame is refused and taken from its resend
        { second }, // a repeat whose answer was lost: answered again, stored once
        { Frame(3, 1024, 'x') }, { Frame(2, 5000, 'r') }, // a gap, a length past 1024
        { foreignCrc }, { foreignCrc }, // the same foreign CRC twice in a row is taken
        { Frame(3, 1024, 's', kTypeCode).left(9) }, // not a preset frame
        { end.left(40), 150 }, { end.mid(40) } }; // whole at 41 bytes, whatever its length field
    bool success = false;
    const auto replies = Play(pieces, &success);
    EXPECT_TRUE(success);
    EXPECT_EQ(replies,
        (std::vector<QByteArray> { kAck, {}, kAck, kNak, kAck, kAck, kNak, kNak, kNak, kAck, kNak, {}, kTerminate }));
    EXPECT_EQ(m_engine.ReceivedData(),
        QByteArray(1024, 'a') + QByteArray(100, 'b') + QByteArray(924, 0) + QByteArray(1024, 'r'));
    EXPECT_EQ(m_view.Texts().count(QString::fromLatin1(CTransferEngine::kCrcWarningText)), 1);
    EXPECT_EQ(m_engine.ReceiveWarning(), QString::fromLatin1(CTransferEngine::kCrcWarningText));
    // Only A replies count as progress; the end brings the expected count + 1, then 0.
    EXPECT_EQ(m_view.Progress(),
        (ProgressList {
            { 1, false }, { 2, false }, { 3, false }, { 4, false }, { 5, false }, { 65, false }, { 0, false } }));
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Completed ") });
}

// A frame that never arrives whole ends the receive as one whose data fails: nothing is taken.
TEST_F(TransferReceive, SixteenRefusalsOfOneFrameFailIt)
{
    std::vector<Piece> pieces { { QByteArrayLiteral("U") }, { Frame(0, 1024, 'a') } };
    for (int i = 0; i < 16; ++i)
        pieces.push_back({ Flipped(Frame(1, 1024, 'b'), 5 + i) });
    bool success = true;
    const auto replies = Play(pieces, &success);
    EXPECT_FALSE(success);
    EXPECT_EQ(replies.back(), kNak);
    EXPECT_EQ(m_engine.ReceivedLength(), 0);
    EXPECT_EQ(m_view.Texts().last(), QString::fromLatin1(CTransferEngine::kReceiveOutOfStepText));
    EXPECT_EQ(m_view.Progress().back(), std::make_pair(0u, false));
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Error !! ") });
}

// The station runs one engine per line: two receives at once keep their data apart.
TEST_F(TransferReceive, TwoEnginesOnTwoLinesReceiveAtOnce)
{
    PtyPair otherPty;
    RecordingView otherView;
    CTransferEngine other;
    ASSERT_EQ(m_engine.StartBufferTransfer(SetupFor(TransferKind::PresetFromReceiver), nullptr, 0), 1);
    ASSERT_EQ(other.StartBufferTransfer({ &otherView, PortSettings {}, otherPty.SlavePath(),
                                            TransferKind::PresetFromReceiver, 64 },
                  nullptr, 0),
        1);
    const auto pieces = [](char fill) {
        return std::vector<Piece> { { QByteArrayLiteral("U") }, { Frame(0, 1000, fill) },
            { Frame(1, 0, 0, kTypeEnd, kEndFramePayload) } };
    };
    Player mine(m_pty, pieces('m'));
    Player theirs(otherPty, pieces('o'));
    bool otherEnded = false;
    QObject::connect(&other, &CTransferEngine::TransferFinished, &other, [&] { otherEnded = true; });
    ASSERT_TRUE(WaitForTransfer());
    ASSERT_TRUE(QTest::qWaitFor([&] { return otherEnded; }, 20000));
    EXPECT_EQ(mine.Replies(), (std::vector<QByteArray> { kAck, kAck, kTerminate }));
    EXPECT_EQ(theirs.Replies(), (std::vector<QByteArray> { kAck, kAck, kTerminate }));
    EXPECT_EQ(m_engine.ReceivedData(), QByteArray(1000, 'm'));
    EXPECT_EQ(other.ReceivedData(), QByteArray(1000, 'o'));
}

} // namespace

// The engine parses replies and runs its timers on the thread of a Qt event loop.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
