#pragma once

#include <QPointer>
#include <QString>

class CGridCtrl;
class QEvent;
class QKeyEvent;
class QLineEdit;
class QWidget;

// What the in-place editors share: the keys that end an edit, the growth of a box to its text
// and the closing notice to the grid.

// The grid key for a navigation key (Page Up/Down, Home, End, arrows), or 0.
[[nodiscard]] unsigned GridNavKeyOf(int qtKey);

// Widens the box to its text plus two spaces, never past the grid's right edge.
void GrowToText(QLineEdit& box, const CGridCtrl* grid);

// True for the events an editor takes before its widget sees them: shortcut requests (so no
// mnemonic or shortcut fires while an edit runs) and Tab presses (which would move the focus).
[[nodiscard]] bool IsClaimedByEditor(QEvent* event);

// Puts the start key of an edit into the field: the caret after the text for a mouse start or
// Backspace (which then deletes), otherwise all text selected and a typed character replacing
// it; a Space types only where spaceTypes says so. True when a character was typed.
bool ApplyStartKey(QLineEdit& field, unsigned startKey, bool spaceTypes);

// The cell under edit, how the edit began, and how it ends.
class CGridEditSession {
public:
    CGridEditSession(CGridCtrl* grid, int controlId, int row, int column, const QString& initialText);

    [[nodiscard]] CGridCtrl* Grid() const { return m_pGrid.data(); }
    [[nodiscard]] int Row() const { return m_nRow; }
    [[nodiscard]] int Column() const { return m_nColumn; }
    [[nodiscard]] const QString& InitialText() const { return m_strInitText; }

    // The key that ends the edit for this key press (Tab, Enter, Escape, or a navigation key
    // when arrows exit or Ctrl is held), remembered with its modifiers; 0 when the control
    // keeps the key.
    unsigned TakeEndingKey(const QKeyEvent& event, bool exitOnArrows);
    // Gives the focus back to the grid, which ends the edit.
    void End(QWidget& editor, const QString& text);
    // Hides the editor, schedules its deletion and tells the grid, when it still exists.
    void Close(QWidget& editor, const QString& text);

private:
    QPointer<CGridCtrl> m_pGrid;
    int m_nControlId;
    int m_nRow;
    int m_nColumn;
    QString m_strInitText;
    unsigned m_nLastKey = 0;
    Qt::KeyboardModifiers m_lastModifiers;
    bool m_bClosed = false;
};
