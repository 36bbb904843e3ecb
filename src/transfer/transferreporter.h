#pragma once

class QString;

// What a running transfer tells the user. The desktop tool implements it with widgets, the command
// line by printing. Every call comes from the transfer worker thread; an implementation that touches
// widgets marshals to the GUI thread and may block until that is done. Message boxes do not come
// through here: they go through ShowMessageBox.
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

    // The requested download kind of the form: 2 code, 3 preset data, 4 loader data.
    [[nodiscard]] virtual int DownloadKind() const = 0;
};
