#pragma once

#include <QString>

#include <functional>

// Every message box of the program goes through ShowMessageBox. The desktop tool installs a
// handler that shows a real box on the GUI thread; the command line prints; tests record and answer.

enum MessageBoxType : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    // With MB_YESNOCANCEL: the Yes and No buttons read Save and Discard.
    MB_SAVEDISCARD = 0x100,
};

enum MessageBoxResult : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

inline constexpr unsigned kMessageButtonsMask = 0x0F;
inline constexpr unsigned kMessageIconMask = 0xF0;

// An empty caption means the application's title.
using MessageBoxHandler = std::function<int(const QString& text, const QString& caption, unsigned type)>;

[[nodiscard]] QString ApplicationTitle();

// Thread-safe to call from any thread; the handler decides how to reach the user.
int ShowMessageBox(const QString& text, const QString& caption = {}, unsigned type = MB_OK);

// Installs a handler and returns the one it replaces. A null handler restores the default,
// which writes the text to standard error and answers OK (or Yes).
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
