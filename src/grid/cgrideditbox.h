#pragma once

#include "grid/gridinplace.h"

#include <QLineEdit>

class CGridCtrl;

// The single-line box a grid puts over a cell to edit it. It hands the final text and the key
// that ended the edit back to the grid when it loses the focus, then deletes itself.
class CGridEditBox : public QLineEdit {
    Q_OBJECT

public:
    CGridEditBox(CGridCtrl* parent, const QRect& rect, int style, int controlId, int row, int column,
        const QString& initialText, unsigned startKey);

    [[nodiscard]] int Row() const { return m_session.Row(); }
    [[nodiscard]] int Column() const { return m_session.Column(); }
    [[nodiscard]] bool ExitsOnArrows() const { return m_bExitOnArrows; }
    // Hands the text to the grid now, as losing the focus would.
    void EndEdit() { m_session.Close(*this, text()); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CGridEditSession m_session;
    bool m_bExitOnArrows = true;
    QRect m_rect;
};
