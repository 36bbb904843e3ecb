#pragma once

#include "station/cstation.h"
#include "transfer/cportsession.h"
#include "transfer/ctransferengine.h"
#include "transfer/transferrecord.h"
#include "transfer/transferreporter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <mutex>

// One line of the station: its own engine, its loop and its tile's state. GUI thread, except for the
// reporter calls, which come from the engine's worker.
class CStationLine : public QObject, private CTransferReporter {
    Q_OBJECT

public:
    CStationLine(const StationConfig& config, int index, QObject* parent = nullptr);
    ~CStationLine() override;
    CStationLine(const CStationLine&) = delete;
    CStationLine& operator=(const CStationLine&) = delete;

    void Start();
    // Ends the line within a second; a download under way is cancelled. stopped() follows.
    void Stop();
    // Ends the line once a download under way has ended; one not yet begun is not begun.
    void Finish();
    [[nodiscard]] bool Active() const { return m_phase != Phase::Idle; }
    [[nodiscard]] const LineStatus& Status() const { return m_status; }

signals:
    void changed();
    void downloadEnded(const TransferRecord& record);
    void stopped();

private:
    // Engine: waiting for a receiver or flashing it. Rearm: the line must go silent before the next one.
    enum class Phase { Idle, Engine, Rearm, Lost };

    void SetStatusText(const QString& text) override;
    void EnableStartButtons() override { }
    void TransferProgress(unsigned, bool) override { }
    bool TakeMessage(const QString& text) override;

    void StartEngine();
    void OnSyncDetected(TransferStats atSync);
    void OnEngineFinished();
    void StartRearm();
    void OnTick();
    void GoLost(Phase resume, const QString& reason);
    void RetryLost();
    void EndPhase();
    void UpdateProgress();
    void SetState(LineState state, const QString& reason = {});
    [[nodiscard]] QString FailReason(TransferResult result);
    [[nodiscard]] qint64 NowMs() const { return m_clock.elapsed(); }

    const StationConfig& m_config;
    const int m_index;
    Phase m_phase = Phase::Idle;
    Phase m_resume = Phase::Engine;
    bool m_bStopping = false;
    bool m_bFlashing = false;
    LineStatus m_status;

    CTransferEngine m_engine;
    CPortSession m_probe;
    std::atomic<qint64> m_lastHeardMs { 0 };
    std::atomic<bool> m_bProbeLost { false };
    QElapsedTimer m_clock;
    QTimer m_tick;

    // The download under way: when its sync was answered, and the engine's counters then.
    QDateTime m_started;
    qint64 m_flashStartMs = 0;
    TransferStats m_atSync;

    std::mutex m_textMutex;
    QString m_lastMessage;
    std::atomic<bool> m_bOutOfStep { false };
};
