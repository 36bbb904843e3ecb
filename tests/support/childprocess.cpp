#include "childprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Everything the child needs is built before fork: after it, only exec-safe calls.
struct CStrings {
    explicit CStrings(const QStringList& strings)
    {
        for (const QString& s : strings)
            bytes.push_back(QFile::encodeName(s));
        for (QByteArray& b : bytes)
            pointers.push_back(b.data());
        pointers.push_back(nullptr);
    }
    std::vector<QByteArray> bytes;
    std::vector<char*> pointers;
};

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && !m_ended)
        Stop();
    CloseFd(m_outFd);
    CloseFd(m_errFd);
}

bool ChildProcess::Start(const QString& program, const QStringList& args, const QStringList& env,
    const std::function<void()>& setup, Stderr errors)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : env)
        environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    CStrings argv(QStringList { program } + args);
    CStrings envp(environment.toStringList());
    int out[2] = { -1, -1 };
    int err[2] = { -1, -1 };
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return false;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(out[1], 1);
        if (errors == Stderr::Separate)
            ::dup2(err[1], 2);
        if (setup)
            setup();
        ::execvpe(argv.pointers[0], argv.pointers.data(), envp.pointers.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    m_outFd = out[0];
    m_errFd = err[0];
    if (m_pid < 0) {
        CloseFd(m_outFd);
        CloseFd(m_errFd);
    }
    return m_pid > 0;
}

void ChildProcess::Reap(bool block)
{
    if (m_pid <= 0 || m_ended)
        return;
    int status = 0;
    pid_t got;
    do
        got = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got == m_pid) {
        m_ended = true;
        m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
}

bool ChildProcess::Running()
{
    Reap(false);
    return m_pid > 0 && !m_ended;
}

void ChildProcess::Poll(int timeoutMs)
{
    pollfd fds[2] = { { m_outFd, POLLIN, 0 }, { m_errFd, POLLIN, 0 } };
    if (::poll(fds, 2, timeoutMs) <= 0)
        return;
    const std::pair<int*, QByteArray*> streams[2] = { { &m_outFd, &m_out }, { &m_errFd, &m_err } };
    for (int i = 0; i < 2; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        char buffer[65536];
        const ssize_t got = ::read(*streams[i].first, buffer, sizeof buffer);
        if (got > 0)
            streams[i].second->append(buffer, got);
        else if (got == 0 || errno != EINTR)
            CloseFd(*streams[i].first);
    }
}

bool ChildProcess::WaitForFinished(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (m_outFd >= 0 || m_errFd >= 0) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        Poll(int(timeoutMs - timer.elapsed()));
    }
    while (Running()) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        ::usleep(2000);
    }
    return m_pid > 0;
}

void ChildProcess::Signal(int signal) const
{
    if (m_pid > 0 && !m_ended)
        ::kill(m_pid, signal);
}

int ChildProcess::Stop(int timeoutMs)
{
    Signal(SIGTERM);
    if (!WaitForFinished(timeoutMs)) {
        Signal(SIGKILL);
        Reap(true);
    }
    return m_exitCode;
}

ProgramResult RunProgram(const QString& program, const QStringList& args, const QStringList& env, int timeoutMs)
{
    ChildProcess child;
    if (!child.Start(program, args, env) || !child.WaitForFinished(timeoutMs))
        return {}; // a child still running is stopped as it goes out of scope
    return { child.ExitCode(), child.Out(), child.Err() };
}
