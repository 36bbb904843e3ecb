#include "station/cstationline.h"

#include "serial/ccomm.h"
#include "transfer/frame.h"

#include <QLatin1String>
#include <algorithm>

namespace {

constexpr int kLostRetryMs = 1000;
constexpr int kProgressMs = 250;
// A receiver takes a lone sync only after the line has been quiet a while: probes come no faster.
constexpr int kProbeMinMs = 120;
constexpr int kProbeMaxMs = 500;
constexpr const char* kSyncText = "Sync Dectected ...";

const char* KindName(TransferKind kind)
{
    switch (kind) {
    case TransferKind::Loader:
        return "loader";
    case TransferKind::Preset:
        return "preset";
    default:
        return "code";
    }
}

} // namespace

CStationLine::CStationLine(const StationConfig& config, int index, QObject* parent)
    : QObject(parent)
    , m_config(config)
    , m_index(index)
    , m_probe(
          [this](CComm& port) {
              m_lastHeardMs = NowMs();
              port.ClearReceive();
          },
          [this] { m_bProbeLost = true; })
{
    m_clock.start();
    m_status.port = config.ports.value(index);
    connect(&m_engine, &CTransferEngine::TransferFinished, this, &CStationLine::OnEngineFinished);
    connect(&m_tick, &QTimer::timeout, this, &CStationLine::OnTick);
}

CStationLine::~CStationLine()
{
    m_engine.ClosePort();
    m_probe.Release();
}

// ---- the worker's reports ------------------------------------------------------

void CStationLine::SetStatusText(const QString& text)
{
    // "No Answer" while waiting is the line's normal state, not an error: only the answer counts.
    if (text == QLatin1String(kSyncText)) {
        const TransferStats atSync = m_engine.Stats();
        QMetaObject::invokeMethod(this, [this, atSync] { OnSyncDetected(atSync); }, Qt::QueuedConnection);
    } else if (text == QLatin1String(CTransferEngine::kOutOfStepText)) {
        m_bOutOfStep = true;
    }
}

bool CStationLine::TakeMessage(const QString& text)
{
    std::lock_guard lock(m_textMutex);
    m_lastMessage = text;
    return true;
}

// ---- the loop ------------------------------------------------------------------

void CStationLine::Start()
{
    if (m_phase != Phase::Idle && !m_bStopping)
        return;
    m_bStopping = false;
    if (m_phase == Phase::Idle)
        StartEngine();
}

void CStationLine::StartEngine()
{
    m_phase = Phase::Engine;
    m_bFlashing = false;
    m_bOutOfStep = false;
    if (m_config.syncTimeoutMs > 0)
        m_engine.SetTimerIntervals(m_config.syncTimeoutMs, CTransferEngine::kFrameTimeoutMs);
    const TransferSetup setup { this, m_config.settings, m_status.port, m_config.kind, 0 };
    if (m_engine.StartFileTransfer(setup, m_config.image) == 0) {
        GoLost(Phase::Engine, m_engine.LastOpenError());
        return;
    }
    m_status.device = m_engine.PortDevice();
    SetState(LineState::Waiting);
}

void CStationLine::OnSyncDetected(TransferStats atSync)
{
    if (m_phase != Phase::Engine)
        return;
    m_bFlashing = true;
    m_atSync = atSync;
    m_started = LocalTimeWithOffset();
    m_flashStartMs = NowMs();
    m_status.percent = 0;
    m_status.bytesPerSecond = 0;
    m_status.secondsLeft = -1;
    m_status.reason.clear();
    SetState(LineState::Flashing);
    m_tick.start(kProgressMs);
}

void CStationLine::UpdateProgress()
{
    const qint64 total = m_config.image.bytes.size();
    const TransferStats stats = m_engine.Stats();
    const double seconds = double(NowMs() - m_flashStartMs) / 1000.0;
    m_status.percent = total > 0 ? int(qint64(stats.bytes) * 100 / total) : 0;
    m_status.bytesPerSecond = seconds > 0 ? double(stats.bytes) / seconds : 0;
    m_status.secondsLeft = m_status.bytesPerSecond > 0
        ? int((double(total) - double(stats.bytes)) / m_status.bytesPerSecond + 0.5)
        : -1;
    emit changed();
}

QString CStationLine::FailReason(TransferResult result)
{
    switch (result) {
    case TransferResult::PortLost:
        return QStringLiteral("CommPort Lost");
    case TransferResult::Cancelled:
        return QStringLiteral("Transfer Cancelled");
    default:
        break;
    }
    if (m_bOutOfStep)
        return QString::fromLatin1(CTransferEngine::kOutOfStepText);
    std::lock_guard lock(m_textMutex);
    return m_lastMessage;
}

