#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal for tests: the code under test opens SlavePath(); the test plays the far end on
// the master. The test keeps a slave descriptor open so the master never sees a hang-up.
class PtyPair {
public:
    PtyPair()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_path = QString::fromLocal8Bit(ptsname(m_master));
        m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio {};
        tcgetattr(m_slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    ~PtyPair()
    {
        ::close(m_slave);
        ::close(m_master);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    [[nodiscard]] bool Ok() const { return m_master >= 0 && m_slave >= 0; }
    [[nodiscard]] QString SlavePath() const { return m_path; }

    void Send(const QByteArray& bytes) const
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0 && errno != EINTR)
                return;
            done += std::max<ssize_t>(n, 0);
        }
    }

    // Reads until at least count bytes came or timeoutMs passed without enough; returns what came.
    [[nodiscard]] QByteArray Receive(qsizetype count, int timeoutMs) const
    {
        QByteArray out;
        const QDeadlineTimer deadline(timeoutMs);
        while (out.size() < count && !deadline.hasExpired()) {
            pollfd pfd { m_master, POLLIN, 0 };
            char buffer[4096];
            if (poll(&pfd, 1, int(deadline.remainingTime())) <= 0)
                continue;
            const ssize_t n = ::read(m_master, buffer, size_t(std::min<qsizetype>(count - out.size(), 4096)));
            out.append(buffer, std::max<ssize_t>(n, 0));
        }
        return out;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// CPU time used so far by this process (RUSAGE_SELF) or its ended children, to tell a wait from a spin.
inline double CpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage {};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
