#include "transfer/ctransferengine.h"

#include "base/messagebox.h"
#include "serial/ccomm.h"
#include "transfer/cwindowtimer.h"
#include "transfer/frameparser.h"
#include "transfer/transferreporter.h"

#include <QLatin1String>
#include <cstdio>

CTransferEngine::CTransferEngine(QObject* parent)
    : QObject(parent)
    , m_session([this](CComm& port) { OnCommRead(port); }, [this] { m_word.Stop(CStateWord::StopReason::PortLost); })
    , m_receiveCheck(m_crc, kReceiveStoreSize)
{
    auto onTimer = [this](int id, std::uint64_t generation) { OnTimer(id, generation); };
    m_syncTimer = std::make_unique<CWindowTimer>(kSyncTimer, onTimer, this);
    m_frameTimer = std::make_unique<CWindowTimer>(kFrameTimer, onTimer, this);
}

CTransferEngine::~CTransferEngine()
{
    ClosePort();
}

int CTransferEngine::AcknowledgedCount(const QString& statusText)
{
    for (const TransferKind kind : { TransferKind::Code, TransferKind::Loader }) {
        const QLatin1String prefix(TraitsOf(kind).ackText);
        if (statusText.startsWith(prefix))
            return statusText.mid(prefix.size()).toInt();
    }
    return -1;
}

void CTransferEngine::SetTimerIntervals(int syncMs, int frameMs)
{
    m_nSyncTimeoutMs = syncMs;
    m_nFrameTimeoutMs = frameMs;
}

QByteArrayView CTransferEngine::ReceivedData() const
{
    return QByteArrayView(m_receiveStore.data(), m_nReceiveEnd.load());
}

QString CTransferEngine::ReceiveWarning() const
{
    return m_bCrcWarning ? QString::fromLatin1(kCrcWarningText) : QString();
}

bool CTransferEngine::IsTransferRunning() const
{
    std::lock_guard lock(m_workerMutex);
    return m_bWorkerRunning;
}

TransferStats CTransferEngine::Stats() const
{
    TransferStats stats;
    stats.bytes = m_nBytes.load();
    stats.frames = m_nFrames.load();
    stats.resentFrames = m_nResentFrames.load();
    stats.noAnswers = m_nNoAnswerCount.load();
    return stats;
}

// ---- starting and ending transfers ---------------------------------------

int CTransferEngine::StartFileTransfer(const TransferSetup& setup, SendImage image)
{
    if (IsTransferRunning())
        return RefuseTransfer(QStringLiteral("CommPort Open Error"));
    m_image = std::move(image);
    m_bFileWorker = true;
    m_bReceiveMode = false;
    m_word.Reset(Waiting);
    return Begin(setup, true);
}

int CTransferEngine::StartBufferTransfer(const TransferSetup& setup, const uint8_t* data, uint32_t length)
{
    if (IsTransferRunning())
        return RefuseTransfer(QStringLiteral("CommPort Open Error"));
    if (data == nullptr || length > kTransmitBufferSize)
        length = data == nullptr ? 0 : kTransmitBufferSize;
    m_nTransmitCount = length;
    if (length > 0)
        std::memcpy(m_transmitBuffer.data(), data, length);
    const bool receiving = TraitsOf(setup.kind).receives;
    m_bFileWorker = false;
    m_nReceiveEnd = 0;
    m_receiveCheck.Reset();
    m_bCrcWarning = false;
    m_bCrcWarningPending = false;
    // In receive mode from the first byte on: the receiver's sync may follow the opening at once.
    m_bReceiveMode = receiving;
    m_word.Reset(receiving ? WaitSync : Waiting);
    if (Begin(setup, !receiving))
        return 1;
    m_bReceiveMode = false;
    m_word.Reset(Waiting);
    return 0;
}

int CTransferEngine::Begin(const TransferSetup& setup, bool discardFirst)
{
    m_setup = setup;
    m_nBytes = 0;
    m_nFrames = 0;
    m_nResentFrames = 0;
    m_nNoAnswerCount = 0;
    m_nPacketNumber = -1;
    m_nNakCount = 0;
    m_failMessage = QStringLiteral("Transfer Error !! ");
    m_statusText.clear();
    if (!m_session.Open(setup.settings, setup.device, discardFirst))
        return RefuseTransfer(QStringLiteral("CommPort Open Error"));
    JoinWorker();
    {
        std::lock_guard lock(m_workerMutex);
        m_bWorkerRunning = true;
    }
    m_worker = std::thread([this] {
        CGuiCallGate::SetCurrent(&m_guiCalls);
        if (m_bFileWorker)
            FileTransferThread();
        else
            BufferTransferThread();
    });
    emit TransferStarted();
    return 1;
}

// The transfer is abandoned, the program goes on: ending it would lose unsaved preset edits. The
// buttons are left to the caller: a transfer that is running keeps its own locked.
int CTransferEngine::RefuseTransfer(const QString& text)
{
    m_result = TransferResult::PortError;
    Message(text);
    return 0;
}

void CTransferEngine::CancelTransfer()
{
    if (IsTransferRunning())
        m_word.Stop(CStateWord::StopReason::Cancel);
}

void CTransferEngine::ClosePort()
{
    m_word.Stop(CStateWord::StopReason::Exit);
    // A worker waiting for the GUI thread (a message box, a progress notice) is let go, so the join
    // below ends within the worker's next step wherever it was.
    m_guiCalls.Close();
    JoinWorker();
    m_session.Release();
    m_guiCalls.Reopen();
    std::lock_guard lock(m_workerMutex);
    m_bWorkerRunning = false;
}

