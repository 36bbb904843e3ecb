#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QScreen;
class QString;
class QWidget;

// What a window needs around its client area on a desktop, in device pixels: the window manager's
// decorations (which Qt learns only once the window is mapped) and a taskbar that the screen's
// available geometry does not always leave out. Generous on purpose: too much costs a few pixels,
// too little puts the bottom of a window off the screen.
inline constexpr QMargins kFrameAllowance { 8, 36, 8, 8 };
inline constexpr int kTaskbarAllowance = 48;
// Room a title bar needs beside its text: icon, the window buttons and their margins.
inline constexpr int kTitleButtonsAllowance = 150;

// Where a window's client area may lie on the screen, in logical pixels.
[[nodiscard]] QRect UsableClientArea(const QScreen& screen);

// wanted, shrunk to what fits in usable but not below minimum.
[[nodiscard]] QSize FitSize(QSize wanted, QSize minimum, const QRect& usable);

// The nearest position to wanted for a box of size that keeps it inside usable and clear of avoid,
// moving only vertically; wanted itself (kept inside usable) when no such position exists.
[[nodiscard]] QPoint PlaceClearOf(const QRect& avoid, QPoint wanted, QSize size, const QRect& usable);

// Shrinks a top-level window to what fits on its screen; where it goes is the window manager's choice.
void FitWindowToScreen(QWidget& window);

// The width a window needs for its title bar to show the whole title.
[[nodiscard]] int TitleBarWidth(const QString& title, const QScreen& screen);
