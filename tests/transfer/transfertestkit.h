#pragma once

#include "../serial/ptypair.h"
#include "messagerecorder.h"
#include "transfer/ccrc32.h"
#include "transfer/ctransferengine.h"
#include "transfer/frame.h"
#include "transfer/transferreporter.h"

#include <QTest>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

using ProgressList = std::vector<std::pair<unsigned, bool>>;

// The form and the preset editor as the engine sees them.
class RecordingView : public CTransferReporter {
public:
    void SetStatusText(const QString& text) override
    {
        std::lock_guard lock(m_mutex);
        m_texts << text;
    }
    void EnableStartButtons() override { ++m_enabled; }
    void TransferProgress(unsigned count, bool sending) override
    {
        std::lock_guard lock(m_mutex);
        m_progress.emplace_back(count, sending);
    }
    [[nodiscard]] int DownloadKind() const override { return m_kind; }

    QStringList Texts()
    {
        std::lock_guard lock(m_mutex);
        return m_texts;
    }
    ProgressList Progress()
    {
        std::lock_guard lock(m_mutex);
        return m_progress;
    }

    int m_kind = 2;
    std::atomic<int> m_enabled { 0 };

private:
    std::mutex m_mutex;
    QStringList m_texts;
    ProgressList m_progress;
};

inline const QByteArray kAck = QByteArrayLiteral("UA\n");
inline const QByteArray kNak = QByteArrayLiteral("UN\n");
inline const QByteArray kTerminate = QByteArrayLiteral("UT\n");

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
    ScriptedReceiver(const ScriptedReceiver&) = delete;
    ScriptedReceiver& operator=(const ScriptedReceiver&) = delete;

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
class EngineTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pty.Ok());
        m_engine.SetPortDevice(m_pty.SlavePath());
        // Long enough that a busy machine never turns a late answer into a time-out.
        m_engine.SetTimerIntervals(3000, 3000);
        m_engine.SetTransferView(&m_view);
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

    PtyPair m_pty;
    MessageRecorder m_boxes;
    RecordingView m_view;
    CTransferEngine m_engine;
    QList<bool> m_ends;
    qsizetype m_nEndsSeen = 0;
};
