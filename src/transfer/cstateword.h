#pragma once

#include "transfer/transferstate.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// The word the parser and the timers set and the worker waits on, with the reason a worker stops
// early. Every change wakes the worker, so it never looks again and again.
class CStateWord {
public:
    // Why the worker stops before the protocol ends it; the first reason wins.
    enum class StopReason { None, Cancel, PortLost, Exit };

    // A new transfer: state as given, no stop.
    void Reset(TransferState state);
    void Set(TransferState state);
    // Sets to after only while the state is expected: false when something else came first.
    bool SetIf(TransferState expected, TransferState after);
    [[nodiscard]] TransferState Get() const { return TransferState(m_state.load()); }

    // Waits while the state is one of the two or until a stop; returns the state then.
    TransferState WaitWhile(TransferState state1, TransferState state2);
    TransferState WaitWhile(TransferState state) { return WaitWhile(state, state); }
    // Waits until `until` returns true of the time left (a zero duration ends the wait) or a stop.
    template <typename Until> void WaitFor(const Until& until);

    void Stop(StopReason reason);
    [[nodiscard]] bool Stopped() const { return m_bAbort.load(); }
    [[nodiscard]] StopReason Reason() const { return m_stopReason.load(); }

private:
    std::atomic<int> m_state { Waiting };
    std::atomic<bool> m_bAbort { false };
    std::atomic<StopReason> m_stopReason { StopReason::None };
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

template <typename Until> void CStateWord::WaitFor(const Until& until)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        const std::chrono::nanoseconds left = until();
        if (left <= std::chrono::nanoseconds::zero() || m_changed.wait_for(lock, left, [this] { return m_bAbort.load(); }))
            return;
    }
}
