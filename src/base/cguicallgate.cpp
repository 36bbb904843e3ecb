#include "base/cguicallgate.h"

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// One lock for every gate and call: calls are few (message boxes, progress notices), and one lock
// keeps the gate's flag and each call's answer in step.
std::mutex g_mutex;
std::condition_variable g_answered;
thread_local CGuiCallGate* t_gate = nullptr;

struct PendingCall {
    std::function<int()> function;
    int result = 0;
    bool done = false;
    bool abandoned = false;
};

} // namespace

CGuiCallGate::~CGuiCallGate()
{
    Close();
}

void CGuiCallGate::Close()
{
    {
        std::lock_guard lock(g_mutex);
        m_bClosed = true;
    }
    g_answered.notify_all();
}

void CGuiCallGate::Reopen()
{
    std::lock_guard lock(g_mutex);
    m_bClosed = false;
}

bool CGuiCallGate::IsClosed() const
{
    std::lock_guard lock(g_mutex);
    return m_bClosed;
}

void CGuiCallGate::SetCurrent(CGuiCallGate* gate)
{
    t_gate = gate;
}

CGuiCallGate* CGuiCallGate::Current()
{
    return t_gate;
}

std::optional<int> CallOnGuiThread(std::function<int()> function)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        return function();
    CGuiCallGate* gate = t_gate;
    auto call = std::make_shared<PendingCall>();
    {
        std::lock_guard lock(g_mutex);
        if (gate != nullptr && gate->m_bClosed)
            return std::nullopt;
        call->function = std::move(function);
    }
    QMetaObject::invokeMethod(
        app,
        [call] {
            std::function<int()> run;
            {
                std::lock_guard lock(g_mutex);
                if (call->abandoned)
                    return;
                run = std::move(call->function);
            }
            const int result = run();
            {
                std::lock_guard lock(g_mutex);
                call->result = result;
                call->done = true;
            }
            g_answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(g_mutex);
    g_answered.wait(lock, [&] { return call->done || (gate != nullptr && gate->m_bClosed); });
    if (!call->done) {
        call->abandoned = true;
        return std::nullopt;
    }
    return call->result;
}
