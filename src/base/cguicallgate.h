#pragma once

#include <functional>
#include <optional>

// How a worker thread calls into the GUI thread and waits for the answer (a message box, a progress
// notice), in a way its owner can call off: Close releases every caller waiting at the gate, as the
// port's reader thread is released, so the GUI thread can join a worker at any moment, even from
// inside the message box that worker is waiting for. Qt's blocking queued connection cannot be called
// off, and its wait is invisible to the thread sanitizer; this one waits on a std::condition_variable.
class CGuiCallGate {
public:
    CGuiCallGate() = default;
    ~CGuiCallGate();
    CGuiCallGate(const CGuiCallGate&) = delete;
    CGuiCallGate& operator=(const CGuiCallGate&) = delete;

    // Callers wait no more, and later calls return at once, until Reopen.
    void Close();
    void Reopen();

    // The gate the calls of this thread go through: set by whoever runs the thread, for its whole life.
    static void SetCurrent(CGuiCallGate* gate);
    [[nodiscard]] static CGuiCallGate* Current();

    [[nodiscard]] bool IsClosed() const;

private:
    friend std::optional<int> CallOnGuiThread(std::function<int()> function);
    bool m_bClosed = false;
};

// Runs function on the GUI thread and returns its result: at once on the GUI thread (or without an
// application), else after waiting for it. Nothing when the calling thread's gate is or becomes closed
// first; the function then may still run later, so it must own everything it uses.
std::optional<int> CallOnGuiThread(std::function<int()> function);
