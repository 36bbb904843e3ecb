#pragma once

#include <QFont>
#include <QRect>

class QWidget;

// Controls carry their resource id as object name ("id1007"), so tests and later work find them.
[[nodiscard]] QString ResourceIdName(int id);

// The font of every dialog and of the form: the desktop's family at 8 points, which the
// dialog-unit layouts were made for.
[[nodiscard]] QFont DialogFont();

// Converts dialog-template units to pixels with a dialog's font, as the original resources
// expect: x px = du * average char width / 4, y px = du * char height / 8.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    [[nodiscard]] int X(int du) const;
    [[nodiscard]] int Y(int du) const;
    [[nodiscard]] QRect Rect(int x, int y, int width, int height) const;

    // Places a child at a rectangle given in dialog units.
    void Place(QWidget* widget, int x, int y, int width, int height) const;

private:
    int m_charWidth = 0;
    int m_charHeight = 0;
};
