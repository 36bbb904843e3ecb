// The grid's cells, sizes, scrolling and drawing, as its owner and the mouse over borders see them.
#include "gridtesthelpers.h"

#include <QScrollBar>
#include <QWheelEvent>

class TestGridView : public QObject {
    Q_OBJECT

private:
    static int VPos(const CGridCtrl& grid) { return grid.verticalScrollBar()->value(); }

private slots:
    void initTestCase() { QApplication::setWheelScrollLines(3); }

    void geometryAtScrollPositionsInsideARow()
    {
        // Scroll positions: the top, inside row 1, the end of row 1, one past it.
        for (const auto& [pos, topRow] : { std::pair { 0, 1 }, { 10, 2 }, { 20, 2 }, { 21, 3 } }) {
            CGridCtrl grid;
            QVERIFY(ShowStandardGrid(grid, 50, 4, { 240, 210 }));
            grid.verticalScrollBar()->setValue(pos);
            QCOMPARE(grid.TopLeftScrolledCell(), (GridPos { topRow, 1 }));

            QRect rect;
            QVERIFY(grid.CellRect(topRow, 2, rect));
            QCOMPARE(rect, QRect(120, 20, 60, 20));
            QCOMPARE(grid.CellFromPoint(QPoint(125, 45)), (GridPos { topRow + 1, 2 }));
            QCOMPARE(grid.CellFromPoint(QPoint(10, 5)), (GridPos { 0, 0 }));
            QCOMPARE(grid.CellFromPoint(QPoint(-1, 45)), (GridPos { topRow + 1, -1 }));
            QCOMPARE(grid.CellFromPoint(QPoint(239, 45)), (GridPos { topRow + 1, 3 }));
            grid.SetColumnWidthAt(3, 30);
            QCOMPARE(grid.CellFromPoint(QPoint(215, 45)), (GridPos { topRow + 1, -1 }));
            grid.SetColumnWidthAt(3, 60);

            // 190 pixels under the heading: 9 whole rows and half of a tenth.
            QRect drawn;
            QCOMPARE(grid.VisibleBlock(&drawn), (GridBlock { topRow, 1, topRow + 9, 3 }));
            QCOMPARE(drawn, QRect(0, 0, 240, 210));
            QCOMPARE(grid.FullyVisibleBlock(), (GridBlock { topRow, 1, topRow + 8, 3 }));
            QVERIFY(grid.IsCellShown(topRow + 9, 1));
            QVERIFY(!grid.IsCellShown(topRow + 10, 1));
            QCOMPARE(grid.IsCellShown(1, 1), topRow == 1);
        }
    }

    void lineAndPageScrollingLimits()
    {
        CGridCtrl grid;
        SetUpGrid(grid, 31, 3);
        grid.SetRowHeightAt(1, 35);
        QVERIFY(ShowGrid(grid, QSize(180, 200)));
        // 31 rows: heading 20, rows 1..30 = 35 + 29 * 20 = 615; 180 pixels of page.
        const int last = 615 - 180;
        QCOMPARE(grid.verticalScrollBar()->maximum(), last);
        grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(VPos(grid), 35);
        grid.OnVScroll(SB_TOP);

        const std::pair<int, int> steps[] = { { SB_LINEUP, 0 }, { SB_LINEDOWN, 35 }, { SB_LINEDOWN, 55 },
            { SB_LINEUP, 35 }, { SB_LINEUP, 0 }, { SB_PAGEDOWN, 180 }, { SB_PAGEDOWN, 360 }, { SB_PAGEDOWN, last },
            { SB_LINEDOWN, last }, { SB_PAGEUP, last - 180 }, { SB_TOP, 0 }, { SB_BOTTOM, last } };
        for (const auto& [code, pos] : steps) {
            grid.OnVScroll(code);
            QCOMPARE(VPos(grid), pos);
        }

        // Emptied until every row fits: no scroll range left, and nothing scrolls.
        grid.SetRows(5);
        QCOMPARE(grid.verticalScrollBar()->maximum(), 0);
        for (const int code : { SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM, SB_LINEUP, SB_PAGEUP }) {
            grid.OnVScroll(code);
            QCOMPARE(VPos(grid), 0);
        }
    }