void CTransferEngine::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

// Worker: the notice goes to the GUI thread, which joins the worker before it tells anyone.
void CTransferEngine::Finished(bool success)
{
    QMetaObject::invokeMethod(
        this,
        [this, success] {
            // ClosePort joined it already: the program is closing, and no one is told any more.
            if (!m_worker.joinable())
                return;
            m_worker.join();
            {
                std::lock_guard lock(m_workerMutex);
                m_bWorkerRunning = false;
            }
            emit TransferFinished(success);
        },
        Qt::QueuedConnection);
}

TransferResult CTransferEngine::StoppedResult() const
{
    switch (m_word.Reason()) {
    case CStateWord::StopReason::PortLost:
        return TransferResult::PortLost;
    case CStateWord::StopReason::None:
        return TransferResult::Failed;
    default:
        return TransferResult::Cancelled;
    }
}

// The one way every worker ends: its message, the port released, the buttons back, then the notice.
void CTransferEngine::EndTransfer(TransferResult result)
{
    const bool sending = m_bFileWorker || !TraitsOf(m_setup.kind).receives;
    // The editor unlocks its buttons on the notice past the expected count; a completed copy has had it.
    // A receive that failed then ends as one whose data fails the checks: "Received Data Error".
    if (!m_bFileWorker && result != TransferResult::Completed)
        ReportProgress(m_setup.expectedPackets + 1, sending);
    if (!sending && result == TransferResult::Failed)
        ReportProgress(0, false);
    // A lost line is let go of before the user is asked anything.
    const bool releaseFirst = result == TransferResult::PortLost;
    if (releaseFirst)
        m_session.Release();
    switch (result) {
    case TransferResult::Completed:
        Message(QStringLiteral("Transfer Completed "));
        break;
    case TransferResult::Failed:
        Message(m_failMessage);
        break;
    case TransferResult::Cancelled:
        ReportStatus("Transfer Cancelled");
        break;
    case TransferResult::PortLost:
        ReportStatus("CommPort Lost");
        if (m_word.Reason() != CStateWord::StopReason::Exit)
            Message(QStringLiteral("CommPort Lost"));
        break;
    case TransferResult::PortError:
        break;
    }
    if (!releaseFirst)
        m_session.Release();
    if (m_bFileWorker && m_setup.view != nullptr && m_word.Reason() != CStateWord::StopReason::Exit)
        m_setup.view->EnableStartButtons();
    m_result = result;
    Finished(result == TransferResult::Completed);
}

// ---- reporting -------------------------------------------------------------

void CTransferEngine::Message(const QString& text)
{
    if (m_setup.view != nullptr && m_setup.view->TakeMessage(text))
        return;
    ShowMessageBox(text);
}

void CTransferEngine::ReportStatus(const char* text, int number)
{
    if (m_word.Reason() == CStateWord::StopReason::Exit)
        return;
    // Reuses one string, so that a status text per frame costs no allocation.
    m_statusText.resize(0);
    m_statusText.append(QLatin1String(text));
    if (number >= 0) {
        char digits[16];
        const int n = std::snprintf(digits, sizeof digits, "%d", number);
        m_statusText.append(QLatin1String(digits, n));
    }
    if (m_setup.view != nullptr)
        m_setup.view->SetStatusText(m_statusText);
}

void CTransferEngine::ReportProgress(unsigned count, bool sending)
{
    if (m_setup.view != nullptr && m_word.Reason() != CStateWord::StopReason::Exit)
        m_setup.view->TransferProgress(count, sending);
}

void CTransferEngine::Report(PendingReport& report, bool sending)
{
    if (report.text != nullptr)
        ReportStatus(report.text, report.number);
    else if (report.progress > 0)
        ReportProgress(report.progress, sending);
    report = {};
}

// ---- what the line and the timers say ----------------------------------------

void CTransferEngine::OnCommRead(CComm& port)
{
    const uint8_t* buffer = port.ReceiveBuffer();
    const int count = port.ReceiveCount();
    if (!m_bReceiveMode) {
        if (const std::optional<TransferState> reply = ParseReply(buffer, count)) {
            m_word.Set(*reply);
            port.ClearReceive();
        }
        return;
    }
    switch (ParseReceived(buffer, count, m_word.Get() == WaitSync)) {
    case ReceivedUnit::Incomplete:
        return;
    case ReceivedUnit::Sync:
        m_word.Set(Ack);
        break;
    case ReceivedUnit::Noise:
        break;
    case ReceivedUnit::DataFrame:
        OnFrameReceived(buffer);
        break;
    case ReceivedUnit::EndFrame:
        m_word.Set(Terminate);
        break;
    case ReceivedUnit::Other:
        m_word.Set(Other);
        break;
    }
    port.ClearReceive();
}

std::uint64_t CTransferEngine::TimerGeneration(int id) const
{
    return (id == kSyncTimer ? m_syncTimer : m_frameTimer)->Generation();
}

void CTransferEngine::OnTimer(int id, std::uint64_t generation)
{
    // An expiry read just before the worker stopped or armed the timer again belongs to an earlier
    // wait: the reply to that frame, or the next frame's own timer, must not be touched by it.
    if ((id != kSyncTimer && id != kFrameTimer) || generation != TimerGeneration(id))
        return;
    // A reply parsed before this time-out was handled wins over it.
    if (m_word.Get() != Waiting)
        return;
    // Whatever came in since the frame was sent is noise. It is cleared before the worker learns of the
    // time-out: cleared later, it could take the answer to the frame sent again with it.
    m_session.ClearReceive();
    (void)m_word.SetIf(Waiting, NoAnswer);
}
