#include "transfer/cstateword.h"

void CStateWord::Reset(TransferState state)
{
    std::lock_guard lock(m_mutex);
    m_state = state;
    m_bAbort = false;
    m_stopReason = StopReason::None;
}

void CStateWord::Set(TransferState state)
{
    {
        std::lock_guard lock(m_mutex);
        m_state = state;
    }
    m_changed.notify_all();
}

bool CStateWord::SetIf(TransferState expected, TransferState after)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_state.load() != expected)
            return false;
        m_state = after;
    }
    m_changed.notify_all();
    return true;
}

TransferState CStateWord::WaitWhile(TransferState state1, TransferState state2)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] {
        const int state = m_state.load();
        return m_bAbort.load() || (state != state1 && state != state2);
    });
    return TransferState(m_state.load());
}

void CStateWord::Stop(StopReason reason)
{
    StopReason none = StopReason::None;
    (void)m_stopReason.compare_exchange_strong(none, reason);
    {
        std::lock_guard lock(m_mutex);
        m_bAbort = true;
    }
    m_changed.notify_all();
}
