#pragma once

#include "base/messagebox.h"
#include "cprogressline.h"
#include "transfer/ctransferengine.h"
#include "transfer/transferreporter.h"
#include "transfer/transferrecord.h"

#include <QElapsedTimer>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

class CCommandLine;
class CSignalPipe;

// What send and receive share of their options.
struct TransferOptions {
    QString port;
    QString logPath;
    int timeoutSeconds = 0;
    bool json = false;
    bool quiet = false;
    // Standard output carries data (--json, --out -): status lines go to standard error.
    bool statusOnStderr = false;
};

void AddTransferOptions(CCommandLine& line);
[[nodiscard]] TransferOptions ReadTransferOptions(const CCommandLine& line);

// One send or receive on the command line. It is the engine's reporter: status lines on standard output
// (or error), failure texts on standard error, a progress line on a terminal; it answers the engine's
// message boxes by printing them. Run drives the engine from the event loop; SIGINT, SIGTERM and the
// time-out cancel the transfer; a signal that arrives after the transfer ended waits until the object
// goes, so the record and the outputs are written whole. The reporter calls come from the worker thread,
// the rest from the GUI thread.
class CTransferRun : public CTransferReporter {
public:
    // total: the bytes to send, 0 for a receive.
    CTransferRun(const TransferOptions& options, std::uint64_t total);
    ~CTransferRun() override;
    CTransferRun(const CTransferRun&) = delete;
    CTransferRun& operator=(const CTransferRun&) = delete;

    void SetStatusText(const QString& text) override;
    void EnableStartButtons() override { }
    void TransferProgress(unsigned count, bool sending) override;

    // What the engine's start call needs: this run as the reporter, the port of the options.
    [[nodiscard]] TransferSetup Setup(TransferKind kind, const PortSettings& settings, unsigned expectedPackets = 0);

    // Starts the transfer with start (one of the engine's Start* calls) and runs the event loop until it
    // has ended. Returns the record of how it ended; its kind, file and sha256 are for the caller to fill.
    [[nodiscard]] TransferRecord Run(CTransferEngine& engine, const std::function<int()>& start);

    // Prints the --json record and appends it to the --log file; returns the process's exit code.
    [[nodiscard]] int Report(TransferRecord& record);

    // A status line, or with error a failure text, as the options route them.
    void Print(const QString& text, bool error = false);

private:
    [[nodiscard]] std::FILE* StatusStream() const { return m_options.statusOnStderr ? stderr : stdout; }

    const TransferOptions m_options;
    std::atomic<unsigned> m_nExpectedPackets { 0 };
    CProgressLine m_progress;
    MessageBoxHandler m_previousHandler;
    std::unique_ptr<CSignalPipe> m_signals;
    std::atomic<int> m_signal { 0 };
    bool m_timedOut = false;
};

// Test runs shorten timers 2 and 3 with TESSAVO2_TIMERS="sync_ms,frame_ms": those two, or zeros.
[[nodiscard]] std::pair<int, int> TimerOverride();
// --kind: code, loader or preset (required).
[[nodiscard]] TransferKind ReadDownloadKind(const CCommandLine& line);
// Usage errors for a COMn past COM4 and for a --log that exists and is no regular file.
void CheckPortName(const CCommandLine& line, const QString& port);
void CheckLogPath(const CCommandLine& line, const QString& path);

// The exit code of a transfer that ended with result, cancelled by signal (0 when none).
[[nodiscard]] int ExitCodeFor(TransferResult result, int signal);
