#pragma once

#include "grid/gridtypes.h"

#include <QLineEdit>
#include <QPointer>

class CGridCtrl;

// The single-line box a grid puts over a cell to edit it. It hands the final text and the key
// that ended the edit back to the grid when it loses the focus, then deletes itself.
class CGridEditBox : public QLineEdit {
    Q_OBJECT

public:
    CGridEditBox(CGridCtrl* parent, const QRect& rect, int style, int controlId, int row, int column,
                 const QString& initialText, unsigned startKey);

    [[nodiscard]] int Row() const { return m_nRow; }
    [[nodiscard]] int Column() const { return m_nColumn; }
    [[nodiscard]] bool ExitsOnArrows() const { return m_bExitOnArrows; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void EndWith(unsigned key, Qt::KeyboardModifiers modifiers);
    void Close();

    QPointer<CGridCtrl> m_pGrid;
    int m_nControlId = kInPlaceControlId;
    int m_nRow = -1;
    int m_nColumn = -1;
    QString m_strInitText;
    unsigned m_nLastKey = 0;
    Qt::KeyboardModifiers m_lastModifiers;
    bool m_bExitOnArrows = true;
    bool m_bClosed = false;
    QRect m_rect;
};
