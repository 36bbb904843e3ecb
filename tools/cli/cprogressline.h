#pragma once

#include <QString>
#include <cstdint>
#include <mutex>

struct TransferStats;

// One line on a terminal's standard error that shows how far a transfer is, redrawn in place. Lines
// printed meanwhile go through Print, which takes the progress line away first and draws it again
// after. Any thread.
class CProgressLine {
public:
    // total is the number of bytes to send, or 0 when it is not known (a receive).
    CProgressLine(bool shown, std::uint64_t total);

    [[nodiscard]] bool Shown() const { return m_shown; }
    void Update(const TransferStats& stats, double seconds);
    // Prints text as a line on out (stdout or stderr), keeping the progress line below it.
    void Print(std::FILE* out, const QString& text);
    // Takes the progress line away for good.
    void Finish();

private:
    void Erase();

    const bool m_shown;
    const std::uint64_t m_total;
    std::mutex m_mutex;
    QString m_text;
};

// The progress text of a transfer: with a known total, percent, bytes, speed and time left; without
// one, frames and bytes so far.
[[nodiscard]] QString ProgressText(const TransferStats& stats, std::uint64_t total, double seconds);
