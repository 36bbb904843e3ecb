#pragma once

#include "serial/portsettings.h"
#include "transfer/receivecheck.h"
#include "transfer/sendimage.h"
#include "transfer/transferresult.h"
#include "transfer/transferstate.h"

#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class CComm;
class CTransferReporter;
class CBlockingCall;
class CWindowTimer;
class CCrc32;

// The download protocol and its transfer workers. The main window owns one for the whole run. The
// object lives on the GUI thread: replies are parsed there (OnCommRead) and timers 2 and 3 fire
// there; the worker thread writes frames and waits for the state the parser and the timers set.
class CTransferEngine : public QObject {
    Q_OBJECT

public:
    static constexpr int kSyncTimer = 2;
    static constexpr int kFrameTimer = 3;
    static constexpr int kSyncTimeoutMs = 1000;
    static constexpr int kFrameTimeoutMs = 20000;
    static constexpr int kChunkSize = 1024;
    static constexpr int kFrameSize = kChunkSize + 9;
    static constexpr uint32_t kTransmitBufferSize = 100000;
    static constexpr unsigned kCommTag = 1;
    // The status text of a transfer ended by a receiver that refuses the same frame again and again.
    static constexpr const char* kOutOfStepText
        = "The receiver refused the same frame 16 times in a row: it is out of step. Restart the receiver, then send "
          "again.";
    // Said once per receive, on the status line, when frames were taken although their CRC disagrees.
    static constexpr const char* kCrcWarningText
        = "Warning: frames whose CRC-32 disagrees were taken, because two copies in a row were equal; the "
          "receiver fills the CRC in a way of its own.";
    // The status text of a receive ended by 16 refusals of one frame in a row.
    static constexpr const char* kReceiveOutOfStepText
        = "The receiver's frame was refused 16 times in a row: the data does not arrive whole.";

    explicit CTransferEngine(QObject* parent = nullptr);
    ~CTransferEngine() override;
    CTransferEngine(const CTransferEngine&) = delete;
    CTransferEngine& operator=(const CTransferEngine&) = delete;

    // The reporter of the following transfers: status texts, buttons, progress notices, download kind.
    void SetTransferView(CTransferReporter* view);

    // The count of chunks acknowledged that a file transfer's status text carries, or -1 when the text
    // is not such a count ("Trnasmited Count %d" for code and preset data, "Transmited Count %d" for loader data).
    [[nodiscard]] static int AcknowledgedCount(const QString& statusText);

    // Read once by OpenPort; a change takes effect with the next transfer.
    void SetPortSettings(const PortSettings& settings);
    [[nodiscard]] PortSettings GetPortSettings() const;
    // A device path used instead of the "COMn" of the settings; empty restores the port number.
    void SetPortDevice(const QString& path);

    // The file the next StartFileTransfer() reads whole before it starts.
    void SetSelectedPath(const QString& path);
    [[nodiscard]] QString SelectedPath() const;

    // GUI thread. Return 1 when the worker started, 0 when the port could not be opened or is in use
    // by the running transfer ("CommPort Open Error" has been shown; nothing of a running transfer
    // changed, and the caller puts back what it changed for the start).
    int StartFileTransfer();
    // Sends image; a failed image ends the transfer after the sync with its failure text.
    int StartFileTransfer(SendImage image);
    // The size of the image the running or last file transfer sends.
    [[nodiscard]] qint64 ImageSize() const { return m_image.bytes.size(); }
    int StartBufferTransfer(int kind, const uint8_t* data, uint32_t length);
    int OpenPort();
    // Why the last OpenPort failed, in one line (the device and the system's reason); empty when it
    // succeeded.
    [[nodiscard]] QString LastOpenError() const { return m_lastOpenError; }

    // Ends a running transfer or pending receive within a second as cancelled: status "Transfer
    // Cancelled", no end frame, port released, buttons unlocked, no message box; TransferFinished(false)
    // follows. Does nothing when no transfer runs.
    void CancelTransfer();
    // At program exit: ends a running transfer and closes the port.
    void ClosePort();
    [[nodiscard]] bool IsTransferRunning() const;

    // How the last transfer ended: valid once TransferFinished was emitted, or after a Start* returned 0
    // (PortError).
    [[nodiscard]] TransferResult LastResult() const { return m_result.load(); }
    // Any thread: the counters of the running or the last transfer.
    [[nodiscard]] TransferStats Stats() const;
    // The device path the running or the last transfer opened (or tried to).
    [[nodiscard]] QString PortDevice() const;

