#include "gridtesthelpers.h"

#include <QScrollBar>
#include <QWheelEvent>

// Grids here: fixed row 20 high, fixed column 60 wide, cells 60 x 20, viewport exactly the
// widget (no frame, no visible scroll bars).
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
            QPoint origin;
            QVERIFY(!grid.CellOrigin(topRow - 1, 1, origin) || topRow == 1);
            QVERIFY(grid.CellOrigin(topRow, 0, origin));
            QCOMPARE(origin, QPoint(0, 20));
            QCOMPARE(grid.CellFromPoint(QPoint(125, 45)), (GridPos { topRow + 1, 2 }));
            QCOMPARE(grid.CellFromPoint(QPoint(10, 5)), (GridPos { 0, 0 }));
            QCOMPARE(grid.CellFromPoint(QPoint(10, 5), false), (GridPos { -1, -1 }));
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
            QVERIFY(grid.IsCellShown(0, 3));
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
        QCOMPARE(grid.TopLeftScrolledCell().row, 2);
        grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(VPos(grid), 215);
        grid.OnVScroll(SB_TOP);

        const std::pair<int, int> steps[] = { { SB_LINEUP, 0 }, { SB_LINEDOWN, 35 }, { SB_LINEDOWN, 55 },
            { SB_LINEUP, 35 }, { SB_LINEUP, 0 }, { SB_PAGEDOWN, 180 }, { SB_PAGEDOWN, 360 }, { SB_PAGEDOWN, last },
            { SB_LINEDOWN, last }, { SB_PAGEUP, last - 180 }, { SB_TOP, 0 }, { SB_BOTTOM, last } };
        for (const auto& [code, pos] : steps) {
            grid.OnVScroll(code);
            QCOMPARE(VPos(grid), pos);
        }
        grid.OnHScroll(SB_LINEDOWN);
        QCOMPARE(grid.horizontalScrollBar()->value(), 0);

        // Emptied until every row fits: no scroll range left, and nothing scrolls.
        grid.SetRows(5);
        QCOMPARE(grid.verticalScrollBar()->maximum(), 0);
        for (const int code : { SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM, SB_LINEUP, SB_PAGEUP }) {
            grid.OnVScroll(code);
            QCOMPARE(VPos(grid), 0);
            QCOMPARE(grid.TopLeftScrolledCell().row, 1);
        }
    }

    void wheelScrollsByTheDesktopLines()
    {
        // One notch up, half a notch, a fine step, one notch down.
        for (const auto& [delta, rowsUp] : { std::pair { 120, 3 }, { 60, 1 }, { 30, 0 }, { -120, -3 } }) {
            CGridCtrl grid;
            QCOMPARE(grid.WheelLines(), 3);
            QVERIFY(ShowStandardGrid(grid, 100, 3, { 180, 200 }));
            for (int i = 0; i < 10; ++i)
                grid.OnVScroll(SB_LINEDOWN);
            QCOMPARE(VPos(grid), 200);
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
        QTest::addColumn<int>("mode");
        QTest::newRow("column 2 right end") << QPoint(178, 10) << int(MOUSE_OVER_COL_DIVIDE);
        QTest::newRow("column 2 left edge") << QPoint(122, 10) << int(MOUSE_OVER_COL_DIVIDE);
        QTest::newRow("column 2 middle") << QPoint(150, 10) << int(MOUSE_NOTHING);
        QTest::newRow("column 0 left edge") << QPoint(1, 10) << int(MOUSE_NOTHING);
        QTest::newRow("column border below the heading") << QPoint(178, 30) << int(MOUSE_NOTHING);
        QTest::newRow("row 2 bottom") << QPoint(30, 58) << int(MOUSE_OVER_ROW_DIVIDE);
        QTest::newRow("row 0 top edge") << QPoint(30, 1) << int(MOUSE_NOTHING);
        QTest::newRow("row 0 bottom") << QPoint(30, 18) << int(MOUSE_OVER_ROW_DIVIDE);
    }

    void resizeCursorOnlyOnRealBorders()
    {
        QFETCH(QPoint, point);
        QFETCH(int, mode);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 10, 4, { 240, 200 }));
        MoveTo(grid, point);
        QCOMPARE(grid.MouseMode(), mode);
        const Qt::CursorShape shape = mode == MOUSE_OVER_COL_DIVIDE ? Qt::SizeHorCursor
            : mode == MOUSE_OVER_ROW_DIVIDE                         ? Qt::SizeVerCursor
                                                                    : Qt::ArrowCursor;
        QCOMPARE(grid.viewport()->cursor().shape(), shape);
    }

    void draggingABorderResizes()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 10, 4, { 240, 200 }));
        QWidget* view = grid.viewport();

        // Pressed near the left edge of column 2: column 1 is sized.
        MoveTo(grid, QPoint(121, 10));
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(121, 10));
        QCOMPARE(grid.MouseMode(), int(MOUSE_SIZING_COL));
        MoveTo(grid, QPoint(140, 10), Qt::LeftButton);
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(145, 10));
        QCOMPARE(grid.ColumnWidthAt(1), 85);
        QCOMPARE(grid.ColumnWidthAt(2), 60);
        QCOMPARE(grid.MouseMode(), int(MOUSE_NOTHING));

        // Released where pressed: nothing changes.
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(204, 10));
        QCOMPARE(grid.MouseMode(), int(MOUSE_SIZING_COL));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(204, 10));
        QCOMPARE(grid.ColumnWidthAt(2), 60);

        // A row border in the fixed column, pressed without hovering first.
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(30, 39));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(30, 50));
        QCOMPARE(grid.RowHeightAt(1), 30);

        // Dragged left past the column's own start: the size stops at 0.
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(143, 10));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(grid.ColumnWidthAt(1), 0);
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
        QVERIFY(ShowGrid(grid, QSize(240, 200)));
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
        QVERIFY(grid.MeasureCell(0, 1).width() > grid.MeasureCell(1, 1).width());
    }

    void paintsLinesFramesAndSelection()
    {
        CGridCtrl grid;
        SetUpGrid(grid, 6, 4);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 4; ++c)
                grid.SetCellText(r, c, QString());
        QVERIFY(ShowGrid(grid, QSize(300, 200)));
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
        QCOMPARE(image.pixel(59, 59), pal.color(QPalette::Shadow).rgb());
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
};

QTEST_MAIN(TestGridView)
#include "test_gridview.moc"
