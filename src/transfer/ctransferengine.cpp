#include "transfer/ctransferengine.h"

#include "base/messagebox.h"
#include "serial/ccomm.h"
#include "serial/ccommowner.h"
#include "serial/openerror.h"
#include "transfer/cblockingcall.h"
#include "transfer/ccrc32.h"
#include "transfer/cwindowtimer.h"
#include "transfer/frame.h"
#include "transfer/receivestore.h"
#include "transfer/transferreporter.h"

#include <QLatin1String>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr int kNakLimit = 16;
constexpr int kQuietMs = 200;
constexpr char kAckText[] = "Trnasmited Count ";
constexpr char kLoaderAckText[] = "Transmited Count ";

std::int64_t Now()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}
} // namespace

// The reader thread's WM_COMM_READ: hand the port to OnCommRead on the GUI thread and wait.
class CTransferEngine::CommOwner : public CCommOwner {
public:
    explicit CommOwner(CTransferEngine& engine)
        : m_engine(engine)
    {
    }
    void CommRead(CComm& port, unsigned) override
    {
        if (m_engine.m_bDiscarding.load()) {
            port.ClearReceive();
            m_engine.m_lastDelivery = Now();
            return;
        }
        m_engine.m_pDelivering = &port;
        (void)m_engine.m_commRead->Call();
    }
    void CommLost(CComm&) override { m_engine.Stop(StopReason::PortLost); }

private:
    CTransferEngine& m_engine;
};

// What a send transfer reads its chunks from: the image read at the start or the transmit buffer.
struct CTransferEngine::SendSource {
    const uint8_t* buffer = nullptr;
    std::size_t remaining = 0;

    // The chunk's length; 0 at the end of the source.
    int Fill(uint8_t* chunk)
    {
        const std::size_t n = std::min<std::size_t>(remaining, kChunkSize);
        std::memcpy(chunk, buffer, n);
        buffer += n;
        remaining -= n;
        return int(n);
    }
};

CTransferEngine::CTransferEngine(QObject* parent)
    : QObject(parent)
    , m_crc(std::make_unique<CCrc32>())
    , m_receiveCheck(*m_crc, kReceiveStoreSize)
    , m_commOwner(std::make_unique<CommOwner>(*this))
{
    m_commRead = std::make_unique<CBlockingCall>([this] { OnCommRead(*m_pDelivering); }, this);
    auto onTimer = [this](int id) { OnTimer(id); };
    m_syncTimer = std::make_unique<CWindowTimer>(kSyncTimer, onTimer, this);
    m_frameTimer = std::make_unique<CWindowTimer>(kFrameTimer, onTimer, this);
    ResetEngine();
}

CTransferEngine::~CTransferEngine()
{
    ClosePort();
}

int CTransferEngine::AcknowledgedCount(const QString& statusText)
{
    for (const QLatin1String prefix : { QLatin1String(kAckText), QLatin1String(kLoaderAckText) }) {
        if (statusText.startsWith(prefix))
            return statusText.mid(prefix.size()).toInt();
    }
    return -1;
}

void CTransferEngine::SetTransferView(CTransferReporter* view)
{
    m_pView = view;
}

void CTransferEngine::SetPortSettings(const PortSettings& settings)
{
    m_portSettings = settings;
}

PortSettings CTransferEngine::GetPortSettings() const
{
    return m_portSettings;
}

void CTransferEngine::SetPortDevice(const QString& path)
{
    m_portDevice = path;
}

void CTransferEngine::SetSelectedPath(const QString& path)
{
    std::lock_guard lock(m_portMutex);
    m_selectedPath = path;
}

QString CTransferEngine::SelectedPath() const
{
    std::lock_guard lock(m_portMutex);
    return m_selectedPath;
}

void CTransferEngine::SetTimerIntervals(int syncMs, int frameMs)
{
    m_nSyncTimeoutMs = syncMs;
    m_nFrameTimeoutMs = frameMs;
}

int CTransferEngine::ReceivedLength() const
{
    return m_nReceiveEnd;
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
    stats.noAnswers = unsigned(m_nNoAnswerCount.load());
    return stats;
}

QString CTransferEngine::PortDevice() const
{
    std::lock_guard lock(m_portMutex);
    return m_openedDevice;
}

