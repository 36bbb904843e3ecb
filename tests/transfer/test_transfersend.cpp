#include "serial/ccomm.h"
#include "transfer/receivestore.h"
#include "transfertestkit.h"

#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <algorithm>
#include <optional>
#include <sys/stat.h>

namespace {

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + 17 + i / 251) & 0xFF);
    return bytes;
}

const uint8_t* Bytes(const QByteArray& b)
{
    return reinterpret_cast<const uint8_t*>(b.constData());
}

class TransferSend : public EngineTest {
protected:
    void StartFile(int kind, const QByteArray& bytes)
    {
        EXPECT_TRUE(m_file.open());
        m_file.write(bytes);
        m_file.flush();
        m_view.m_kind = kind;
        m_engine.SetSelectedPath(m_file.fileName());
        EXPECT_EQ(m_engine.StartFileTransfer(), 1);
    }
    // Sends bytes as a file of the given kind; true when the transfer completed. A stale reply of an
    // earlier session reaches the line right after the opening.
    bool SendFile(int kind, const QByteArray& bytes, const QByteArray& stale = {})
    {
        StartFile(kind, bytes);
        m_pty.Send(stale);
        bool success = false;
        EXPECT_TRUE(WaitForTransfer(&success));
        return success;
    }

    QTemporaryFile m_file;
};

struct KindCase {
    const char* name;
    int kind;
    int size;
    char type;
    int frames;
    int lastFrameSize;
    const char* ackText;
};

