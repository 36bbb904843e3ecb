#include "gridtesthelpers.h"

#include <QDialog>
#include <QFontMetrics>
#include <QVBoxLayout>

namespace {

GridItemInfo Item(int row, int column, unsigned mask)
{
    GridItemInfo info;
    info.row = row;
    info.column = column;
    info.mask = mask;
    return info;
}

void WriteFormat(CGridCtrl& grid, int row, int column, std::uint32_t format)
{
    GridItemInfo info = Item(row, column, GVIF_FORMAT);
    info.format = format;
    QVERIFY(grid.WriteItem(info));
}

} // namespace

class TestGridModel : public QObject {
    Q_OBJECT

private slots:
    void shrinkingDropsFixedCountsSelectionAndCurrentCell()
    {
        CGridCtrl grid(5, 4, 2, 2);
        grid.SetCurrentCell(3, 3);
        grid.SelectBlock(2, 2, 4, 3, false);
        QVERIFY(grid.SetRows(0));
        QCOMPARE(grid.GetFixedRows(), 0);
        QCOMPARE(grid.SelectedCount(), 0);
        QCOMPARE(grid.CurrentCell(), (GridPos { -1, -1 }));
        GridItemInfo info = Item(0, 0, GVIF_TEXT);
        QVERIFY(!grid.ReadItem(info));
        QVERIFY(grid.SetRows(3));
        QVERIFY(grid.SetColumns(1));
        QCOMPARE(grid.GetFixedColumns(), 1);
        QCOMPARE(grid.ColumnWidthAt(1), -1);
        // A fixed count above the total grows the grid first; negative counts and sizes are refused.
        QVERIFY(grid.SetFixedRows(4) && grid.SetFixedColumns(2));
        QCOMPARE(grid.GetRows() * 10 + grid.GetColumns(), 42);
        QVERIFY(!grid.SetFixedRows(-1) && !grid.SetRows(-1) && !grid.SetColumnWidthAt(0, -1));
        QVERIFY(!grid.SetRowHeightAt(4, 10));

        CGridCtrl partly(6, 3, 1, 1);
        partly.SelectBlock(1, 1, 5, 2, false);
        QCOMPARE(partly.SelectedCount(), 10);
        partly.SetCurrentCell(5, 2);
        partly.SetRows(4);
        QCOMPARE(partly.SelectedCount(), 6);
        QCOMPARE(partly.CurrentCell(), (GridPos { -1, -1 }));
        QCOMPARE(partly.SelectedBlock(), (GridBlock { 1, 1, 3, 2 }));

        partly.SetCurrentCell(2, 2);
        partly.DeleteAllCells();
        QCOMPARE(partly.GetRows() + partly.GetColumns() + partly.GetFixedRows() + partly.GetFixedColumns(), 0);
        QCOMPARE(partly.SelectedCount(), 0);
        QCOMPARE(partly.CurrentCell(), (GridPos { -1, -1 }));
        QCOMPARE(partly.TotalHeight(), 0);
    }

    void newRowsCopyTheFormatOfTheRowAbove()
    {
        CGridCtrl grid(1, 3);
        for (int c = 0; c < 3; ++c)
            WriteFormat(grid, 0, c, DT_CENTER << c);
        grid.SetRows(5);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(grid.CellFormat(4, c), grid.CellFormat(3, c));
        QCOMPARE(grid.CellFormat(4, 1), std::uint32_t(DT_RIGHT));
        WriteFormat(grid, 4, 2, DT_SINGLELINE);
        grid.SetRows(6);
        QCOMPARE(grid.CellFormat(5, 2), std::uint32_t(DT_SINGLELINE));

        grid.SetColumns(4);
        WriteFormat(grid, 0, 3, DT_VCENTER);
        QCOMPARE(grid.CellFormat(5, 3), std::uint32_t(0));
        grid.SetColumns(3);
        grid.SetColumns(4);
        QCOMPARE(grid.CellFormat(5, 3), grid.CellFormat(0, 3));
    }

