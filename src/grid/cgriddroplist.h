#pragma once

#include "grid/gridtypes.h"

#include <QComboBox>
#include <QPointer>

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

    [[nodiscard]] int Row() const { return m_nRow; }
    [[nodiscard]] int Column() const { return m_nColumn; }

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
    int m_nDropDownLines = 4;
    unsigned m_nLastKey = 0;
    Qt::KeyboardModifiers m_lastModifiers;
    bool m_bExitOnArrows = false;
    bool m_bClosed = false;
};
