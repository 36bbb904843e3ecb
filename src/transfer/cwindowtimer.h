#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// A window timer with an id that any thread may arm and stop, and whose expiry runs on the thread the
// object lives on. A timerfd backs it, so arming from the worker costs neither allocation nor a
// round trip to the GUI thread, and stopping it discards an expiry not yet handled.
class CWindowTimer : public QObject {
    Q_OBJECT

public:
    CWindowTimer(int id, std::function<void(int)> handler, QObject* parent = nullptr);
    ~CWindowTimer() override;

    void Start(int intervalMs);
    void Stop();

private:
    void OnActivated();

    int m_id;
    std::function<void(int)> m_handler;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