    void positionsOutsideTheGridAreRefused()
    {
        // Past the end, at the counts, negative.
        for (const auto& [row, column] : { std::pair { 1, 99 }, { 1, 3 }, { 4, 0 }, { -1, 0 }, { 0, -1 } }) {
            CGridCtrl grid(4, 3);
            QCOMPARE(grid.CellText(row, column), QString());
            QVERIFY(!grid.SetCellText(row, column, "x"));
            QCOMPARE(grid.CellState(row, column) + grid.CellFormat(row, column), 0u);
            QCOMPARE(grid.CellImage(row, column), -1);
            QVERIFY(!grid.SetCellState(row, column, GVIS_SELECTED));
            QCOMPARE(grid.CellFont(row, column), grid.font());
            GridItemInfo info = Item(row, column, 0xFF);
            QVERIFY(!grid.WriteItem(info));
            QVERIFY(!grid.ReadItem(info));
            QVERIFY(grid.CanEditCell(row, column));
        }
    }

    void readAndWriteOnlyTheMaskedFields()
    {
        CGridCtrl grid(3, 3);
        GridItemInfo in = Item(1, 2, GVIF_TEXT | GVIF_PARAM | GVIF_BKCLR | GVIF_IMAGE);
        in.text = "abc";
        in.param = 77;
        in.backColor = 0xFF102030;
        in.image = 4;
        in.format = DT_RIGHT;
        QVERIFY(grid.WriteItem(in));
        QCOMPARE(grid.CellFormat(1, 2), 0u);
        QCOMPARE(grid.CellImage(1, 2), 4);

        GridItemInfo out = Item(1, 2, GVIF_PARAM | GVIF_BKCLR);
        QVERIFY(grid.ReadItem(out));
        QCOMPARE(out.param, 77u);
        QCOMPARE(out.backColor, 0xFF102030u);
        QCOMPARE(out.text, QString());
        QCOMPARE(out.textColor, kGridDefaultColor);
        out.mask = GVIF_TEXT;
        QVERIFY(grid.ReadItem(out));
        QCOMPARE(out.text, QString("abc"));

        // Only SetCellState keeps the selected set in step with the state bits.
        GridItemInfo state = Item(1, 1, GVIF_STATE);
        state.state = GVIS_SELECTED;
        QVERIFY(grid.WriteItem(state));
        QCOMPARE(grid.CellState(1, 1), std::uint32_t(GVIS_SELECTED));
        QCOMPARE(grid.SelectedCount(), 0);
        QVERIFY(grid.SetCellState(2, 2, GVIS_SELECTED | GVIS_READONLY));
        QVERIFY(grid.SetCellState(2, 2, GVIS_SELECTED));
        QCOMPARE(grid.SelectedCount(), 1);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 2, 2, 2, 2 }));
        QVERIFY(grid.SetCellState(2, 2, 0));
        QCOMPARE(grid.SelectedCount(), 0);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 3, 3, -1, -1 }));
    }

    void modifiedFlagsAndEditability()
    {
        CGridCtrl grid(4, 4, 1, 1);
        grid.MarkModified(true, 2, 2);
        grid.MarkModified(true, 3, 1);
        QVERIFY(grid.IsModified());
        QVERIFY(grid.CellState(2, 2) & GVIS_MODIFIED);
        grid.MarkModified(false, 2, 2);
        QVERIFY(!(grid.CellState(2, 2) & GVIS_MODIFIED));
        QVERIFY(grid.IsModified());
        QVERIFY(grid.CellState(3, 1) & GVIS_MODIFIED);
        grid.MarkModified(false);
        QVERIFY(!grid.IsModified());
        QVERIFY(!(grid.CellState(3, 1) & GVIS_MODIFIED));
        grid.MarkModified(true, 0, 5);
        QVERIFY(grid.IsModified());
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                QVERIFY(!(grid.CellState(r, c) & GVIS_MODIFIED));

        grid.SetCellState(1, 1, GVIS_READONLY);
        QVERIFY(!grid.CanEditCell(1, 1));
        QVERIFY(grid.CanEditCell(1, 2));
        grid.SetEditable(false);
        QVERIFY(!grid.CanEditCell(1, 2));
    }

    void fontChangeKeepsExistingSizes()
    {
        CGridCtrl grid(2, 2);
        QCOMPARE(grid.RowHeightAt(0), 10);
        QCOMPARE(grid.ColumnWidthAt(0), 30);
        QFont big = grid.font();
        big.setPointSize(big.pointSize() * 3);
        grid.SetCellFont(1, 1, QFont("Serif", 5));
        grid.setFont(big);
        QCOMPARE(grid.RowHeightAt(1), 10);
        QCOMPARE(grid.ColumnWidthAt(1), 30);
        QCOMPARE(grid.CellFont(1, 1), grid.font());
        const QFontMetrics fm(grid.font());
        QCOMPARE(grid.Margin(), fm.horizontalAdvance(' '));
        QCOMPARE(grid.DefaultRowHeight(), fm.height() + std::max(0, fm.leading()) + 2 * grid.Margin());
        QCOMPARE(grid.DefaultColumnWidth(), 12 * fm.averageCharWidth() + 2 * grid.Margin());
        grid.SetRows(3);
        grid.SetColumns(3);
        QCOMPARE(grid.RowHeightAt(2), grid.DefaultRowHeight());
        QCOMPARE(grid.ColumnWidthAt(2), grid.DefaultColumnWidth());
    }

    void systemColourChangesReachOnlyDefaultColours()
    {
        CGridCtrl grid(3, 3);
        grid.SetFixedBackColor(0xFF123456);
        QPalette pal = grid.palette();
        for (const int shade : { 0x20, 0x21 }) {
            pal.setColor(QPalette::Base, QColor(shade, shade + 0x10, shade + 0x20));
            pal.setColor(QPalette::Button, QColor(0x50, 0x60, 0x70));
            grid.setPalette(pal);
            QCOMPARE(grid.TextBackColor(), qRgb(shade, shade + 0x10, shade + 0x20));
            QCOMPARE(grid.FixedBackColor(), 0xFF123456u);
        }
    }

    void sortingMovesWholeRows()
    {
        CGridCtrl grid(6, 2, 1, 0);
        const QStringList keys { "head", "delta", "alpha", "charlie", "alpha", "bravo" };
        for (int r = 0; r < 6; ++r) {
            grid.SetCellText(r, 0, keys[r]);
            grid.SetCellText(r, 1, QString::number(r));
            grid.SetRowHeightAt(r, 10 + r);
        }
        QVERIFY(grid.SortRowsByColumn(0, true, 1));
        QStringList sorted;
        for (int r = 1; r < 6; ++r)
            sorted << grid.CellText(r, 0);
        QCOMPARE(sorted, (QStringList { "alpha", "alpha", "bravo", "charlie", "delta" }));
        QCOMPARE(grid.CellText(0, 0), QString("head"));
        QCOMPARE(grid.CellText(3, 1), QString("5"));
        QCOMPARE(grid.RowHeightAt(3), 15);
        QCOMPARE(grid.CellText(5, 1), QString("1"));

        grid.SetCurrentCell(2, 1);
        grid.SortByColumn(0, false);
        QCOMPARE(grid.CurrentCell(), (GridPos { -1, -1 }));
        QCOMPARE(grid.CellText(1, 0), QString("delta"));
        QCOMPARE(grid.CellText(5, 0), QString("alpha"));
        QVERIFY(!grid.SortRowsByColumn(2, true, 1));
        QVERIFY(!grid.SortRowsByColumn(0, true, 3, 3));
        QVERIFY(!grid.SortRowsByColumn(0, true, 4, 2));
    }

    void attachTakesThePlaceOfTheDialogItem()
    {
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QWidget);
        layout->addWidget(new QWidget);
        layout->itemAt(1)->widget()->setObjectName("id1019");
        CGridCtrl grid;
        QVERIFY(!AttachGridControl(&dialog, "id1021", grid));
        QVERIFY(AttachGridControl(&dialog, "id1019", grid));
        QCOMPARE(grid.parentWidget(), &dialog);
        QCOMPARE(layout->indexOf(&grid), 1);
        QCOMPARE(dialog.findChildren<QWidget*>("id1019").size(), 1);
        QCOMPARE(LastAttachedGrid(), &grid);
        QVERIFY(AttachGridControl(&dialog, "id1019", grid));
        grid.setParent(nullptr);
    }
};

QTEST_MAIN(TestGridModel)
#include "test_gridmodel.moc"
