#include "transfer/cwindowtimer.h"

#include <QSocketNotifier>
#include <sys/timerfd.h>
#include <unistd.h>

CWindowTimer::CWindowTimer(int id, std::function<void(int, std::uint64_t)> handler, QObject* parent)
    : QObject(parent)
    , m_id(id)
    , m_handler(std::move(handler))
    , m_fd(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK))
{
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &CWindowTimer::OnActivated);
    }
}

CWindowTimer::~CWindowTimer()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void CWindowTimer::Start(int intervalMs)
{
    if (m_fd < 0)
        return;
    const long ms = intervalMs > 0 ? intervalMs : 1;
    itimerspec spec {};
    spec.it_value.tv_sec = ms / 1000;
    spec.it_value.tv_nsec = (ms % 1000) * 1000000L;
    spec.it_interval = spec.it_value;
    std::lock_guard lock(m_mutex);
    ++m_generation;
    (void)timerfd_settime(m_fd, 0, &spec, nullptr);
}

void CWindowTimer::Stop()
{
    if (m_fd < 0)
        return;
    const itimerspec off {};
    std::lock_guard lock(m_mutex);
    ++m_generation;
    (void)timerfd_settime(m_fd, 0, &off, nullptr);
}

std::uint64_t CWindowTimer::Generation() const
{
    std::lock_guard lock(m_mutex);
    return m_generation;
}

void CWindowTimer::OnActivated()
{
    uint64_t expirations = 0;
    std::uint64_t generation = 0;
    {
        // Setting the timer resets its count, so a stop between expiry and this point leaves nothing to
        // read; read under the lock, the count and the generation belong together.
        std::lock_guard lock(m_mutex);
        if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations || expirations == 0)
            return;
        generation = m_generation;
    }
    m_handler(m_id, generation);
}