    void wheelScrollsByTheDesktopLines()
    {
        // One notch up, half a notch, a fine step, one notch down.
        for (const auto& [delta, rowsUp] : { std::pair { 120, 3 }, { 60, 1 }, { 30, 0 }, { -120, -3 } }) {
            CGridCtrl grid;
            QVERIFY(ShowStandardGrid(grid, 100, 3, { 180, 200 }));
            grid.verticalScrollBar()->setValue(200);
            const QPoint at(50, 50);
            QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid.viewport(), &wheel);
            QCOMPARE(VPos(grid), 200 - 20 * rowsUp);
        }
    }

    void resizeCursorOnlyOnRealBorders_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<Qt::CursorShape>("shape");
        QTest::newRow("column 2 right end") << QPoint(178, 10) << Qt::SizeHorCursor;
        QTest::newRow("column 2 left edge") << QPoint(122, 10) << Qt::SizeHorCursor;
        QTest::newRow("column 2 middle") << QPoint(150, 10) << Qt::ArrowCursor;
        QTest::newRow("column 0 left edge") << QPoint(1, 10) << Qt::ArrowCursor;
        QTest::newRow("column border below the heading") << QPoint(178, 30) << Qt::ArrowCursor;
        QTest::newRow("row 2 bottom") << QPoint(30, 58) << Qt::SizeVerCursor;
        QTest::newRow("row 0 top edge") << QPoint(30, 1) << Qt::ArrowCursor;
        QTest::newRow("row 0 bottom") << QPoint(30, 18) << Qt::SizeVerCursor;
    }

    void resizeCursorOnlyOnRealBorders()
    {
        QFETCH(QPoint, point);
        QFETCH(Qt::CursorShape, shape);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 10));
        MoveTo(grid, point);
        QCOMPARE(grid.viewport()->cursor().shape(), shape);
    }

    void draggingABorderResizes_data()
    {
        QTest::addColumn<bool>("hover");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<QString>("sizes"); // columns 1 and 2, row 1
        QTest::newRow("near the left edge of column 2") << true << QPoint(121, 10) << QPoint(145, 10) << "85 60 20";
        QTest::newRow("released where pressed") << true << QPoint(204, 10) << QPoint(204, 10) << "60 60 20";
        QTest::newRow("a row border, not hovered") << false << QPoint(30, 39) << QPoint(30, 50) << "60 60 30";
        QTest::newRow("past the column's start") << false << QPoint(118, 10) << QPoint(20, 10) << "0 60 20";
    }

    void draggingABorderResizes()
    {
        QFETCH(bool, hover);
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(QString, sizes);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 10));
        if (hover)
            MoveTo(grid, press);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, press);
        MoveTo(grid, (press + release) / 2, Qt::LeftButton);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, release);
        QCOMPARE(
            QString("%1 %2 %3").arg(grid.ColumnWidthAt(1)).arg(grid.ColumnWidthAt(2)).arg(grid.RowHeightAt(1)), sizes);
        QCOMPARE(grid.MouseMode(), int(MOUSE_NOTHING));
    }

    void doubleClickOnABorderFitsEveryTime_data()
    {
        QTest::addColumn<bool>("hovered");
        QTest::newRow("hovered first") << true;
        // Press, release, double click at one point: the release leaves the mouse mode idle.
        QTest::newRow("right after a click, no move") << false;
    }

    void doubleClickOnABorderFitsEveryTime()
    {
        QFETCH(bool, hovered);
        CGridCtrl grid;
        SetUpGrid(grid, 4, 3);
        grid.SetCellText(2, 1, "a much longer text than fits");
        QVERIFY(ShowGrid(grid));
        for (const QPoint border : { QPoint(118, 10), QPoint(30, 38) }) {
            for (int again = 0; again < 2; ++again) {
                grid.SetColumnWidthAt(1, 60);
                grid.SetRowHeightAt(1, 20);
                if (hovered)
                    MoveTo(grid, border);
                else
                    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, border);
                QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, border);
                QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, border);
                if (border.y() == 10)
                    QCOMPARE(grid.ColumnWidthAt(1), grid.MeasureCell(2, 1).width());
                else
                    QCOMPARE(grid.RowHeightAt(1), grid.MeasureCell(1, 1).height());
            }
        }
    }

    void fitAllTakesTheWidestAndTallestCell()
    {
        CGridCtrl grid(0, 3);
        grid.FitAll();
        QCOMPARE(grid.TotalWidth(), 0);
        grid.SetRows(3);
        grid.SetFixedRows(1);
        grid.SetCellText(0, 1, "heading");
        grid.SetCellText(1, 2, "wider text in column two");
        grid.FitAll();
        QCOMPARE(grid.ColumnWidthAt(1), grid.MeasureCell(0, 1).width());
        QCOMPARE(grid.ColumnWidthAt(2), grid.MeasureCell(1, 2).width());
        QCOMPARE(grid.RowHeightAt(1), grid.MeasureCell(1, 2).height());
    }

    void paintsLinesFramesAndSelection()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 6, 4, { 300, 200 }));
        grid.SetCurrentCell(1, 1);
        grid.SelectBlock(2, 2, 2, 2, true);
        QImage image = grid.viewport()->grab().toImage();
        QCOMPARE(image.pixel(119, 50), grid.GridLineColor());
        QCOMPARE(image.pixel(90, 59), grid.GridLineColor());
        QCOMPARE(image.pixel(60, 25), qRgb(0, 0, 0));
        QCOMPARE(QColor(image.pixel(150, 50)), grid.palette().color(QPalette::Highlight));
        QCOMPARE(image.pixel(250, 100), grid.BackColor());
        QCOMPARE(image.pixel(150, 90), grid.TextBackColor());
        // Headings of the current row and column are sunken, the others raised.
        const QPalette& pal = grid.palette();
        QCOMPARE(image.pixel(0, 20), pal.color(QPalette::Shadow).rgb());
        QCOMPARE(image.pixel(60, 0), pal.color(QPalette::Shadow).rgb());
        QCOMPARE(image.pixel(0, 40), pal.color(QPalette::Light).rgb());
        grid.SetCurrentCell(2, 1);
        image = grid.viewport()->grab().toImage();
        QCOMPARE(image.pixel(0, 20), pal.color(QPalette::Light).rgb());
        QCOMPARE(image.pixel(0, 40), pal.color(QPalette::Shadow).rgb());

        grid.SetGridLines(GVL_NONE);
        grid.viewport()->update();
        image = grid.viewport()->grab().toImage();
        QCOMPARE(image.pixel(150, 79), grid.TextBackColor());
        QCOMPARE(image.pixel(60, 45), qRgb(0, 0, 0));
    }

    void shrinkingDropsFixedCountsSelectionAndCurrentCell()
    {
        CGridCtrl grid(5, 4, 2, 2);
        grid.SetCurrentCell(3, 3);
        grid.SelectBlock(2, 2, 4, 3, false);
        QVERIFY(grid.SetRows(0));
        QCOMPARE(grid.GetFixedRows(), 0);
        QCOMPARE(grid.SelectedCount(), 0);
        QCOMPARE(grid.CurrentCell(), (GridPos { -1, -1 }));
        QVERIFY(grid.SetRows(3) && grid.SetColumns(1));
        QCOMPARE(grid.GetFixedColumns(), 1);
        // A fixed count above the total grows the grid first; negative counts and sizes are refused.
        QVERIFY(grid.SetFixedRows(4) && grid.SetFixedColumns(2));
        QCOMPARE(grid.GetRows() * 10 + grid.GetColumns(), 42);
        QVERIFY(!grid.SetFixedRows(-1) && !grid.SetRows(-1) && !grid.SetColumnWidthAt(0, -1));

        CGridCtrl partly(6, 3, 1, 1);
        partly.SelectBlock(1, 1, 5, 2, false);
        partly.SetCurrentCell(5, 2);
        partly.SetRows(4);
        QCOMPARE(partly.SelectedCount(), 6);
        QCOMPARE(partly.CurrentCell(), (GridPos { -1, -1 }));
        QCOMPARE(partly.SelectedBlock(), (GridBlock { 1, 1, 3, 2 }));

        partly.SetCurrentCell(2, 2);
        partly.DeleteAllCells();
        QCOMPARE(partly.GetRows() + partly.GetColumns() + partly.GetFixedRows() + partly.GetFixedColumns(), 0);
        QCOMPARE(partly.SelectedCount() + partly.TotalHeight(), 0);
        QCOMPARE(partly.CurrentCell(), (GridPos { -1, -1 }));
    }

    void newRowsCopyTheFormatOfTheRowAbove()
    {
        CGridCtrl grid(1, 3);
        for (int c = 0; c < 3; ++c)
            QVERIFY(grid.WriteItem({ .column = c, .mask = GVIF_FORMAT, .format = DT_CENTER << c }));
        grid.SetRows(5);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(grid.CellFormat(4, c), std::uint32_t(DT_CENTER << c));
        QVERIFY(grid.WriteItem({ .row = 4, .column = 2, .mask = GVIF_FORMAT, .format = DT_SINGLELINE }));
        grid.SetRows(6);
        QCOMPARE(grid.CellFormat(5, 2), std::uint32_t(DT_SINGLELINE));

        // A column removed and added again starts afresh.
        grid.SetColumns(4);
        QVERIFY(grid.WriteItem({ .column = 3, .mask = GVIF_FORMAT, .format = DT_VCENTER }));
        grid.SetColumns(3);
        grid.SetColumns(4);
        QCOMPARE(grid.CellFormat(0, 3), 0u);
    }

    void positionsOutsideTheGridAreRefused()
    {
        // Past the end, at the counts, negative.
        for (const auto& [row, column] : { std::pair { 1, 99 }, { 1, 3 }, { 4, 0 }, { -1, 0 }, { 0, -1 } }) {
            CGridCtrl grid(4, 3);
            QCOMPARE(grid.CellText(row, column), QString());
            QVERIFY(!grid.SetCellText(row, column, "x") && !grid.SetCellState(row, column, GVIS_SELECTED));
            QCOMPARE(grid.CellState(row, column) + grid.CellFormat(row, column), 0u);
            QCOMPARE(grid.CellImage(row, column), -1);
            QCOMPARE(grid.CellFont(row, column), grid.font());
            GridItemInfo info { .row = row, .column = column, .mask = 0xFF };
            QVERIFY(!grid.WriteItem(info) && !grid.ReadItem(info));
        }
    }

    void readAndWriteOnlyTheMaskedFields()
    {
        CGridCtrl grid(3, 3);
        GridItemInfo in { .row = 1, .column = 2, .mask = GVIF_TEXT | GVIF_PARAM | GVIF_BKCLR, .format = DT_RIGHT };
        in.text = "abc";
        in.backColor = 0xFF102030;
        in.param = 77;
        QVERIFY(grid.WriteItem(in));
        QCOMPARE(grid.CellFormat(1, 2), 0u);

        GridItemInfo out { .row = 1, .column = 2, .mask = GVIF_PARAM | GVIF_BKCLR };
        QVERIFY(grid.ReadItem(out));
        QCOMPARE(out.param, 77u);
        QCOMPARE(out.backColor, 0xFF102030u);
        QCOMPARE(out.text, QString());
        out.mask = GVIF_TEXT;
        QVERIFY(grid.ReadItem(out));
        QCOMPARE(out.text, QString("abc"));

        // Only SetCellState keeps the selected set in step with the state bits.
        QVERIFY(grid.WriteItem({ .row = 1, .column = 1, .mask = GVIF_STATE, .state = GVIS_SELECTED }));
        QCOMPARE(grid.CellState(1, 1), std::uint32_t(GVIS_SELECTED));
        QCOMPARE(grid.SelectedCount(), 0);
        QVERIFY(grid.SetCellState(2, 2, GVIS_SELECTED | GVIS_READONLY));
        QVERIFY(grid.SetCellState(2, 2, GVIS_SELECTED));
        QCOMPARE(grid.SelectedCount(), 1);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 2, 2, 2, 2 }));
        QVERIFY(grid.SetCellState(2, 2, 0));
        QCOMPARE(grid.SelectedCount(), 0);
    }

    void fontAndPaletteChanges()
    {
        CGridCtrl grid(2, 2);
        const QSize before(grid.ColumnWidthAt(1), grid.RowHeightAt(1));
        QFont big = grid.font();
        big.setPointSize(big.pointSize() * 3);
        grid.SetCellFont(1, 1, QFont("Serif", 5));
        grid.setFont(big);
        QCOMPARE(QSize(grid.ColumnWidthAt(1), grid.RowHeightAt(1)), before);
        QCOMPARE(grid.CellFont(1, 1), grid.font());
        // Rows and columns added later take the sizes of the new font.
        grid.SetRows(3);
        grid.SetColumns(3);
        QCOMPARE(QSize(grid.ColumnWidthAt(2), grid.RowHeightAt(2)),
            QSize(grid.DefaultColumnWidth(), grid.DefaultRowHeight()));
        QVERIFY(grid.RowHeightAt(2) > before.height() && grid.ColumnWidthAt(2) > before.width());

        // Palette changes reach only the colours the owner left at their defaults, every time.
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

        QVERIFY(!grid.SortRowsByColumn(2, true, 1) && !grid.SortRowsByColumn(0, true, 3, 3));
        QVERIFY(!grid.SortRowsByColumn(0, true, 4, 2));
    }
};

QTEST_MAIN(TestGridView)
#include "test_gridview.moc"
