#pragma once

#include "base/cguicallgate.h"
#include "serial/portsettings.h"
#include "transfer/ccrc32.h"
#include "transfer/cportsession.h"
#include "transfer/cstateword.h"
#include "transfer/receivecheck.h"
#include "transfer/sendimage.h"
#include "transfer/transferkind.h"
#include "transfer/transferresult.h"
#include "transfer/transferstate.h"

#include <QByteArrayView>
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
class CWindowTimer;

// Everything one transfer needs from its caller, handed over when it starts and kept until it ends.
struct TransferSetup {
    CTransferReporter* view = nullptr;
    PortSettings settings;
    // Used instead of the "COMn" of the settings when not empty.
    QString device;
    TransferKind kind = TransferKind::Code;
    // A preset copy's frame count as the editor shows it; the end notice is one past it.
    unsigned expectedPackets = 0;
};

// The download protocol and its transfer workers: the facade that the form, the preset editor and the
// command line use. The object lives on the GUI thread, where the timers fire and its signals come;
// the port's reader thread parses what arrives, and one worker thread at a time writes frames and waits
// for the state the parser and the timers set. Two engines share nothing: one per line.
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
    static constexpr int kReceiveStoreSize = 100000;
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

    // The count of chunks acknowledged that a file transfer's status text carries, or -1 when the text
    // is not such a count ("Trnasmited Count %d" for code and preset data, "Transmited Count %d" for loader data).
    [[nodiscard]] static int AcknowledgedCount(const QString& statusText);

    // GUI thread. Return 1 when the worker started, 0 when the port could not be opened or is in use
    // by the running transfer ("CommPort Open Error" has been shown; nothing of a running transfer
    // changed, and the caller puts back what it changed for the start).
    // A file download of setup.kind; a failed image ends the transfer after the sync with its failure text.
    int StartFileTransfer(const TransferSetup& setup, SendImage image);
    // A preset copy: the data to the receiver, or the receiver's data into the receive store.
    int StartBufferTransfer(const TransferSetup& setup, const uint8_t* data, uint32_t length);
    // The size of the image the running or last file transfer sends.
    [[nodiscard]] qint64 ImageSize() const { return m_image.bytes.size(); }
    // Why the last opening failed, in one line (the device and the system's reason); empty when it
    // succeeded.
    [[nodiscard]] QString LastOpenError() const { return m_session.LastOpenError(); }

    // Ends a running transfer or pending receive within a second as cancelled: status "Transfer
    // Cancelled", no end frame, port released, buttons unlocked, no message box; TransferFinished(false)
    // follows. Does nothing when no transfer runs.
    void CancelTransfer();
    // At program exit, at any moment: ends a running transfer (a message box it waits for included),
    // joins its worker and closes the port. Nothing is reported to the view any more.
    void ClosePort();
    [[nodiscard]] bool IsTransferRunning() const;

    // How the last transfer ended: valid once TransferFinished was emitted, or after a Start* returned 0
    // (PortError).
    [[nodiscard]] TransferResult LastResult() const { return m_result.load(); }
    // Any thread: the counters of the running or the last transfer.
    [[nodiscard]] TransferStats Stats() const;
    // The device path the running or the last transfer opened (or tried to).
    [[nodiscard]] QString PortDevice() const { return m_session.DevicePath(); }

    // Tests shorten timers 2 and 3; the program keeps 1000 ms and 20000 ms.
    void SetTimerIntervals(int syncMs, int frameMs);

    // After a receive: the bytes stored, from offset 0; none after a receive that failed.
    [[nodiscard]] int ReceivedLength() const { return m_nReceiveEnd.load(); }
    [[nodiscard]] QByteArrayView ReceivedData() const;
    // After a receive: kCrcWarningText when frames were taken despite their CRC, else empty.
    [[nodiscard]] QString ReceiveWarning() const;

    // GUI thread: an expiry of timer id, from its arming of that generation.
    void OnTimer(int id, std::uint64_t generation);
    // The generation of the timer's current arming (or stop).
    [[nodiscard]] std::uint64_t TimerGeneration(int id) const;
    [[nodiscard]] TransferState State() const { return m_word.Get(); }

    // GUI thread, after TransferFinished: the last status text the transfer reported, empty if none.
    [[nodiscard]] QString LastStatusText() const { return m_statusText; }

