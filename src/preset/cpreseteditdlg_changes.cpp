// What the editor's changes are: undo steps, the modified mark and its question, and moving rows.
#include "base/messagebox.h"
#include "preset/cpreseteditdlg.h"
#include "preset/cpresetgrid.h"
#include "preset/presethistory.h"
#include "preset/presettables.h"

#include <QApplication>
#include <QLabel>
#include <QWindow>
#include <algorithm>

namespace {

void MoveRowTexts(CGridCtrl& grid, int first, bool down)
{
    const int last = grid.GetRows() - 1;
    const auto copyRow = [&grid](int from, int to) {
        for (int c = grid.GetFixedColumns(); c < grid.GetColumns(); ++c)
            grid.SetCellText(to, c, from < 0 ? QString() : grid.CellText(from, c));
    };
    if (down) {
        for (int r = last; r > first; --r)
            copyRow(r - 1, r);
        copyRow(-1, first);
    } else {
        for (int r = first; r < last; ++r)
            copyRow(r + 1, r);
        copyRow(-1, last);
    }
    grid.viewport()->update();
}

bool RowHasText(const CGridCtrl& grid, int row)
{
    for (int c = grid.GetFixedColumns(); c < grid.GetColumns(); ++c) {
        if (!grid.CellText(row, c).trimmed().isEmpty())
            return true;
    }
    return false;
}

} // namespace

bool CPresetEditDlg::IsModified() const
{
    return m_history->IsModified();
}

QUndoStack& CPresetEditDlg::UndoStack() const
{
    return m_history->Stack();
}

PresetSnapshot CPresetEditDlg::Snapshot() const
{
    return PresetSnapshot::OfTables(m_kept);
}

void CPresetEditDlg::RecordChange(const QString& what)
{
    // An edit still open stays open: Tab may have moved it on to the next cell.
    GatherGrids();
    m_history->Record(what, Snapshot(), g_nShownSat);
    UpdateChangeMarks();
}

void CPresetEditDlg::RestoreSnapshot(const PresetSnapshot& snapshot, int shownSat)
{
    snapshot.RestoreTables();
    m_kept = snapshot.kept;
    ShowTables(shownSat);
}

void CPresetEditDlg::MarkUnmodified()
{
    m_history->MarkUnmodified(Snapshot());
    UpdateChangeMarks();
}

void CPresetEditDlg::UpdateChangeMarks()
{
    const bool modified = IsModified();
    m_modifiedMark->setText(modified ? QStringLiteral("Modified") : QString());
    // The mark goes on the shown title only: notices of a copy find this window by its plain title.
    if (QWindow* window = windowHandle())
        window->setTitle(modified ? QLatin1Char('*') + windowTitle() : windowTitle());
    const auto named
        = std::count_if(g_SatTable.begin(), g_SatTable.end(), [](const pre_sat_t& sat) { return sat.name[0] != 0; });
    m_counts->setText(QStringLiteral("Satellites %1/%2, Transponders %3/%4")
                          .arg(named)
                          .arg(NUM_ME_SAT)
                          .arg(CountTransponders(g_TpTable))
                          .arg(NUM_ME_TP));
}

bool CPresetEditDlg::SettleUnsavedChanges(bool discardReverts)
{
    TakeGridEdits();
    if (!IsModified())
        return true;
    const int answer = ShowMessageBox(QStringLiteral("Save changes?"), QString::fromLatin1(kMessageCaption),
        MB_YESNOCANCEL | MB_SAVEDISCARD | MB_ICONQUESTION);
    if (answer == IDYES)
        return SavePresetFile();
    if (answer != IDNO)
        return false;
    // Leaving without a save puts the saved state back, as one more step: the discarded work is an undo away.
    if (discardReverts) {
        RestoreSnapshot(m_history->Unmodified(), g_nShownSat);
        m_history->Record(QStringLiteral("Discard"), Snapshot(), g_nShownSat);
        UpdateChangeMarks();
    }
    return true;
}

CPresetGrid& CPresetEditDlg::FocusedGrid() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == m_satGrid || m_satGrid->isAncestorOf(focus)) ? *m_satGrid : *m_tpGrid;
}

void CPresetEditDlg::InsertRow(CPresetGrid& grid)
{
    TakeGridEdits();
    const int row = grid.CurrentCell().row;
    if (row < grid.GetFixedRows())
        return;
    if (&grid == m_tpGrid) {
        if (RowHasText(grid, grid.GetRows() - 1)) {
            SetStatusText(QStringLiteral("The last row is in use"));
            return;
        }
        // A blank row is no transponder: the tables change once it is filled in.
        MoveRowTexts(grid, row, true);
        return;
    }
    if (!InsertSatelliteSlot(row - 1)) {
        SetStatusText(QStringLiteral("The last satellite is in use"));
        return;
    }
    ShowTables(row - 1);
    RecordChange(QStringLiteral("Insert Row"));
    // The image keeps the named satellites up to the first blank slot.
    SetStatusText(QStringLiteral("Name the new satellite"));
}

void CPresetEditDlg::DeleteRow(CPresetGrid& grid)
{
    TakeGridEdits();
    const int row = grid.CurrentCell().row;
    if (row < grid.GetFixedRows())
        return;
    if (&grid == m_tpGrid) {
        MoveRowTexts(grid, row, false);
    } else {
        DeleteSatelliteSlot(row - 1);
        ShowTables(row - 1);
    }
    RecordChange(QStringLiteral("Delete Row"));
}
