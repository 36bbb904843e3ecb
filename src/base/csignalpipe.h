#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// SIGINT and SIGTERM delivered into the event loop: the handler only writes the signal's number to a
// pipe, and Received is emitted on the GUI thread. The first signal is caught; a second one has its
// default effect again, so a stuck run can still be ended. One object at a time.
class CSignalPipe : public QObject {
    Q_OBJECT

public:
    CSignalPipe();
    ~CSignalPipe() override;
    CSignalPipe(const CSignalPipe&) = delete;
    CSignalPipe& operator=(const CSignalPipe&) = delete;

signals:
    void Received(int signal);

private:
    void Drain();

    std::unique_ptr<QSocketNotifier> m_notifier;
};
