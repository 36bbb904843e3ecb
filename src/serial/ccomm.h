#pragma once

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

class CCommOwner;

// One serial port, opened once, with a reader thread that appends what arrives to the receive buffer
// and then hands each delivery to the owner (WM_COMM_READ) and waits for it. A line that hangs up or
// fails for good ends the reader thread, after it has told the owner (CommLost).
class CComm {
public:
    static constexpr int kReceiveBufferSize = 1300;
    static constexpr int kReadChunk = 80;

    CComm() = default;
    ~CComm();
    CComm(const CComm&) = delete;
    CComm& operator=(const CComm&) = delete;

    void SetSettings(uint8_t port, uint32_t baudRate, uint8_t dataBits, uint8_t stopBits, uint8_t parity);
    // A device path used instead of the port number's "COMn".
    void SetDevice(const QString& path) { m_device = path; }
    int CreateEvents();
    // 1 when open; 0 on failure, with the reason in OpenError().
    int Open();
    void SetOwner(CCommOwner* owner) { m_owner.store(owner); }
    void SetMessageTag(unsigned tag) { m_nMessageTag = tag; }
    int Write(const uint8_t* data, int length);
    int Close();
    int Destroy();

    [[nodiscard]] bool IsOpen() const { return m_bOpen.load(); }
    [[nodiscard]] QString DevicePath() const;
    // The errno of the last failed Open (EBUSY when another program holds the line, ENOTTY when the
    // device is no terminal, EINVAL when the line refuses the settings); 0 after a successful one.
    [[nodiscard]] int OpenError() const { return m_nOpenError; }
    // Whether Open switched the driver to low latency (Close switches it back).
    [[nodiscard]] bool LowLatencySet() const { return m_savedSerialFlags.has_value(); }

    // The consumer's side of the receive buffer: read inside the owner's handler, cleared there or from
    // another thread that the owner keeps out of its handler meanwhile.
    [[nodiscard]] const uint8_t* ReceiveBuffer() const { return m_receiveBuffer.data(); }
    [[nodiscard]] int ReceiveCount() const { return m_nReceiveCount; }
    void ClearReceive();

private:
    static void ReaderThread(CComm* comm);
    [[nodiscard]] static bool IsLineLostError(int error);
    void Deliver(const uint8_t* data, int count);

    int m_fd = -1;
    int m_wakeFd = -1;
    int m_nOpenError = 0;
    std::optional<int> m_savedSerialFlags;
    unsigned m_nMessageTag = 0;
    std::atomic<bool> m_bOpen { false };
    std::atomic<bool> m_bLost { false };
    std::array<uint8_t, kReceiveBufferSize> m_receiveBuffer {};
    int m_nReceiveCount = 0;
    std::mutex m_receiveMutex;
    std::atomic<CCommOwner*> m_owner { nullptr };
    uint8_t m_nPort = 0;
    uint8_t m_nDataBits = 8;
    uint8_t m_nParity = 0;
    uint8_t m_nStopBits = 0;
    uint32_t m_nBaudRate = 0;
    QString m_device;
    std::thread m_reader;
};
