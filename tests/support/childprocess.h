#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/types.h>

// A program run by a test, started with fork and exec: ThreadSanitizer cannot follow a child that QProcess
// starts, and a test needs no more than pipes for the output and a way to end the child.
class ChildProcess {
public:
    enum class Stderr { Separate, Forward };

    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // env entries are "NAME=value" added to this process's environment; setup runs in the child before exec.
    // A program without a slash is looked up in PATH. False when the program could not be started.
    bool Start(const QString& program, const QStringList& args, const QStringList& env = {},
        const std::function<void()>& setup = {}, Stderr errors = Stderr::Separate);

    [[nodiscard]] pid_t Pid() const { return m_pid; }
    [[nodiscard]] bool Running();
    // Collects output that arrives within timeoutMs (less when some arrives or the child ends).
    void Poll(int timeoutMs);
    // Collects output until the child has ended and closed its pipes; false when timeoutMs passed first.
    bool WaitForFinished(int timeoutMs);
    void Signal(int signal) const;
    // SIGTERM, then SIGKILL when the child has not ended within timeoutMs; returns ExitCode().
    int Stop(int timeoutMs = 5000);

    // The exit code of an ended child, -1 when it was killed by a signal or has not ended.
    [[nodiscard]] int ExitCode() const { return m_exitCode; }
    [[nodiscard]] const QByteArray& Out() const { return m_out; }
    [[nodiscard]] const QByteArray& Err() const { return m_err; }

private:
    void Reap(bool block);

    pid_t m_pid = -1;
    int m_outFd = -1;
    int m_errFd = -1;
    int m_exitCode = -1;
    bool m_ended = false;
    QByteArray m_out;
    QByteArray m_err;
};

struct ProgramResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end (at most timeoutMs; then it is stopped and exitCode is -1).
ProgramResult RunProgram(const QString& program, const QStringList& args, const QStringList& env = {},
    int timeoutMs = 60000);
