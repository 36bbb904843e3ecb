#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>

class QSocketNotifier;

// Runs a function on the thread this object lives on and makes the calling thread wait for it,
// like a window message sent synchronously. Each call costs no allocation: an eventfd wakes the
// owning thread's event loop. Close releases waiting callers for good (nothing is run for them), so
// the owning thread can shut down threads that might be waiting for it.
class CBlockingCall : public QObject {
    Q_OBJECT

public:
    explicit CBlockingCall(std::function<void()> function, QObject* parent = nullptr);
    ~CBlockingCall() override;

    // False when closed. Called on the owning thread, the function runs at once.
    bool Call();
    void Close();
    void Reopen();

private:
    void OnActivated();

    std::function<void()> m_function;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::mutex m_mutex;
    std::mutex m_callerMutex;
    std::condition_variable m_done;
    bool m_bPending = false;
    bool m_bClosed = false;
};
