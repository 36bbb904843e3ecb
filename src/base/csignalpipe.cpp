#include "base/csignalpipe.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = { -1, -1 };
constexpr int kSignals[] = { SIGINT, SIGTERM };

void OnSignal(int signal)
{
    const int saved = errno;
    const char number = char(signal);
    (void)!::write(g_signalPipe[1], &number, 1);
    errno = saved;
}

} // namespace

CSignalPipe::CSignalPipe()
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CSignalPipe::Drain);
    struct sigaction action { };
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

CSignalPipe::~CSignalPipe()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
    m_notifier.reset();
    for (int& fd : g_signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CSignalPipe::Drain()
{
    char number = 0;
    while (::read(g_signalPipe[0], &number, 1) == 1)
        emit Received(int(number));
}
