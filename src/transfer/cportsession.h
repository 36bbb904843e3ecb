#pragma once

#include "serial/ccommowner.h"
#include "serial/portsettings.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class CComm;
class CStateWord;

// The line of one transfer: opening it, the quiet wait before the sync, the deliveries to the parser
// and letting go of it. The parser runs on the port's reader thread while the reader waits, with the
// receive buffer held, so a reply reaches the waiting worker with one wake-up.
class CPortSession : public CCommOwner {
public:
    // onDelivery parses what the buffer holds (reader thread); onLost is told of a line gone for good.
    CPortSession(std::function<void(CComm&)> onDelivery, std::function<void()> onLost);
    ~CPortSession() override;
    CPortSession(const CPortSession&) = delete;
    CPortSession& operator=(const CPortSession&) = delete;

    // GUI thread, no worker running. discardFirst: what arrives is dropped until WaitForQuietLine.
    [[nodiscard]] bool Open(const PortSettings& settings, const QString& device, bool discardFirst);
    // Why the last Open failed, in one line; empty when it succeeded.
    [[nodiscard]] QString LastOpenError() const;
    // The device the running or the last session opened (or tried to).
    [[nodiscard]] QString DevicePath() const;

    // A reply of an earlier session still on its way must not pass for the answer to this sync: what
    // the line delivers is dropped until it has been quiet for as long as the receiver may take to
    // answer a whole frame at this speed. Ends early on a stop.
    void WaitForQuietLine(std::uint32_t baud, CStateWord& word);

    void Write(const std::uint8_t* data, int length);
    // Drops what the buffer holds; never while the parser reads it.
    void ClearReceive();
    // Closes the line; once, whoever calls it first.
    void Release();

    void CommRead(CComm& port, unsigned tag) override;
    void CommLost(CComm& port) override;

private:
    std::function<void(CComm&)> m_onDelivery;
    std::function<void()> m_onLost;

    // m_pComm: set by Open before a worker starts and taken by Release; every use holds m_portMutex.
    mutable std::mutex m_portMutex;
    std::unique_ptr<CComm> m_pComm;
    QString m_lastOpenError;
    QString m_openedDevice;

    // Held by the parser while it reads the buffer and by whoever clears it from another thread.
    std::mutex m_bufferMutex;
    bool m_bDiscarding = false;
    std::atomic<std::int64_t> m_lastDelivery { 0 };
};
