#pragma once

#include "../serial/ptypair.h"
#include "messagerecorder.h"
#include "transfer/ctransferengine.h"
#include "transfer/frame.h"
#include "transfer/transferreporter.h"

#include <QEventLoop>
#include <QTemporaryFile>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// The form and the preset editor as seen by the engine: records what the worker reports.
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
    std::vector<std::pair<unsigned, bool>> Progress()
    {
        std::lock_guard lock(m_mutex);
        return m_progress;
    }

    int m_kind = 2;
    std::atomic<int> m_enabled { 0 };

private:
    std::mutex m_mutex;
    QStringList m_texts;
    std::vector<std::pair<unsigned, bool>> m_progress;
};

// Plays the receiver of a send transfer on the pseudo-terminal's master. Until a sync is answered
// with A or T every byte is a sync; after it, whole frames. The script gets each unit in turn (from 0)
// and returns the bytes to answer with (nothing: silence).
class ScriptedReceiver {
public:
    using Script = std::function<QByteArray(int index, const QByteArray& unit)>;

    ScriptedReceiver(const PtyPair& pty, Script script)
        : m_pty(pty)
        , m_script(std::move(script))
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

    // What came so far, after waiting (at most timeoutMs) for at least atLeast units: the worker may
    // end before the last frame has been read here.
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
        const int length = FrameLengthField(p);
        return kFrameHeaderSize + (char(p[2]) == kTypeEnd ? kEndFramePayload : length) + kFrameCrcSize;
    }
    void Loop()
    {
        QByteArray pending;
        while (!m_stop) {
            pending += m_pty.Receive(1, 20);
            for (;;) {
                QByteArray unit;
                if (!m_synced && !pending.isEmpty()) {
                    unit = pending.left(1);
                } else if (pending.size() >= kFrameHeaderSize && pending.size() >= FrameSize(pending)) {
                    unit = pending.left(FrameSize(pending));
                } else {
                    break;
                }
                pending.remove(0, unit.size());
                int index = 0;
                {
                    std::lock_guard lock(m_mutex);
                    index = int(m_units.size());
                    m_units.push_back(unit);
                }
                m_arrived.notify_all();
                const QByteArray reply = m_script(index, unit);
                if (!m_synced && (reply.endsWith("A\n") || reply.endsWith("T\n")))
                    m_synced = true;
                m_pty.Send(reply);
            }
        }
    }

    const PtyPair& m_pty;
    Script m_script;
    std::atomic<bool> m_stop { false };
    bool m_synced = false;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<QByteArray> m_units;
    std::thread m_thread;
};

inline const QByteArray kAck = QByteArrayLiteral("UA\n");

// Runs the event loop until the engine's worker has ended; false if it did not end in time.
inline bool WaitForTransfer(CTransferEngine& engine, bool* success = nullptr, int timeoutMs = 20000)
{
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&engine, &CTransferEngine::TransferFinished, &loop, [&](bool ok) {
        ended = true;
        if (success != nullptr)
            *success = ok;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (engine.IsTransferRunning())
        loop.exec();
    return ended;
}
