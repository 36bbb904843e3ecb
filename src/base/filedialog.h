#pragma once

#include <QString>

#include <functional>

class QWidget;

inline constexpr char kBinFilter[] = "bin (*.bin)";
inline constexpr char kRcuFilter[] = "rcu (*.rcu)";

struct FileDialogRequest {
    bool save = false;
    QString filter; // kBinFilter or kRcuFilter
    QString defaultSuffix; // "bin", "rcu"
    QString initialName; // "*.bin" style names select nothing
    QString directory; // where the dialog opens; empty: where it opened last
    QWidget* parent = nullptr;
};

// Every file-open and file-save dialog goes through GetFileName. Returns the chosen file's full
// path, or an empty string when the user cancels. Tests install a handler that answers directly.
using FileDialogHandler = std::function<QString(const FileDialogRequest& request)>;

[[nodiscard]] QString GetFileName(const FileDialogRequest& request);

// Installs a handler and returns the one it replaces; a null handler restores the real dialog.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