    // Tests shorten timers 2 and 3; the program keeps 1000 ms and 20000 ms.
    void SetTimerIntervals(int syncMs, int frameMs);

    // After a receive: the bytes stored, from offset 0; 0 after a receive that failed.
    [[nodiscard]] int ReceivedLength() const;
    // After a receive: kCrcWarningText when frames were taken despite their CRC, else empty.
    [[nodiscard]] QString ReceiveWarning() const;

    // Protocol engine. OnCommRead and OnTimer run on the GUI thread; SendFrame and SendReply on the worker.
    int OnCommRead(CComm& port);
    void OnTimer(int id);
    void SendFrame(char type, unsigned length);
    void SendReply(char letter);
    [[nodiscard]] TransferState State() const { return TransferState(m_state.load()); }

    // GUI thread, after TransferFinished: the last status text the transfer reported, empty if none.
    [[nodiscard]] QString LastStatusText() const { return m_statusText; }

signals:
    // Emitted on the GUI thread when a worker has started.
    void TransferStarted();
    // Emitted from the worker when it has ended and released the port.
    void TransferFinished(bool success);

private:
    struct SendSource;
    // Why the worker stops before the protocol ends it; the first reason wins.
    enum class StopReason { None, Cancel, PortLost, Exit };
    class CommOwner;

    static void FileTransferThread(CTransferEngine* frame);
    static void BufferTransferThread(CTransferEngine* frame);

    void ResetEngine();
    void WaitForQuietLine();
    bool RunSync(bool fileWorker);
    TransferResult RunData(SendSource& source, char type, bool fileWorker, const char* ackText);
    TransferResult RunReceiveTransfer();
    void Stop(StopReason reason);
    [[nodiscard]] TransferResult StoppedResult() const;
    void ResetStats();
    void EndTransfer(TransferResult result, bool fileWorker);
    void ReportStatus(const char* text, int number = -1);
    void ReportProgress(unsigned count, bool sending);
    void Message(const QString& text);
    int RefuseTransfer(const QString& text);
    void ReleasePort();
    void SetState(int state);
    int WaitWhileState(int state1, int state2 = -1);
    [[nodiscard]] int StartWorker(void (*function)(CTransferEngine*));
    void FinishWorker(bool success);
    void JoinWorker(bool atExit);

    std::atomic<int> m_state { Waiting };
    std::mutex m_stateMutex;
    std::condition_variable m_stateChanged;
    std::atomic<bool> m_bAbort { false };
    std::atomic<StopReason> m_stopReason { StopReason::None };
    std::atomic<bool> m_bDiscarding { false };
    std::atomic<std::int64_t> m_lastDelivery { 0 };
    std::atomic<TransferResult> m_result { TransferResult::Completed };
    std::atomic<std::uint64_t> m_nBytes { 0 };
    std::atomic<unsigned> m_nFrames { 0 };
    std::atomic<unsigned> m_nResentFrames { 0 };

    std::unique_ptr<CCrc32> m_crc;
    int m_nPacketNumber = -1;
    std::array<uint8_t, kFrameSize> m_frame {};
    std::array<uint8_t, kChunkSize> m_chunk {};
    std::array<uint8_t, kTransmitBufferSize> m_transmitBuffer {};
    uint32_t m_nTransmitCount = 0;
    std::atomic<int> m_nNoAnswerCount { 0 };
    int m_nNakCount = 0;
    int m_nReceiveEnd = 0;
    CReceiveCheck m_receiveCheck;
    std::atomic<bool> m_bCrcWarning { false };
    std::atomic<bool> m_bCrcWarningPending { false };
    SendImage m_image;

    mutable std::mutex m_portMutex;
    std::unique_ptr<CComm> m_pComm;
    std::unique_ptr<CommOwner> m_commOwner;
    CComm* m_pDelivering = nullptr;
    PortSettings m_portSettings;
    QString m_portDevice;
    QString m_lastOpenError;
    QString m_openedDevice;
    QString m_selectedPath;
    CTransferReporter* m_pView = nullptr;

    std::unique_ptr<CBlockingCall> m_commRead;
    std::unique_ptr<CWindowTimer> m_syncTimer;
    std::unique_ptr<CWindowTimer> m_frameTimer;
    std::atomic<int> m_nSyncTimeoutMs { kSyncTimeoutMs };
    std::atomic<int> m_nFrameTimeoutMs { kFrameTimeoutMs };

    std::thread m_worker;
    bool m_bWorkerRunning = false;
    mutable std::mutex m_workerMutex;
    std::condition_variable m_workerEnded;
    QString m_statusText;
    QString m_failMessage;
};
