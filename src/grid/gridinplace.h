#pragma once

#include <QString>

class CGridCtrl;
class QLineEdit;
class QWidget;

// What the in-place editors share: the key numbering, the growth of a box to its text and the
// closing notice to the grid.

// The grid key for a navigation key (Page Up/Down, Home, End, arrows), or 0.
[[nodiscard]] unsigned GridNavKeyOf(int qtKey);

// Widens the box to its text plus two spaces, never past the grid's right edge.
void GrowToText(QLineEdit& box, const CGridCtrl* grid);

// Hides the editor, schedules its deletion and tells the grid (when it still exists) how the
// edit ended.
void CloseInPlaceEditor(QWidget& editor, CGridCtrl* grid, int controlId, int row, int column, const QString& text,
                        unsigned key, Qt::KeyboardModifiers modifiers);