void CStationLine::OnEngineFinished()
{
    m_tick.stop();
    const TransferResult result = m_engine.LastResult();
    if (m_bFlashing) {
        m_bFlashing = false;
        TransferRecord record;
        record.result = result;
        record.exitCode = result == TransferResult::Completed ? 0 : result == TransferResult::PortLost ? 3 : 1;
        record.port = m_status.port;
        record.device = m_engine.PortDevice();
        record.kind = QLatin1String(KindName(m_config.kind));
        record.file = m_config.image.path;
        record.sha256 = m_config.sha256;
        record.stats = m_engine.Stats();
        record.stats.noAnswers -= m_atSync.noAnswers;
        record.seconds = double(NowMs() - m_flashStartMs) / 1000.0;
        record.started = m_started;
        ++m_status.receivers;
        record.extra = { { "station", m_config.station }, { "line", m_status.port },
            { "receiver", m_status.receivers } };
        const bool passed = result == TransferResult::Completed;
        const QString reason = passed ? QString() : FailReason(result);
        if (!passed)
            record.extra.insert(QStringLiteral("reason"), reason);
        m_status.percent = passed ? 100 : m_status.percent;
        m_status.secondsLeft = -1;
        SetState(passed ? LineState::Pass : LineState::Fail, reason);
        emit downloadEnded(record);
        if (m_bStopping)
            return EndPhase();
        if (result == TransferResult::PortLost)
            return GoLost(Phase::Rearm, QStringLiteral("CommPort Lost"));
        return StartRearm();
    }
    if (m_bStopping)
        return EndPhase();
    if (result == TransferResult::Cancelled)
        return StartEngine();
    // Lost while waiting: the receiver never answered, so the line waits again once it is back.
    GoLost(Phase::Engine, result == TransferResult::PortLost ? QStringLiteral("CommPort Lost") : m_engine.LastOpenError());
}

// The receiver just flashed may still be there, answering the sync: it must not count as the next one.
// The line is probed with syncs until nothing has answered for the re-arm time.
void CStationLine::StartRearm()
{
    m_phase = Phase::Rearm;
    m_bProbeLost = false;
    if (!m_probe.Open(m_config.settings, m_status.port, false)) {
        GoLost(Phase::Rearm, m_probe.LastOpenError());
        return;
    }
    if (m_status.state == LineState::Lost)
        SetState(LineState::Waiting);
    m_status.device = m_probe.DevicePath();
    m_lastHeardMs = NowMs();
    m_tick.start(std::clamp(m_config.rearmMs / 3, kProbeMinMs, kProbeMaxMs));
}

void CStationLine::OnTick()
{
    switch (m_phase) {
    case Phase::Engine:
        if (m_bFlashing)
            UpdateProgress();
        return;
    case Phase::Lost:
        return RetryLost();
    case Phase::Rearm:
        break;
    case Phase::Idle:
        m_tick.stop();
        return;
    }
    if (m_bProbeLost) {
        m_tick.stop();
        m_probe.Release();
        return GoLost(Phase::Rearm, QStringLiteral("CommPort Lost"));
    }
    if (NowMs() - m_lastHeardMs.load() >= m_config.rearmMs) {
        m_tick.stop();
        m_probe.Release();
        return StartEngine();
    }
    m_probe.Write(&kLeadByte, 1);
}

void CStationLine::GoLost(Phase resume, const QString& reason)
{
    m_phase = Phase::Lost;
    m_resume = resume;
    if (m_bStopping)
        return EndPhase();
    SetState(LineState::Lost, reason);
    m_tick.start(kLostRetryMs);
}

void CStationLine::RetryLost()
{
    m_tick.stop();
    if (m_resume == Phase::Rearm)
        StartRearm();
    else
        StartEngine();
}

void CStationLine::Stop()
{
    if (m_phase == Phase::Idle)
        return;
    m_bStopping = true;
    if (m_phase == Phase::Engine)
        m_engine.CancelTransfer(); // OnEngineFinished ends the phase
    else
        EndPhase();
}

void CStationLine::Finish()
{
    if (m_phase == Phase::Engine && m_bFlashing)
        m_bStopping = true;
    else
        Stop();
}

void CStationLine::EndPhase()
{
    m_tick.stop();
    m_probe.Release();
    m_phase = Phase::Idle;
    m_bStopping = false;
    SetState(LineState::Stopped);
    emit stopped();
}

void CStationLine::SetState(LineState state, const QString& reason)
{
    m_status.state = state;
    if (state == LineState::Fail || state == LineState::Lost)
        m_status.reason = reason;
    emit changed();
}
