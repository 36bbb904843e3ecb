#include "transfer/cportsession.h"

#include "serial/ccomm.h"
#include "serial/openerror.h"
#include "transfer/cstateword.h"
#include "transfer/frame.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr int kQuietMs = 200;
constexpr unsigned kCommTag = 1;

std::int64_t Now()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

} // namespace

CPortSession::CPortSession(std::function<void(CComm&)> onDelivery, std::function<void()> onLost)
    : m_onDelivery(std::move(onDelivery))
    , m_onLost(std::move(onLost))
{
}

CPortSession::~CPortSession()
{
    Release();
}

bool CPortSession::Open(const PortSettings& settings, const QString& device, bool discardFirst)
{
    auto comm = std::make_unique<CComm>();
    comm->SetMessageTag(kCommTag);
    comm->SetSettings(uint8_t(settings.port), settings.baudRate, settings.dataBits, settings.stopBits, settings.parity);
    comm->SetDevice(device);
    (void)comm->CreateEvents();
    {
        std::lock_guard lock(m_bufferMutex);
        m_bDiscarding = discardFirst;
    }
    m_lastDelivery = Now();
    // Owner first, so that nothing the receiver sends right after the opening goes unseen.
    comm->SetOwner(this);
    const bool opened = comm->Open() != 0;
    std::lock_guard lock(m_portMutex);
    m_openedDevice = comm->DevicePath();
    m_lastOpenError.clear();
    if (!opened) {
        m_lastOpenError = DescribeOpenError(comm->DevicePath(), comm->OpenError());
        return false;
    }
    m_pComm = std::move(comm);
    return true;
}

QString CPortSession::LastOpenError() const
{
    std::lock_guard lock(m_portMutex);
    return m_lastOpenError;
}

QString CPortSession::DevicePath() const
{
    std::lock_guard lock(m_portMutex);
    return m_openedDevice;
}

void CPortSession::WaitForQuietLine(std::uint32_t baud, CStateWord& word)
{
    const int frameMs = baud > 0 ? int(int64_t(kFrameMaxSize) * 10 * 1000 / baud) : 0;
    const std::chrono::nanoseconds quiet = std::chrono::milliseconds(std::max(kQuietMs, frameMs + kQuietMs / 2));
    word.WaitFor([&] { return quiet - std::chrono::nanoseconds(Now() - m_lastDelivery.load()); });
    std::lock_guard portLock(m_portMutex);
    std::lock_guard lock(m_bufferMutex);
    if (m_pComm)
        m_pComm->ClearReceive();
    m_bDiscarding = false;
}

void CPortSession::Write(const std::uint8_t* data, int length)
{
    std::lock_guard lock(m_portMutex);
    if (m_pComm)
        (void)m_pComm->Write(data, length);
}

void CPortSession::ClearReceive()
{
    std::lock_guard portLock(m_portMutex);
    std::lock_guard lock(m_bufferMutex);
    if (m_pComm)
        m_pComm->ClearReceive();
}

void CPortSession::Release()
{
    std::unique_ptr<CComm> comm;
    {
        std::lock_guard lock(m_portMutex);
        comm = std::move(m_pComm);
    }
    // Outside the lock: closing joins the reader thread, which may be parsing.
    if (comm) {
        comm->Close();
        comm->Destroy();
    }
}

void CPortSession::CommRead(CComm& port, unsigned)
{
    std::lock_guard lock(m_bufferMutex);
    if (m_bDiscarding) {
        port.ClearReceive();
        m_lastDelivery = Now();
        return;
    }
    m_onDelivery(port);
}

void CPortSession::CommLost(CComm&)
{
    m_onLost();
}
