#include "transfer/cblockingcall.h"

#include <QSocketNotifier>
#include <QThread>
#include <sys/eventfd.h>
#include <unistd.h>

CBlockingCall::CBlockingCall(std::function<void()> function, QObject* parent)
    : QObject(parent)
    , m_function(std::move(function))
    , m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &CBlockingCall::OnActivated);
    }
}

CBlockingCall::~CBlockingCall()
{
    Close();
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CBlockingCall::Call()
{
    if (QThread::currentThread() == thread()) {
        {
            std::lock_guard lock(m_mutex);
            if (m_bClosed)
                return false;
        }
        m_function();
        return true;
    }
    // One caller at a time, as a window handles one sent message at a time.
    std::lock_guard caller(m_callerMutex);
    std::unique_lock lock(m_mutex);
    if (m_bClosed || m_fd < 0)
        return false;
    m_bPending = true;
    const uint64_t one = 1;
    (void)::write(m_fd, &one, sizeof one);
    m_done.wait(lock, [this] { return !m_bPending || m_bClosed; });
    const bool ran = !m_bPending;
    m_bPending = false;
    return ran;
}

void CBlockingCall::OnActivated()
{
    uint64_t count = 0;
    (void)::read(m_fd, &count, sizeof count);
    {
        std::lock_guard lock(m_mutex);
        if (!m_bPending || m_bClosed)
            return;
    }
    m_function();
    {
        std::lock_guard lock(m_mutex);
        m_bPending = false;
    }
    m_done.notify_all();
}

void CBlockingCall::Close()
{
    {
        std::lock_guard lock(m_mutex);
        m_bClosed = true;
    }
    m_done.notify_all();
}

void CBlockingCall::Reopen()
{
    std::lock_guard lock(m_mutex);
    m_bClosed = false;
    m_bPending = false;
}