void CTransferEngine::ResetStats()
{
    m_nBytes = 0;
    m_nFrames = 0;
    m_nResentFrames = 0;
    m_nNoAnswerCount = 0;
    m_failMessage = QStringLiteral("Transfer Error !! ");
    m_statusText.clear();
}

void CTransferEngine::ResetEngine()
{
    SetState(Waiting);
    m_nPacketNumber = -1;
    m_nNoAnswerCount = 0;
    m_nNakCount = 0;
    m_chunk.fill(0);
    m_frame.fill(0);
}

// ---- port ----------------------------------------------------------------

int CTransferEngine::OpenPort()
{
    m_lastOpenError.clear();
    auto comm = std::unique_ptr<CComm>(new (std::nothrow) CComm);
    if (!comm)
        return RefuseTransfer(QStringLiteral("Can't Open Port.. Check and try again"));
    comm->SetMessageTag(kCommTag);
    comm->SetSettings(uint8_t(m_portSettings.port), m_portSettings.baudRate, m_portSettings.dataBits,
        m_portSettings.stopBits, m_portSettings.parity);
    comm->SetDevice(m_portDevice);
    {
        std::lock_guard lock(m_portMutex);
        m_openedDevice = comm->DevicePath();
    }
    (void)comm->CreateEvents();
    m_commRead->Reopen();
    // Owner first, so that nothing the receiver sends right after the opening goes unseen.
    comm->SetOwner(m_commOwner.get());
    if (!comm->Open()) {
        m_lastOpenError = DescribeOpenError(comm->DevicePath(), comm->OpenError());
        comm->Destroy();
        return RefuseTransfer(QStringLiteral("CommPort Open Error"));
    }
    m_lastDelivery = Now();
    std::lock_guard lock(m_portMutex);
    m_pComm = std::move(comm);
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

void CTransferEngine::ReleasePort()
{
    std::unique_ptr<CComm> comm;
    {
        std::lock_guard lock(m_portMutex);
        comm = std::move(m_pComm);
    }
    if (comm) {
        comm->Close();
        comm->Destroy();
    }
}

// ---- starting and ending transfers ---------------------------------------

int CTransferEngine::StartWorker(void (*function)(CTransferEngine*))
{
    JoinWorker(false);
    {
        std::lock_guard lock(m_workerMutex);
        m_bWorkerRunning = true;
    }
    m_worker = std::thread(function, this);
    emit TransferStarted();
    return 1;
}

void CTransferEngine::FinishWorker(bool success)
{
    ReleasePort();
    {
        std::lock_guard lock(m_workerMutex);
        m_bWorkerRunning = false;
    }
    m_workerEnded.notify_all();
    // Last, so that a new transfer started on this notice finds the engine free; the thread object
    // is joined before another worker starts or the engine goes.
    emit TransferFinished(success);
}

void CTransferEngine::JoinWorker(bool atExit)
{
    std::unique_lock lock(m_workerMutex);
    if (atExit) {
        // A worker blocked in a call to a GUI thread that no longer runs would never end; at exit
        // it is left behind rather than hang the program.
        if (!m_workerEnded.wait_for(lock, std::chrono::seconds(3), [this] { return !m_bWorkerRunning; })) {
            lock.unlock();
            if (m_worker.joinable())
                m_worker.detach();
            return;
        }
    } else {
        m_workerEnded.wait(lock, [this] { return !m_bWorkerRunning; });
    }
    lock.unlock();
    if (m_worker.joinable())
        m_worker.join();
}

int CTransferEngine::StartFileTransfer()
{
    if (IsTransferRunning())
        return RefuseTransfer(QStringLiteral("CommPort Open Error"));
    return StartFileTransfer(ReadSendImage(SelectedPath()));
}

int CTransferEngine::StartFileTransfer(SendImage image)
{
    if (IsTransferRunning())
        return RefuseTransfer(QStringLiteral("CommPort Open Error"));
    m_image = std::move(image);
    m_bAbort = false;
    m_stopReason = StopReason::None;
    ResetStats();
    m_bDiscarding = true;
    g_bReceiveMode = false;
    if (!OpenPort())
        return 0;
    return StartWorker(FileTransferThread);
}

int CTransferEngine::StartBufferTransfer(int kind, const uint8_t* data, uint32_t length)
{
    if (IsTransferRunning())
        return RefuseTransfer(QStringLiteral("CommPort Open Error"));
    m_bAbort = false;
    m_stopReason = StopReason::None;
    ResetStats();
    if (data == nullptr || length > kTransmitBufferSize)
        length = data == nullptr ? 0 : kTransmitBufferSize;
    g_nBufferKind = kind;
    m_nTransmitCount = length;
    if (length > 0)
        std::memcpy(m_transmitBuffer.data(), data, length);
    const bool receiving = kind != 5;
    m_bDiscarding = !receiving;
    // In receive mode from the first byte on: the receiver's sync may follow the opening at once.
    g_bReceiveMode = receiving;
    g_bReceiveDone = false;
    m_nReceiveEnd = 0;
    m_receiveCheck.Reset();
    m_bCrcWarning = false;
    m_bCrcWarningPending = false;
    SetState(receiving ? WaitSync : Waiting);
    if (!OpenPort()) {
        g_bReceiveMode = false;
        SetState(Waiting);
        return 0;
    }
    return StartWorker(BufferTransferThread);
}

void CTransferEngine::CancelTransfer()
{
    if (IsTransferRunning())
        Stop(StopReason::Cancel);
}

void CTransferEngine::Stop(StopReason reason)
{
    StopReason none = StopReason::None;
    (void)m_stopReason.compare_exchange_strong(none, reason);
    {
        std::lock_guard lock(m_stateMutex);
        m_bAbort = true;
    }
    m_stateChanged.notify_all();
}

TransferResult CTransferEngine::StoppedResult() const
{
    switch (m_stopReason.load()) {
    case StopReason::PortLost:
        return TransferResult::PortLost;
    case StopReason::None:
        return TransferResult::Failed;
    default:
        return TransferResult::Cancelled;
    }
}

void CTransferEngine::ClosePort()
{
    Stop(StopReason::Exit);
    if (IsTransferRunning()) {
        m_commRead->Close();
        JoinWorker(true);
        m_commRead->Reopen();
    } else {
        JoinWorker(false);
        ReleasePort();
    }
}

// ---- reporting -------------------------------------------------------------

void CTransferEngine::Message(const QString& text)
{
    ShowMessageBox(text);
}

void CTransferEngine::ReportStatus(const char* text, int number)
{
    if (m_stopReason.load() == StopReason::Exit)
        return;
    // Reuses one string, so that a status text per frame costs no allocation.
    m_statusText.resize(0);
    m_statusText.append(QLatin1String(text));
    if (number >= 0) {
        char digits[16];
        const int n = std::snprintf(digits, sizeof digits, "%d", number);
        m_statusText.append(QLatin1String(digits, n));
    }
    if (m_pView != nullptr)
        m_pView->SetStatusText(m_statusText);
}

void CTransferEngine::ReportProgress(unsigned count, bool sending)
{
    if (m_pView != nullptr && m_stopReason.load() != StopReason::Exit)
        m_pView->TransferProgress(count, sending);
}

// ---- protocol engine ---------------------------------------------------------

void CTransferEngine::SetState(int state)
{
    {
        std::lock_guard lock(m_stateMutex);
        m_state = state;
    }
    m_stateChanged.notify_all();
}

int CTransferEngine::WaitWhileState(int state1, int state2)
{
    std::unique_lock lock(m_stateMutex);
    m_stateChanged.wait(lock, [&] {
        const int state = m_state.load();
        return m_bAbort || (state != state1 && state != state2);
    });
    return m_state.load();
}

void CTransferEngine::SendFrame(char type, unsigned length)
{
    m_frame.fill(0);
    const uint8_t packet = uint8_t(m_nPacketNumber & 0xFF);
    int size = 0;
    switch (type) {
    case kTypePreset: {
        const int n = length > unsigned(kChunkSize) ? kChunkSize : int(length);
        size = BuildFrame(*m_crc, m_frame.data(), packet, type, uint16_t(n), m_chunk.data(), n);
        break;
    }
    case kTypeEnd:
        size = BuildFrame(*m_crc, m_frame.data(), packet, type, kEndFramePayload, nullptr, kEndFramePayload);
        break;
    default:
        size = BuildFrame(*m_crc, m_frame.data(), packet, type, kChunkSize, m_chunk.data(), kChunkSize);
        break;
    }
    if (m_pComm)
        (void)m_pComm->Write(m_frame.data(), size);
}

void CTransferEngine::SendReply(char letter)
{
    m_frame.fill(0);
    m_frame[0] = kLeadByte;
    m_frame[1] = uint8_t(letter);
    m_frame[2] = kLineFeed;
    if (m_pComm)
        (void)m_pComm->Write(m_frame.data(), kReplySize);
}

int CTransferEngine::OnCommRead(CComm& port)
{
    const uint8_t* buffer = port.ReceiveBuffer();
    const int count = port.ReceiveCount();

    if (!g_bReceiveMode) {
        // The two bytes before the first LF (from the third byte on) are the reply, so noise ahead of
        // a reply does not hide it.
        for (int i = 2; i < count; ++i) {
            if (buffer[i] != kLineFeed)
                continue;
            switch (buffer[i - 1]) {
            case 'A':
                SetState(Ack);
                break;
            case 'N':
                SetState(Nak);
                break;
            case 'T':
                SetState(Terminate);
                break;
            default:
                SetState(Other);
                break;
            }
            port.ClearReceive();
            break;
        }
        return 1;
    }

    if (m_state.load() == WaitSync) {
        if (count > 0 && buffer[0] == kLeadByte)
            SetState(Ack);
        port.ClearReceive();
        return 1;
    }
    if (count <= kFrameHeaderSize)
        return 1;
    switch (char(buffer[2])) {
    case kTypePreset: {
        if (count < kFrameSize)
            return 1;
        const CReceiveCheck::Verdict verdict = m_receiveCheck.Judge(buffer);
        if (verdict == CReceiveCheck::Verdict::Store || verdict == CReceiveCheck::Verdict::StoreDespiteCrc) {
            const int length = m_receiveCheck.Length();
            std::memcpy(g_ReceiveStore.data() + m_receiveCheck.Offset(), buffer + kFrameHeaderSize, size_t(length));
            m_nBytes += uint64_t(length);
            ++m_nFrames;
            g_nReceivedPackets = buffer[1] + 1;
            m_nReceiveEnd = m_receiveCheck.Offset() + length;
            if (verdict == CReceiveCheck::Verdict::StoreDespiteCrc && !m_bCrcWarning.exchange(true))
                m_bCrcWarningPending = true;
        }
        SetState(verdict == CReceiveCheck::Verdict::Refuse ? Nak : Ack);
        break;
    }
    // Whatever its length field says, the end frame is whole at its fixed size.
    case kTypeEnd:
        if (count < kFrameHeaderSize + kEndFramePayload + kFrameCrcSize)
            return 1;
        SetState(Terminate);
        break;
    default:
        SetState(Other);
        break;
    }
    port.ClearReceive();
    return 1;
}

void CTransferEngine::OnTimer(int id)
{
    if (id != kSyncTimer && id != kFrameTimer)
        return;
    if (id == kFrameTimer)
        m_frameTimer->Stop();
    if (g_bReceiveMode) {
        if (m_state.load() != WaitSync)
            SetState(NoAnswer);
        return;
    }
    // A reply parsed before this time-out was handled wins over it.
    if (m_state.load() != Waiting)
        return;
    // Whatever came in since the frame was sent is noise. It is cleared before the worker learns of the
    // time-out: cleared later, it could take the answer to the frame sent again with it.
    {
        std::lock_guard lock(m_portMutex);
        if (m_pComm)
            m_pComm->ClearReceive();
    }
    SetState(NoAnswer);
}

// A reply of an earlier session still on its way must not pass for the answer to this sync: what the
// line delivers is dropped until it has been quiet for as long as the receiver may take to answer a
// whole frame at this speed.
void CTransferEngine::WaitForQuietLine()
{
    const uint32_t baud = m_portSettings.baudRate;
    const int frameMs = baud > 0 ? int(int64_t(kFrameSize) * 10 * 1000 / baud) : 0;
    const std::chrono::nanoseconds quiet = std::chrono::milliseconds(std::max(kQuietMs, frameMs + kQuietMs / 2));
    {
        std::unique_lock lock(m_stateMutex);
        for (;;) {
            const std::chrono::nanoseconds since(Now() - m_lastDelivery.load());
            if (since >= quiet || m_stateChanged.wait_for(lock, quiet - since, [this] { return m_bAbort.load(); }))
                break;
        }
    }
    m_bDiscarding = false;
    std::lock_guard lock(m_portMutex);
    if (m_pComm)
        m_pComm->ClearReceive();
    SetState(Waiting);
}

bool CTransferEngine::RunSync(bool fileWorker)
{
    WaitForQuietLine();
    if (m_bAbort)
        return false;
    for (;;) {
        m_frame.fill(0);
        m_frame[0] = kLeadByte;
        if (m_pComm)
            (void)m_pComm->Write(m_frame.data(), 1);
        m_syncTimer->Start(m_nSyncTimeoutMs);
        int state = WaitWhileState(Waiting);
        m_syncTimer->Stop();
        if (m_bAbort)
            return false;
        if (state == NoAnswer) {
            ++m_nNoAnswerCount;
            if (fileWorker)
                ReportStatus("No Answer ", m_nNoAnswerCount);
            state = Nak;
        } else if (state == Other) {
            state = Nak;
        }
        SetState(Waiting);
        if (state != Nak)
            break;
    }
    if (fileWorker)
        ReportStatus("Sync Dectected ...");
    m_chunk.fill(0);
    m_frame.fill(0);
    return true;
}

TransferResult CTransferEngine::RunData(SendSource& source, char type, bool fileWorker, const char* ackText)
{
    int chunkCounter = 0;
    for (;;) {
        const int length = source.Fill(m_chunk.data());
        if (length == 0)
            break;
        m_nPacketNumber = (m_nPacketNumber + 1) & 0xFF;
        ++chunkCounter;
        int naksInARow = 0;
        for (;;) {
            SendFrame(type, unsigned(length));
            m_frameTimer->Start(m_nFrameTimeoutMs);
            int state = WaitWhileState(Waiting);
            m_frameTimer->Stop();
            if (m_bAbort)
                return StoppedResult();
            switch (state) {
            case Ack:
                m_nBytes += uint64_t(length);
                ++m_nFrames;
                if (fileWorker)
                    ReportStatus(ackText, chunkCounter);
                else
                    ReportProgress(unsigned(chunkCounter), true);
                break;
            case Nak:
                ++m_nNakCount;
                if (fileWorker)
                    ReportStatus("NAK  Data = ", m_nNakCount);
                // A receiver still inside an earlier download refuses every frame for ever.
                if (++naksInARow >= kNakLimit) {
                    ReportStatus(kOutOfStepText);
                    return TransferResult::Failed;
                }
                break;
            case Other:
                if (fileWorker)
                    ReportStatus("Other Answer this Data");
                state = Nak;
                naksInARow = 0;
                break;
            case NoAnswer:
                ++m_nNoAnswerCount;
                if (fileWorker)
                    ReportStatus("No Answer ", m_nNoAnswerCount);
                state = Nak;
                naksInARow = 0;
                break;
            default:
                return TransferResult::Failed;
            }
            if (state != Nak)
                break;
            ++m_nResentFrames;
            SetState(Waiting);
            m_frame.fill(0);
        }
        m_chunk.fill(0);
        m_frame.fill(0);
        SetState(Waiting);
    }
    m_nPacketNumber = (m_nPacketNumber + 1) & 0xFF;
    SendFrame(kTypeEnd, 0);
    return TransferResult::Completed;
}

TransferResult CTransferEngine::RunReceiveTransfer()
{
    g_bReceiveMode = true;
    g_bReceiveDone = false;
    unsigned ackCounter = 0;
    int refusalsInARow = 0;
    // Time-outs do not end a receive, so the worker simply waits for the parser's next verdict.
    while (!g_bReceiveDone && refusalsInARow < kNakLimit) {
        const int state = WaitWhileState(WaitSync, NoAnswer);
        if (m_bAbort)
            break;
        // The state moves on before the reply goes out: the receiver's next frame may follow it at once.
        SetState(NoAnswer);
        switch (state) {
        case Ack:
            SendReply('A');
            refusalsInARow = 0;
            if (m_bCrcWarningPending.exchange(false))
                ReportStatus(kCrcWarningText);
            ReportProgress(++ackCounter, false);
            break;
        case Terminate:
            SendReply('T');
            ReportProgress(unsigned(g_nExpectedPackets.load() + 1), false);
            g_bReceiveDone = true;
            break;
        default:
            SendReply('N');
            ++refusalsInARow;
            break;
        }
    }
    m_chunk.fill(0);
    m_frame.fill(0);
    SetState(Waiting);
    if (!g_bReceiveDone) {
        g_bReceiveMode = false;
        if (m_bAbort)
            return StoppedResult();
        // Nothing of a receive that failed may pass for the receiver's data.
        m_nReceiveEnd = 0;
        ReportStatus(kReceiveOutOfStepText);
        return TransferResult::Failed;
    }
    ReportProgress(0, false);
    g_bReceiveMode = false;
    return TransferResult::Completed;
}

// ---- workers ------------------------------------------------------------------

// The one way every worker ends: its message, the port released, the buttons back, then the notice.
void CTransferEngine::EndTransfer(TransferResult result, bool fileWorker)
{
    const bool sending = fileWorker || g_nBufferKind == 5;
    // The editor unlocks its buttons on the notice past the expected count; a completed copy has had it.
    // A receive that failed then ends as one whose data fails the checks: "Received Data Error".
    if (!fileWorker && result != TransferResult::Completed)
        ReportProgress(unsigned(g_nExpectedPackets.load() + 1), sending);
    if (!sending && result == TransferResult::Failed)
        ReportProgress(0, false);
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
        // The line is gone: let go of it before the user is asked anything.
        ReleasePort();
        ReportStatus("CommPort Lost");
        if (m_stopReason.load() != StopReason::Exit)
            Message(QStringLiteral("CommPort Lost"));
        break;
    case TransferResult::PortError:
        break;
    }
    ReleasePort();
    if (fileWorker && m_pView != nullptr && m_stopReason.load() != StopReason::Exit)
        m_pView->EnableStartButtons();
    m_result = result;
    FinishWorker(result == TransferResult::Completed);
}

