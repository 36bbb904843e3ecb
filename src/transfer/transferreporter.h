#pragma once

class QString;

// What a running transfer tells the user. The desktop tool implements it with widgets, the command
// line by printing. Every call comes from the transfer worker thread; an implementation that touches
// widgets marshals to the GUI thread, and one that waits for it does so through CallOnGuiThread, so the
// engine can call the wait off at exit. Message boxes go through ShowMessageBox unless the reporter
// takes them.
class CTransferReporter {
public:
    virtual ~CTransferReporter() = default;

    // The form's transfer status text (label 1007).
    virtual void SetStatusText(const QString& text) = 0;

    // A file transfer is over (or could not start): the three "Start Send" buttons may be used again.
    virtual void EnableStartButtons() = 0;

    // WM_TRANSFER_PROGRESS of a buffer transfer: count as wParam, sending as lParam. The desktop tool
    // delivers it synchronously to the window titled "Edit Preset Data" if there is one.
    virtual void TransferProgress(unsigned count, bool sending) = 0;

    // A message box's text. A reporter that must never block on the user (the production station, whose
    // lines go on unattended) takes it and returns true; the default leaves it to ShowMessageBox.
    virtual bool TakeMessage(const QString& /*text*/) { return false; }
};
