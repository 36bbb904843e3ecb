#include "childprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Everything the child needs is built before fork: after it, only exec-safe calls.
std::vector<QByteArray> Environment(const QStringList& extra)
{
    std::vector<QByteArray> entries;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        bool replaced = false;
        for (const QString& add : extra)
            replaced = replaced || add.toLocal8Bit().startsWith(name);
        if (!replaced)
            entries.push_back(entry);
    }
    for (const QString& add : extra)
        entries.push_back(add.toLocal8Bit());
    return entries;
}

std::vector<char*> Pointers(std::vector<QByteArray>& strings)
{
    std::vector<char*> pointers;
    for (QByteArray& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

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
    std::vector<QByteArray> argStrings { QFile::encodeName(program) };
    for (const QString& arg : args)
        argStrings.push_back(QFile::encodeName(arg));
    std::vector<QByteArray> envStrings = Environment(env);
    std::vector<char*> argv = Pointers(argStrings);
    std::vector<char*> envp = Pointers(envStrings);

    int out[2] = { -1, -1 };
    int err[2] = { -1, -1 };
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return false;
    m_pid = ::fork();
    if (m_pid == 0) {
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        ::dup2(out[1], 1);
        if (errors == Stderr::Separate)
            ::dup2(err[1], 2);
        if (setup)
            setup();
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    m_outFd = out[0];
    m_errFd = err[0];
    if (m_pid < 0) {
        CloseFd(m_outFd);
        CloseFd(m_errFd);
        return false;
    }
    return true;
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
    int* fdOf[2] = { &m_outFd, &m_errFd };
    QByteArray* into[2] = { &m_out, &m_err };
    for (int i = 0; i < 2; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        char buffer[65536];
        const ssize_t got = ::read(*fdOf[i], buffer, sizeof buffer);
        if (got > 0)
            into[i]->append(buffer, got);
        else if (got == 0 || errno != EINTR)
            CloseFd(*fdOf[i]);
    }
}

bool ChildProcess::WaitForFinished(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (m_outFd >= 0 || m_errFd >= 0) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0)
            return false;
        Poll(int(left));
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
    ProgramResult result;
    if (!child.Start(program, args, env))
        return result;
    if (!child.WaitForFinished(timeoutMs)) {
        child.Signal(SIGKILL);
        child.WaitForFinished(5000);
        return result;
    }
    return { child.ExitCode(), child.Out(), child.Err() };
}
