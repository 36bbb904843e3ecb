#pragma once

#include "grid/cgridctrl.h"

// The grids of the preset editor: an edit box for the number and name columns, drop-down lists for
// FEC, polarization and, on a mouse edit of the satellite grid's LNB Type column, the LNB choices. Numbers
// and list texts are taken only in the form the tables can hold.
class CPresetGrid : public CGridCtrl {
    Q_OBJECT

public:
    enum Kind { Satellites, Transponders };

    explicit CPresetGrid(Kind kind = Transponders);
    ~CPresetGrid() override;

    void MakeInPlaceEditor(const QRect& rect, int style, int controlId, int row, int column, const QString& text,
        unsigned startKey) override;
    [[nodiscard]] bool AdmitCellText(int row, int column, QString& text, QString& refusal) const override;

private:
    Kind m_kind;
};