signals:
    // Emitted on the GUI thread when a worker has started.
    void TransferStarted();
    // Emitted on the GUI thread once the worker has ended, released the port and been joined.
    void TransferFinished(bool success);

private:
    // What a send transfer reads its chunks from: the image read at the start or the transmit buffer.
    struct SendSource {
        const uint8_t* buffer = nullptr;
        std::size_t remaining = 0;
    };
    // A status text or progress notice held back until the next frame is on its way.
    struct PendingReport {
        const char* text = nullptr;
        int number = -1;
        unsigned progress = 0;
    };

    int Begin(const TransferSetup& setup, bool discardFirst);
    int RefuseTransfer(const QString& text);
    [[nodiscard]] TransferResult StoppedResult() const;
    void ReportStatus(const char* text, int number = -1);
    void ReportProgress(unsigned count, bool sending);
    void Report(PendingReport& report, bool sending);
    void Message(const QString& text);
    void EndTransfer(TransferResult result);
    void Finished(bool success);
    void JoinWorker();

    // The parser, on the port's reader thread (ctransferengine_receive.cpp for the receive side).
    void OnCommRead(CComm& port);
    void OnFrameReceived(const uint8_t* frame);

    // The worker's loops (ctransferengine_send.cpp, ctransferengine_receive.cpp).
    void FileTransferThread();
    void BufferTransferThread();
    bool RunSync();
    TransferResult RunData(SendSource source, char type);
    int BuildDataFrame(int slot, SendSource& source, char type);
    TransferResult RunReceiveTransfer();
    void SendReply(char letter);

    // Fixed while a worker runs: written by the start, on the GUI thread, before the worker exists.
    TransferSetup m_setup;
    bool m_bFileWorker = false;
    SendImage m_image;
    std::array<uint8_t, kTransmitBufferSize> m_transmitBuffer {};
    uint32_t m_nTransmitCount = 0;

    CStateWord m_word;
    CPortSession m_session;
    CGuiCallGate m_guiCalls;
    CCrc32 m_crc;
    std::atomic<TransferResult> m_result { TransferResult::Completed };
    std::atomic<std::uint64_t> m_nBytes { 0 };
    std::atomic<unsigned> m_nFrames { 0 };
    std::atomic<unsigned> m_nResentFrames { 0 };
    std::atomic<unsigned> m_nNoAnswerCount { 0 };

    // The worker's own.
    int m_nPacketNumber = -1;
    int m_nNakCount = 0;
    std::array<std::array<uint8_t, kFrameSize>, 2> m_frames {};
    std::array<int, 2> m_frameSizes {};
    std::array<uint8_t, kChunkSize> m_chunk {};
    QString m_statusText;
    QString m_failMessage;

    // The receive side's: written by the parser while the worker waits, read after the receive ended.
    std::array<uint8_t, kReceiveStoreSize> m_receiveStore {};
    CReceiveCheck m_receiveCheck;
    std::atomic<bool> m_bReceiveMode { false };
    std::atomic<int> m_nReceiveEnd { 0 };
    std::atomic<bool> m_bCrcWarning { false };
    std::atomic<bool> m_bCrcWarningPending { false };

    std::unique_ptr<CWindowTimer> m_syncTimer;
    std::unique_ptr<CWindowTimer> m_frameTimer;
    std::atomic<int> m_nSyncTimeoutMs { kSyncTimeoutMs };
    std::atomic<int> m_nFrameTimeoutMs { kFrameTimeoutMs };

    std::thread m_worker;
    mutable std::mutex m_workerMutex;
    bool m_bWorkerRunning = false;
};
