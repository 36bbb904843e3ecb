#pragma once

#include <optional>

#include "grid/cgridcellrecord.h"
#include "grid/cgriddrophandler.h"
#include "grid/gridtypes.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFontMetrics>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>
#include <vector>

class CCellTipWnd;
class QDrag;
class QMimeData;

enum GridScrollCode : int {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
};

enum GridMouseMode : int {
    MOUSE_NOTHING = 0,
    MOUSE_SELECT_ALL = 1,
    MOUSE_SELECT_COL = 2,
    MOUSE_SELECT_ROW = 3,
    MOUSE_SELECT_CELLS = 4,
    MOUSE_OVER_ROW_DIVIDE = 6,
    MOUSE_SIZING_ROW = 7,
    MOUSE_OVER_COL_DIVIDE = 8,
    MOUSE_SIZING_COL = 9,
    MOUSE_PREPARE_EDIT = 10,
    MOUSE_PREPARE_DRAG = 11,
    MOUSE_DRAGGING = 12,
};

// An editable spreadsheet-style grid painted by itself. Rows and columns at the top and left
// can be fixed (headings that do not scroll). Owners read and write cells through
// GridItemInfo, hear about the user's work through gridNotify, and may derive to offer their
// own in-place editors (MakeInPlaceEditor).
class CGridCtrl : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CGridCtrl(
        int rows = 0, int columns = 0, int fixedRows = 0, int fixedColumns = 0, QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Counts and sizes
    bool SetRows(int rows);
    bool SetColumns(int columns);
    bool SetFixedRows(int fixedRows);
    bool SetFixedColumns(int fixedColumns);
    [[nodiscard]] int GetRows() const { return m_nRows; }
    [[nodiscard]] int GetColumns() const { return m_nColumns; }
    [[nodiscard]] int GetFixedRows() const { return m_nFixedRows; }
    [[nodiscard]] int GetFixedColumns() const { return m_nFixedColumns; }
    [[nodiscard]] int RowHeightAt(int row) const;
    [[nodiscard]] int ColumnWidthAt(int column) const;
    bool SetRowHeightAt(int row, int height);
    bool SetColumnWidthAt(int column, int width);
    [[nodiscard]] int FixedRowsHeight() const;
    [[nodiscard]] int FixedColumnsWidth() const;
    [[nodiscard]] int TotalHeight() const;
    [[nodiscard]] int TotalWidth() const;

    // Cells
    [[nodiscard]] bool IsValid(int row, int column) const
    {
        return row >= 0 && row < m_nRows && column >= 0 && column < m_nColumns;
    }
    [[nodiscard]] bool IsValid(const GridPos& pos) const { return IsValid(pos.row, pos.column); }
    [[nodiscard]] bool IsValid(const GridBlock& block) const;
    bool ReadItem(GridItemInfo& info) const;
    bool WriteItem(const GridItemInfo& info);
    [[nodiscard]] virtual QString CellText(int row, int column) const;
    bool SetCellText(int row, int column, const QString& text);
    [[nodiscard]] std::uint32_t CellState(int row, int column) const;
    [[nodiscard]] std::uint32_t CellFormat(int row, int column) const;
    [[nodiscard]] int CellImage(int row, int column) const;
    bool SetCellState(int row, int column, std::uint32_t state);
    [[nodiscard]] QFont CellFont(int row, int column) const;
    bool SetCellFont(int row, int column, const QFont& font);
    void DeleteAllCells();
    void MarkModified(bool modified, int row = -1, int column = -1);
    [[nodiscard]] bool IsModified() const { return m_bModified; }
    [[nodiscard]] bool CanEditCell(int row, int column) const;

    // Grid-wide properties
    void SetTextColor(QRgb color) { m_textColor = color; }
    void SetTextBackColor(QRgb color) { m_textBackColor = color; }
    void SetBackColor(QRgb color) { m_backColor = color; }
    void SetFixedTextColor(QRgb color) { m_fixedTextColor = color; }
    void SetFixedBackColor(QRgb color) { m_fixedBackColor = color; }
    void SetGridLineColor(QRgb color) { m_gridLineColor = color; }
    [[nodiscard]] QRgb TextColor() const { return m_textColor; }
    [[nodiscard]] QRgb TextBackColor() const { return m_textBackColor; }
    [[nodiscard]] QRgb BackColor() const { return m_backColor; }
    [[nodiscard]] QRgb FixedTextColor() const { return m_fixedTextColor; }
    [[nodiscard]] QRgb FixedBackColor() const { return m_fixedBackColor; }
    [[nodiscard]] QRgb GridLineColor() const { return m_gridLineColor; }
    void SetGridLines(int lines) { m_nGridLines = lines; }
    [[nodiscard]] int GridLinesSetting() const { return m_nGridLines; }
    void SetEditable(bool on) { m_bEditable = on; }
    [[nodiscard]] bool IsEditable() const { return m_bEditable; }
    void SetListMode(bool on) { m_bListMode = on; }
    void SetSingleRowSelection(bool on) { m_bSingleRowSelection = on; }
    void SetDrawingAllowed(bool on) { m_bAllowDraw = on; }
    [[nodiscard]] bool IsDrawingAllowed() const { return m_bAllowDraw; }
    void SetSelectionEnabled(bool on) { m_bEnableSelection = on; }
    void SetSortOnClick(bool on) { m_bSortOnClick = on; }
    void SetHandleTabKey(bool on) { m_bHandleTabKey = on; }
    void SetDoubleBuffering(bool on) { m_bDoubleBuffer = on; }
    void SetTitleTips(bool on);
    [[nodiscard]] bool TitleTips() const { return m_bTitleTips; }
    void SetDragAndDrop(bool on) { m_bDragAndDrop = on; }
    [[nodiscard]] bool DragAndDrop() const { return m_bDragAndDrop; }
    // Enter writes this text into a cell of the column (no edit, no modified mark); in a column
    // without one Enter starts an edit of the cell. An empty text removes the setting.
    void SetEnterText(int column, const QString& text);
    [[nodiscard]] QString EnterText(int column) const { return m_enterTexts.value(column); }
    // The longest text a cell of the column takes from an editor or a paste; 0 for no limit.
    void SetColumnMaxLength(int column, int length);
    [[nodiscard]] int ColumnMaxLength(int column) const { return m_maxLengths.value(column); }
    void SetRowResize(bool on) { m_bAllowRowResize = on; }
    void SetColumnResize(bool on) { m_bAllowColumnResize = on; }
    void SetImageList(std::vector<QPixmap> images) { m_images = std::move(images); }
    [[nodiscard]] int DefaultRowHeight() const { return m_nDefRowHeight; }
    [[nodiscard]] int DefaultColumnWidth() const { return m_nDefColumnWidth; }
    [[nodiscard]] int Margin() const { return m_nMargin; }
    [[nodiscard]] int WheelLines() const { return m_nWheelLines; }
    [[nodiscard]] int MouseMode() const { return m_nMouseMode; }
    [[nodiscard]] int SortColumn() const { return m_nSortColumn; }
    [[nodiscard]] bool SortAscending() const { return m_bSortAscending; }

    // Geometry, in viewport coordinates
    [[nodiscard]] GridPos TopLeftScrolledCell() const;
    GridBlock VisibleBlock(QRect* rect = nullptr) const;
    [[nodiscard]] GridBlock FullyVisibleBlock() const;
    [[nodiscard]] GridPos CellFromPoint(QPoint point, bool allowFixed = true) const;
    bool CellOrigin(int row, int column, QPoint& origin) const;
    bool CellRect(int row, int column, QRect& rect) const;
    bool CellTextRect(int row, int column, QRect& rect) const;
    [[nodiscard]] bool IsCellShown(int row, int column) const;
    void ScrollCellIntoView(int row, int column);
    [[nodiscard]] bool IsOverColumnDivider(QPoint point) const;
    [[nodiscard]] bool IsOverRowDivider(QPoint point) const;
    void RecalcScrollBars();
    void OnVScroll(int code);
    void OnHScroll(int code);

    // Painting
    virtual void PaintGrid(QPainter& painter, const QRect& clip);
    virtual bool PaintFixedCell(QPainter& painter, int row, int column, QRect rect, bool eraseBackground);
    virtual bool PaintCell(QPainter& painter, int row, int column, QRect rect, bool eraseBackground);
    void PaintBackground(QPainter& painter, const QRect& clip);
    bool RedrawOneCell(int row, int column);
    bool InvalidateOneCell(const GridPos& pos);

    // Sizing to contents
    [[nodiscard]] virtual QSize MeasureCell(int row, int column) const;
    bool FitColumn(int column);
    bool FitRow(int row);
    void FitAll();
    // With this on, FitAll and a resize then spread the non-fixed columns over the width the
    // viewport has, so that no column needs a horizontal scroll bar and no band is left over.
    void SetFitToWidth(bool on) { m_bFitToWidth = on; }

    // Selection
    GridPos SetCurrentCell(int row, int column);
    [[nodiscard]] GridPos CurrentCell() const { return m_currentCell; }
    void SelectBlock(int minRow, int minColumn, int maxRow, int maxColumn, bool repaintNow);
    void ClearSelection();
    [[nodiscard]] GridBlock SelectedBlock() const;
    [[nodiscard]] int SelectedCount() const { return static_cast<int>(m_selected.size()); }
    void SelectEveryCell();
    void ExtendSelection(const GridPos& pos);
    void SelectColumnsTo(const GridPos& pos);
    void SelectRowsTo(const GridPos& pos);
    void SelectCellsTo(const GridPos& pos);
    virtual void FixedRowClicked(const GridPos& pos);
    virtual void FixedColumnClicked(const GridPos& pos);
    bool SortRowsByColumn(int column, bool ascending, int low, int high = -1);
    void SortByColumn(int column, bool ascending);

    // Commands reached by Ctrl+A, C, V, X, and whether each can run now (for a menu or toolbar).
    virtual void SelectAllCommand();
    virtual void CopyCommand();
    virtual void CutCommand();
    virtual void PasteCommand();
    [[nodiscard]] bool CanCopy() const;
    [[nodiscard]] bool CanCut() const;
    [[nodiscard]] bool CanPaste() const;
    [[nodiscard]] bool CanSelectAll() const { return m_bEnableSelection; }

    // Clipboard text: rows separated by LF, cells by TAB.
    [[nodiscard]] virtual std::unique_ptr<QMimeData> SelectionToDataSource() const;
    virtual void ClearSelectedText();
    virtual bool PasteDataAt(const GridPos& target, const QMimeData& data);

    // Drag and drop, reached through CGridDropHandler.
    void StartDrag();
    Qt::DropAction DragEnterAt(const QMimeData& data, Qt::KeyboardModifiers keys, QPoint point);
    Qt::DropAction DragOverAt(const QMimeData& data, Qt::KeyboardModifiers keys, QPoint point);
    void DragLeaveNow();
    bool DropAt(const QMimeData& data, Qt::DropAction effect, QPoint point);
    // Copy with Ctrl held, move otherwise.
    [[nodiscard]] static Qt::DropAction DropEffect(Qt::KeyboardModifiers keys);
    // Runs a drag to its end and returns the action the target took. Tests replace it, since a
    // drag needs a window system to run; nullptr restores QDrag::exec.
    using DragRunner = std::function<Qt::DropAction(QDrag&)>;
    static void SetDragRunner(DragRunner runner);

    // The title tip over a cell whose text does not fit; null until one has been shown.
    [[nodiscard]] CCellTipWnd* TitleTip() const;
    void HideTitleTip();

    // Editing
    virtual void EditCellAt(int row, int column, unsigned startKey);
    virtual void MakeInPlaceEditor(
        const QRect& rect, int style, int controlId, int row, int column, const QString& text, unsigned startKey);
    virtual void FinishCellEdit(int row, int column, const QString& text);
    // The one gate for a text that an editor or a paste puts into a cell: true to take it (an owner may
    // rewrite text into the form it stores), false with the reason to refuse it. Takes everything here.
    [[nodiscard]] virtual bool AdmitCellText(int row, int column, QString& text, QString& refusal) const;
    // Ends the in-place edit that is open, if any, as a click elsewhere would: its text goes to the cell.
    void EndOpenEdit();
    virtual int NotifyParent(int row, int column, int code);
    // Called by an in-place editor when it closes.
    int OnGridEditNotify(const GridEditNotify& notify);

    // Keyboard handling as the grid runs it for a key event; public so that editors can
    // continue an edit in the next cell.
    void OnKeyDown(unsigned key, Qt::KeyboardModifiers modifiers);
    void OnChar(unsigned character, Qt::KeyboardModifiers modifiers);

    // The column a mouse-started edit uses for column 2 of a three-column grid.
    static constexpr int kAliasColumn = 5;
    [[nodiscard]] int EditColumn(int column) const { return column == kAliasColumn && m_nColumns == 3 ? 2 : column; }
    [[nodiscard]] int MouseEditColumn() const
    {
        return m_currentCell.column == 2 && m_nColumns == 3 ? kAliasColumn : m_currentCell.column;
    }

signals:
    void gridNotify(int code, int row, int column);
    // Posted after a left click on a cell.
    void commandNotify();
    // A typed text (pastedCells 0) or a paste was refused by AdmitCellText; a refused paste changes no cell,
    // and reason is that of its first refused cell.
    void cellTextRefused(const QString& reason, int pastedCells);
    // Once per action of the user that may have changed cells (an edit, a paste, a cut, a drop, Delete, Enter's
    // text), after all of its cells have changed, so an owner can take the whole action as one step.
    void cellsEdited();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    virtual CGridCellRecord NewCell(int row, int column);
    virtual void ClearCell(CGridCellRecord& cell, int row, int column);

private:
    // Held over one action of the user; the outermost one reports the action's cell changes once.
    class EditBatch {
    public:
        explicit EditBatch(CGridCtrl& grid);
        ~EditBatch();
        EditBatch(const EditBatch&) = delete;
        EditBatch& operator=(const EditBatch&) = delete;

    private:
        CGridCtrl& m_grid;
    };

    // OnKeyDown by what its keys do.
    void RunClipboardKey(unsigned key);
    void EditKey(unsigned key);
    [[nodiscard]] std::optional<GridPos> NavigationTarget(unsigned key, bool shift, bool& changeLine);
    void MoveCurrentCell(GridPos next, unsigned key, bool shift, bool changeLine);
    CGridCellRecord* Cell(int row, int column);
    [[nodiscard]] const CGridCellRecord* Cell(int row, int column) const;
    std::uint16_t FontIndex(const QFont& font);
    void ApplyFont();
    void ReadSystemColors();
    void SendSelChanged();
    void RedrawFixedOf(int row, int column, bool rowChanged, bool columnChanged);
    void ScrollBy(Qt::Orientation orientation, int code);
    void OnScrollAction(Qt::Orientation orientation, int action);
    void SetScrollPos(Qt::Orientation orientation, int pos);
    [[nodiscard]] int ScrollPos(Qt::Orientation orientation) const;
    [[nodiscard]] QRect ClientRect() const;
    void UpdateHover(QPoint point);
    void StartSizing(QPoint point);
    void FinishSizing(QPoint point);
    void CancelTrackingLine();
    [[nodiscard]] GridPos DividerCell(QPoint point, bool columns) const;
    void DrawCellText(QPainter& painter, const CGridCellRecord& cell, QRect rect, bool bold);
    [[nodiscard]] const QFontMetrics& Metrics(std::uint16_t font, bool bold) const;
    void SwapRows(int a, int b);
    void FillWidth();
    void OfferTitleTip(QPoint point);
    void MarkDropTarget(const GridPos& cell, bool on);
    [[nodiscard]] bool AcceptsDrop(const QMimeData& data) const;
    void SetDefaults();

    std::vector<CGridRowArray> m_rows;
    std::vector<int> m_rowHeights;
    std::vector<int> m_columnWidths;
    int m_nRows = 0;
    int m_nColumns = 0;
    int m_nFixedRows = 0;
    int m_nFixedColumns = 0;

    QRgb m_textColor = 0;
    QRgb m_textBackColor = 0;
    QRgb m_backColor = 0;
    QRgb m_fixedTextColor = 0;
    QRgb m_fixedBackColor = 0;
    QRgb m_gridLineColor = 0xFFC0C0C0u;
    QRgb m_sysWindowText = 0;
    QRgb m_sysWindow = 0;
    QRgb m_sys3DFace = 0;
    QRgb m_sys3DShadow = 0;

    int m_nGridLines = GVL_BOTH;
    bool m_bEditable = true;
    bool m_bModified = false;
    bool m_bDragAndDrop = false;
    bool m_bListMode = false;
    bool m_bSingleRowSelection = false;
    bool m_bAllowDraw = true;
    bool m_bEnableSelection = true;
    bool m_bSortOnClick = true;
    bool m_bHandleTabKey = true;
    bool m_bDoubleBuffer = true;
    bool m_bTitleTips = true;
    bool m_bAllowRowResize = true;
    bool m_bAllowColumnResize = true;
    bool m_bFitToWidth = false;
    int m_nDefRowHeight = 10;
    int m_nDefColumnWidth = 30;
    int m_nMargin = 0;
    int m_nResizeCaptureRange = 3;
    int m_nTimerInterval = 25;
    int m_nWheelLines = 3;
    std::vector<QPixmap> m_images;
    std::vector<QFont> m_fonts;
    mutable std::vector<QFontMetrics> m_metrics;
    int m_nSortColumn = -1;
    bool m_bSortAscending = true;

    GridPos m_currentCell;
    GridPos m_selectionStartCell;
    GridPos m_leftClickDownCell;
    QPoint m_leftClickDownPoint;
    QPoint m_lastMousePoint;
    QPoint m_cursorPoint;
    int m_nMouseMode = MOUSE_NOTHING;
    bool m_bCaptured = false;
    int m_nSizingIndex = -1;
    int m_nTrackingLine = -1;
    QSet<qint64> m_selected;
    QSet<qint64> m_kept;
    QBasicTimer m_autoScrollTimer;
    int m_nVScrollMax = 0;
    int m_nHScrollMax = 0;
    int m_nScrollGuard = 0;
    bool m_bInSize = false;
    QHash<int, QString> m_enterTexts;
    QHash<int, int> m_maxLengths;
    GridPos m_dragOverCell;
    CGridDropHandler m_dropHandler;
    QPointer<CCellTipWnd> m_pTip;
    GridPos m_tipCell;
    int m_nEditBatch = 0;
    bool m_bBatchEdited = false;
};

// Puts the grid in the place of the dialog's child named itemName (same parent, geometry, name
// and layout slot); the child is removed. False when no such child exists.
bool AttachGridControl(QWidget* dialog, const QString& itemName, CGridCtrl& grid);
[[nodiscard]] CGridCtrl* LastAttachedGrid();