void CTransferEngine::FileTransferThread(CTransferEngine* frame)
{
    if (frame == nullptr) {
        ShowMessageBox(QStringLiteral("Fail to start thread"));
        return;
    }
    CTransferEngine& e = *frame;
    const int kind = e.m_pView != nullptr ? e.m_pView->DownloadKind() : 2;
    const char type = kind == 4 ? kTypeLoader : kind == 3 ? kTypePreset : kTypeCode;
    const char* ackText = kind == 4 ? kLoaderAckText : kAckText;

    e.ResetEngine();
    if (!e.RunSync(true)) {
        e.EndTransfer(e.StoppedResult(), true);
        return;
    }
    TransferResult result = TransferResult::Failed;
    if (!e.m_image.failure.isEmpty()) {
        // Nothing can be sent after the sync; the transfer ends as failed, without an end frame.
        e.m_failMessage = e.m_image.failure;
    } else {
        SendSource source { reinterpret_cast<const uint8_t*>(e.m_image.bytes.constData()),
            std::size_t(e.m_image.bytes.size()) };
        result = e.RunData(source, type, true, ackText);
    }
    e.EndTransfer(result, true);
}

void CTransferEngine::BufferTransferThread(CTransferEngine* frame)
{
    if (frame == nullptr) {
        ShowMessageBox(QStringLiteral("Fail to start thread"));
        return;
    }
    CTransferEngine& e = *frame;
    TransferResult result = TransferResult::Failed;
    if (g_nBufferKind == 5) {
        e.ResetEngine();
        if (e.RunSync(false)) {
            SendSource source { e.m_transmitBuffer.data(), e.m_nTransmitCount };
            result = e.RunData(source, kTypePreset, false, nullptr);
        } else {
            result = e.StoppedResult();
        }
    } else {
        result = e.RunReceiveTransfer();
    }
    e.EndTransfer(result, false);
}
