#pragma once

#include "grid/gridinplace.h"

#include <QComboBox>

class CGridCtrl;

// A drop-down list put over a cell by a grid that offers a choice of texts for a column. With
// an edit field (the usual style) a text may also be typed.
class CGridDropList : public QComboBox {
    Q_OBJECT

public:
    static constexpr int kDropDown = 2;
    static constexpr int kDropDownList = 3;

    CGridDropList(CGridCtrl* parent, const QRect& rect, int style, int controlId, int row, int column,
        const QStringList& items, const QString& initialText, unsigned startKey);

    [[nodiscard]] int Row() const { return m_session.Row(); }
    [[nodiscard]] int Column() const { return m_session.Column(); }
    // Hands the text to the grid now, as losing the focus would.
    void EndEdit() { m_session.Close(*this, currentText()); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CGridEditSession m_session;
    int m_nDropDownLines = 4;
    bool m_bExitOnArrows = false;
};
