#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <mutex>

class QSocketNotifier;

// A window timer with an id that any thread may arm and stop, and whose expiry runs on the thread the
// object lives on. A timerfd backs it, so arming from the worker costs neither allocation nor a
// round trip to the GUI thread, and stopping it discards an expiry not yet handled. Each arming and
// each stop starts a new generation, and an expiry carries the generation it belongs to: one read
// just before the worker stopped and armed the timer again is known as late by whoever handles it.
class CWindowTimer : public QObject {
    Q_OBJECT

public:
    CWindowTimer(int id, std::function<void(int, std::uint64_t)> handler, QObject* parent = nullptr);
    ~CWindowTimer() override;

    void Start(int intervalMs);
    void Stop();
    [[nodiscard]] std::uint64_t Generation() const;

private:
    void OnActivated();

    int m_id;
    std::function<void(int, std::uint64_t)> m_handler;
    int m_fd = -1;
    mutable std::mutex m_mutex;
    std::uint64_t m_generation = 0;
    QSocketNotifier* m_notifier = nullptr;
};