class TransferSendKinds : public TransferSend, public testing::WithParamInterface<KindCase> { };

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
    if (c.size == 0) {
        // The exact end frame pins the CRC and the frame's byte order on the wire.
        const QByteArray end
            = QByteArray::fromHex("5500392000") + QByteArray(32, '\0') + QByteArray::fromHex("7DF04417");
        EXPECT_EQ(frames.back(), end);
    }
    EXPECT_EQ(m_view.Texts(), expectedTexts);
    EXPECT_EQ(m_boxes.Texts(), QStringList { QStringLiteral("Transfer Completed ") });
    EXPECT_EQ(m_view.m_enabled, 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransferSendKinds,
    testing::Values(KindCase { "empty", 2, 0, '5', 0, 0, "" },
        KindCase { "preset_1025", 3, 1025, '6', 2, 10, "Trnasmited Count " },
        KindCase { "loader_3000", 4, 3000, '7', 3, 1033, "Transmited Count " },
        KindCase { "code_exact_2048", 2, 2048, '5', 2, 1033, "Trnasmited Count " },
        KindCase { "code_wraps_after_255", 2, 257 * 1024 + 1, '5', 258, 1033, "Trnasmited Count " }),
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

class TransferSendReplies : public TransferSend, public testing::WithParamInterface<ReplyCase> { };

TEST_P(TransferSendReplies, EveryAnswerButASendsTheSameUnitAgain)
{
    const ReplyCase& c = GetParam();
    ScriptedReceiver receiver(m_pty, c.replies);
    // Short time-outs only where silence or noise needs one: elsewhere a late answer must not count as none.
    if (std::any_of(
            c.replies.begin(), c.replies.end(), [](const QByteArrayList& r) { return !r.join().contains('\n'); }))
        m_engine.SetTimerIntervals(1000, 2000);
    EXPECT_EQ(SendFile(2, Pattern(c.size), c.stale), c.completes);
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
    testing::Values(ReplyCase { "nak_other_silence", { { kAck }, { kNak }, { kNak }, { "UX\n" }, {} }, 1500, true, 8,
                        { "Sync Dectected ...", "NAK  Data = 1", "NAK  Data = 2", "Other Answer this Data",
                            "No Answer 1", "Trnasmited Count 1", "Trnasmited Count 2" } },
        ReplyCase { "silent_syncs_split_and_noisy_replies", { {}, {}, {}, { kAck }, { "U", "A\n" }, { "\xFFUA\n" } },
            2048, true, 7,
            { "No Answer 1", "No Answer 2", "No Answer 3", "Sync Dectected ...", "Trnasmited Count 1",
                "Trnasmited Count 2" } },
        ReplyCase { "noise_fills_the_buffer", { { kAck }, { QByteArray(CComm::kReceiveBufferSize, 'z') } }, 100, true,
            4, { "Sync Dectected ...", "No Answer 1", "Trnasmited Count 1" } },
        ReplyCase { "terminate_to_the_third_frame", { { kAck }, { kAck }, { kAck }, { kTerminate } }, 5000, false, 4,
            { "Sync Dectected ...", "Trnasmited Count 1", "Trnasmited Count 2" } },
        ReplyCase { "late_reply_of_an_earlier_session_is_not_the_sync", { {}, { kAck } }, 10, true, 4,
            { "No Answer 1", "Sync Dectected ...", "Trnasmited Count 1" }, kAck },
        SixteenNaks()),
    [](const testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

TEST_F(TransferSend, PortThatCannotOpenAbandonsTheTransfer)
{
    m_engine.SetPortDevice(QStringLiteral("/dev/tessavo-no-such-port"));
    m_engine.SetSelectedPath(QStringLiteral("/dev/null"));
    EXPECT_EQ(m_engine.StartFileTransfer(), 0);
    EXPECT_EQ(m_engine.StartBufferTransfer(6, nullptr, 0), 0);
    EXPECT_EQ(m_boxes.Texts(), (QStringList { "CommPort Open Error", "CommPort Open Error" }));
    EXPECT_EQ(m_engine.LastResult(), TransferResult::PortError);
    EXPECT_EQ(m_engine.PortDevice(), QStringLiteral("/dev/tessavo-no-such-port"));
    EXPECT_FALSE(m_engine.IsTransferRunning());
    EXPECT_FALSE(g_bReceiveMode);
}

// Only a regular file is sent, opened without blocking; what cannot be read ends the transfer after the
// sync, without an end frame.
TEST_F(TransferSend, FileThatCannotBeReadFailsWithoutEndFrame)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const std::pair<QString, const char*> cases[]
        = { { dir.filePath(QStringLiteral("gone.bin")), " Open Failed" }, { dir.path(), " Open Failed" },
              { fifo, " Open Failed" }, { QStringLiteral("/proc/self/mem"), " Read Failed" } };
    for (const auto& [path, suffix] : cases) {
        ScriptedReceiver receiver(m_pty, {});
        m_engine.SetSelectedPath(path);
        ASSERT_EQ(m_engine.StartFileTransfer(), 1);
        bool success = true;
        ASSERT_TRUE(WaitForTransfer(&success, 5000)) << path.toStdString();
        EXPECT_FALSE(success);
        EXPECT_EQ(m_engine.LastResult(), TransferResult::Failed);
        EXPECT_EQ(m_boxes.Texts().last(), path + QLatin1String(suffix));
        EXPECT_EQ(receiver.Units(2, 200).size(), 1u) << path.toStdString();
    }
    EXPECT_EQ(m_view.m_enabled, 4);
}

struct StopCase {
    const char* name;
    size_t unitsBefore; // what the receiver has seen when the transfer is stopped
    bool lineLost; // else cancelled
};

class TransferStops : public TransferSend, public testing::WithParamInterface<StopCase> { };

// However a send is stopped, it ends at once without spinning and without an end frame. (What the form
// and the editor give back is checked with them.)
TEST_P(TransferStops, LostLineOrCancelEndsTheTransferWithinASecond)
{
    const StopCase& c = GetParam();
    // A pending sync is never answered; a download has two frames acknowledged, then silence.
    const std::vector<QByteArrayList> acks { { kAck }, { kAck }, { kAck } };
    std::optional<ScriptedReceiver> receiver(
        std::in_place, m_pty, c.unitsBefore > 1 ? acks : std::vector<QByteArrayList> {}, QByteArray());
    StartFile(2, Pattern(5000));
    // The event loop runs meanwhile: the replies are parsed there.
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver->Units(c.unitsBefore, 0).size() >= c.unitsBefore; }));
    EXPECT_EQ(m_engine.PortDevice(), m_pty.SlavePath());
    const unsigned acknowledged = c.unitsBefore > 1 ? 2 : 0;
    EXPECT_EQ(m_engine.Stats().frames, acknowledged);
    EXPECT_EQ(m_engine.Stats().bytes, acknowledged * 1024u);

    const double cpu = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (c.lineLost) {
        receiver.reset();
        m_pty.CloseMaster();
    } else {
        m_engine.CancelTransfer();
    }
    bool success = true;
    ASSERT_TRUE(WaitForTransfer(&success, 2000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_LT(ProcessCpuSeconds() - cpu, 0.2);
    EXPECT_FALSE(success);
    EXPECT_EQ(m_engine.LastResult(), c.lineLost ? TransferResult::PortLost : TransferResult::Cancelled);
    EXPECT_EQ(m_view.Texts().last(), c.lineLost ? "CommPort Lost" : "Transfer Cancelled");
    EXPECT_EQ(m_boxes.Texts(), c.lineLost ? QStringList { "CommPort Lost" } : QStringList {});
    EXPECT_EQ(m_view.m_enabled, 1);
    if (receiver)
        EXPECT_EQ(receiver->Units(c.unitsBefore + 1, 200).size(), c.unitsBefore);
}

INSTANTIATE_TEST_SUITE_P(Stops, TransferStops,
    testing::Values(StopCase { "pending_sync_cancelled", 1, false }, StopCase { "download_cancelled", 4, false },
        StopCase { "download_line_lost", 4, true }),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// Type "6" frames of a buffer are the kinds' test; here the editor's notices, up to a refusal.
TEST_F(TransferSend, BufferSendReportsProgressAndRefusal)
{
    g_nExpectedPackets = 3;
    const QByteArray data = Pattern(3000);
    ScriptedReceiver refusing(m_pty, { { kAck }, { kAck }, { kAck }, { kTerminate } });
    ASSERT_EQ(m_engine.StartBufferTransfer(5, Bytes(data), 3000), 1);
    bool success = true;
    ASSERT_TRUE(WaitForTransfer(&success));
    EXPECT_FALSE(success);
    EXPECT_EQ(m_view.Progress(), (ProgressList { { 1, true }, { 2, true }, { 4, true } }));
    EXPECT_TRUE(m_view.Texts().isEmpty());
    EXPECT_EQ(m_boxes.Texts(), QStringList { "Transfer Error !! " });
}

// A reply and a time-out may both be waiting on the GUI thread; the reply handled first must stand, or
// the worker sends the frame again to a receiver that has already taken it.
TEST_F(TransferSend, ATimeOutHandledAfterAReplyLeavesTheReply)
{
    CComm line;
    line.SetSettings(1, 115200, 8, kStopBitsOne, kParityNone);
    line.SetDevice(m_pty.SlavePath());
    ASSERT_EQ(line.CreateEvents(), 1);
    ASSERT_EQ(line.Open(), 1);
    m_pty.Send(kAck);
    for (int i = 0; i < 200 && line.ReceiveCount() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(line.ReceiveCount(), 3);
    m_engine.OnCommRead(line);
    ASSERT_EQ(m_engine.State(), Ack);
    m_engine.OnTimer(CTransferEngine::kSyncTimer);
    m_engine.OnTimer(CTransferEngine::kFrameTimer);
    EXPECT_EQ(m_engine.State(), Ack);
    line.Close();
}

} // namespace
