// Starting and ending the in-place edit of a cell.
#include "grid/cgridctrl.h"
#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"

#include <utility>

// ---------------------------------------------------------------- editing

void CGridCtrl::EditCellAt(int row, int column, unsigned startKey)
{
    const int cellColumn = EditColumn(column);
    ScrollCellIntoView(row, cellColumn);
    QRect rect;
    if (!IsValid(row, cellColumn) || !CanEditCell(row, cellColumn) || !IsCellShown(row, cellColumn)
        || !CellRect(row, cellColumn, rect))
        return;
    NotifyParent(row, cellColumn, GVN_BEGINLABELEDIT);
    GridItemInfo info;
    info.row = row;
    info.column = cellColumn;
    info.mask = GVIF_TEXT | GVIF_FORMAT;
    ReadItem(info);
    const int style = info.format & DT_RIGHT ? 2 : info.format & DT_CENTER ? 1 : 0;
    MakeInPlaceEditor(rect, style, kInPlaceControlId, row, column, info.text, startKey);
}

void CGridCtrl::MakeInPlaceEditor(
    const QRect& rect, int style, int controlId, int row, int column, const QString& text, unsigned startKey)
{
    // Without a derived grid to take it, the aliased column is edited as the cell it stands for.
    new CGridEditBox(this, rect, style, controlId, row, EditColumn(column), text, startKey);
}

void CGridCtrl::FinishCellEdit(int row, int column, const QString& text)
{
    // A cell removed while its edit was open takes nothing and marks nothing.
    if (!IsValid(row, column) || CellText(row, column) == text)
        return;
    QString admitted = text;
    QString refusal;
    if (!AdmitCellText(row, column, admitted, refusal)) {
        emit cellTextRefused(refusal, 0);
        return;
    }
    if (CellText(row, column) != admitted) {
        MarkModified(true, row, column);
        SetCellText(row, column, admitted);
    }
}

bool CGridCtrl::AdmitCellText(int, int, QString&, QString&) const
{
    return true;
}

void CGridCtrl::EndOpenEdit()
{
    for (CGridEditBox* box : viewport()->findChildren<CGridEditBox*>())
        box->EndEdit();
    for (CGridDropList* list : viewport()->findChildren<CGridDropList*>())
        list->EndEdit();
}

int CGridCtrl::NotifyParent(int row, int column, int code)
{
    emit gridNotify(code, row, column);
    if (code == GVN_ENDLABELEDIT) {
        if (m_nEditBatch > 0)
            m_bBatchEdited = true;
        else
            emit cellsEdited();
    }
    return 0;
}

CGridCtrl::EditBatch::EditBatch(CGridCtrl& grid)
    : m_grid(grid)
{
    ++m_grid.m_nEditBatch;
}

CGridCtrl::EditBatch::~EditBatch()
{
    if (--m_grid.m_nEditBatch == 0 && std::exchange(m_grid.m_bBatchEdited, false))
        emit m_grid.cellsEdited();
}

int CGridCtrl::OnGridEditNotify(const GridEditNotify& notify)
{
    if (notify.controlId != kInPlaceControlId || notify.code != GVN_ENDLABELEDIT)
        return 0;
    const EditBatch batch(*this);
    const int row = notify.item.row;
    const int column = notify.item.column;
    FinishCellEdit(row, column, notify.item.text);
    InvalidateOneCell({ row, column });
    NotifyParent(row, column, GVN_ENDLABELEDIT);
    const unsigned key = notify.item.param;
    if (key == GK_TAB || IsGridNavKey(key)) {
        OnKeyDown(key, notify.modifiers);
        EditCellAt(m_currentCell.row, m_currentCell.column, key);
    }
    return 0;
}
