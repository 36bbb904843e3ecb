#include "serial/ccomm.h"

#include "base/localpath.h"
#include "base/messagebox.h"
#include "serial/ccommowner.h"
#include "serial/portname.h"
#include "serial/serialline.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kWriteTimeoutMs = 1000;
constexpr int kReadRetryMs = 100;

} // namespace

CComm::~CComm()
{
    Destroy();
}

void CComm::SetSettings(uint8_t port, uint32_t baudRate, uint8_t dataBits, uint8_t stopBits, uint8_t parity)
{
    m_nPort = port;
    m_nBaudRate = baudRate;
    m_nDataBits = dataBits;
    m_nStopBits = stopBits;
    m_nParity = parity;
}

int CComm::CreateEvents()
{
    if (m_wakeFd >= 0)
        return 1;
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return m_wakeFd >= 0 ? 1 : 0;
}

QString CComm::DevicePath() const
{
    return m_device.isEmpty() ? DevicePathForPort(m_nPort) : DevicePathForName(m_device);
}

int CComm::Open()
{
    if (m_bOpen.load() || m_wakeFd < 0) {
        m_nOpenError = m_bOpen.load() ? EBUSY : EBADF;
        return 0;
    }
    const QByteArray path = EncodePath(DevicePath());
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_nOpenError = errno;
        return 0;
    }
    const auto fail = [this, fd](int error) {
        ::close(fd);
        m_nOpenError = error;
        return 0;
    };
    // Another program of ours holding the line counts as "in use"; TIOCEXCL keeps others out.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(EBUSY);
    if (!isatty(fd))
        return fail(ENOTTY);
    (void)ioctl(fd, TIOCEXCL);
    // Only what came in before: on a pseudo-terminal an output flush would throw away the tail that the
    // last holder wrote (an end frame) and the other side has not read yet.
    FlushSerialInput(fd);
    if (!ConfigureSerialLine(fd, m_nBaudRate, m_nDataBits, m_nParity, m_nStopBits))
        return fail(EINVAL);
    RaiseDtrRts(fd);
    m_savedSerialFlags = EnableLowLatency(fd);
    m_nOpenError = 0;
    m_fd = fd;
    m_bOpen.store(true);
    m_reader = std::thread(ReaderThread, this);
    return 1;
}

int CComm::Write(const uint8_t* data, int length)
{
    if (m_fd < 0 || length <= 0)
        return 0;
    bool immediate = true;
    int done = 0;
    int waitedMs = 0;
    while (done < length) {
        const ssize_t n = ::write(m_fd, data + done, size_t(length - done));
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return 0;
        immediate = false;
        // Like the driver's write time-out: give the line a second to take the rest, then give up.
        if (waitedMs >= kWriteTimeoutMs)
            return 0;
        pollfd pfd { m_fd, POLLOUT, 0 };
        (void)poll(&pfd, 1, 50);
        waitedMs += 50;
    }
    return immediate ? 1 : 0;
}

void CComm::ClearReceive()
{
    std::lock_guard lock(m_receiveMutex);
    m_receiveBuffer.fill(0);
    m_nReceiveCount = 0;
}

void CComm::Deliver(const uint8_t* data, int count)
{
    {
        std::lock_guard lock(m_receiveMutex);
        // The consumer clears only what it recognises; bytes past the end are dropped, never written.
        const int room = kReceiveBufferSize - m_nReceiveCount;
        const int taken = count < room ? count : room;
        if (taken > 0) {
            std::memcpy(m_receiveBuffer.data() + m_nReceiveCount, data, size_t(taken));
            m_nReceiveCount += taken;
        }
    }
    if (CCommOwner* owner = m_owner.load())
        owner->CommRead(*this, m_nMessageTag);
}

// Errors after which the device will never deliver again: a hang-up, an adapter pulled out.
bool CComm::IsLineLostError(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

void CComm::ReaderThread(CComm* comm)
{
    std::array<uint8_t, kReadChunk> chunk {};
    // After a transient read error the line is looked at again a little later, not at once: an error
    // that repeats must not spin.
    int pauseMs = -1;
    while (comm->m_bOpen.load()) {
        pollfd fds[2] = { { comm->m_wakeFd, POLLIN, 0 }, { comm->m_fd, pauseMs < 0 ? short(POLLIN) : short(0), 0 } };
        const int n = poll(fds, 2, pauseMs);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (!comm->m_bOpen.load())
            break;
        pauseMs = -1;
        const short events = fds[1].revents;
        bool lost = (events & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        if ((events & POLLIN) != 0 || lost) {
            for (;;) {
                chunk.fill(0);
                const ssize_t got = ::read(comm->m_fd, chunk.data(), chunk.size());
                if (got > 0) {
                    comm->Deliver(chunk.data(), int(got));
                    if (!comm->m_bOpen.load())
                        return;
                    continue;
                }
                if (got == 0) {
                    // A terminal in raw, non-blocking mode reads nothing only at a hang-up.
                    lost = true;
                } else if (errno == EINTR) {
                    continue;
                } else if (IsLineLostError(errno)) {
                    lost = true;
                } else if (errno != EAGAIN) {
                    ShowMessageBox(QStringLiteral("Read error "));
                    pauseMs = kReadRetryMs;
                }
                break;
            }
        }
        if (lost) {
            comm->m_bLost = true;
            if (CCommOwner* owner = comm->m_owner.load())
                owner->CommLost(*comm);
            return;
        }
    }
}

int CComm::Close()
{
    if (!m_bOpen.exchange(false))
        return 1;
    const uint64_t one = 1;
    (void)::write(m_wakeFd, &one, sizeof one);
    if (m_reader.joinable() && m_reader.get_id() != std::this_thread::get_id())
        m_reader.join();
    else if (m_reader.joinable())
        m_reader.detach();
    // The end frame is not answered and may still be on its way: let it go out rather than purge it.
    if (!m_bLost.load())
        DrainSerialLine(m_fd, kWriteTimeoutMs);
    DropDtr(m_fd);
    FlushSerialInput(m_fd);
    if (m_savedSerialFlags)
        RestoreSerialFlags(m_fd, *std::exchange(m_savedSerialFlags, std::nullopt));
    // The exclusive hold outlives this descriptor while another holds the line open (a pseudo-terminal's
    // other end, a network serial bridge): the next opening by an ordinary user would find it busy.
    (void)ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    return 1;
}

int CComm::Destroy()
{
    if (m_bOpen.load())
        Close();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }
    return 1;
}
