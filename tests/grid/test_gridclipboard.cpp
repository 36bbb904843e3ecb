// Cells as text through the clipboard and drag and drop, and the title tip over cut cells.
#include "grid/ccelltipwnd.h"
#include "gridtesthelpers.h"

#include <QClipboard>
#include <QDrag>
#include <QMimeData>

namespace {

const QStringList kUntouched { "2,1|2,2|2,3", "3,1|3,2|3,3", "4,1|4,2|4,3", "5,1|5,2|5,3" };

QString Clipboard()
{
    return QGuiApplication::clipboard()->text();
}

// Drags the selection from one cell onto another, the drop delivered as the window system would.
Qt::DropAction DragAndDrop(CGridCtrl& grid, GridPos from, GridPos to, Qt::KeyboardModifiers keys, bool& framed)
{
    Qt::DropAction result = Qt::IgnoreAction;
    const QPoint at = Centre(grid, to.row, to.column);
    CGridCtrl::SetDragRunner([&](QDrag& drag) {
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, drag.mimeData(), Qt::LeftButton, keys);
        QApplication::sendEvent(grid.viewport(), &enter);
        QDragMoveEvent move(at, offered, drag.mimeData(), Qt::LeftButton, keys);
        QApplication::sendEvent(grid.viewport(), &move);
        framed = grid.CellState(to.row, to.column) & GVIS_DROPHILITED;
        QDropEvent drop(at, offered, drag.mimeData(), Qt::LeftButton, keys);
        QApplication::sendEvent(grid.viewport(), &drop);
        result = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        return result;
    });
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, Centre(grid, from.row, from.column));
    MoveTo(grid, at, Qt::LeftButton);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
    CGridCtrl::SetDragRunner(nullptr);
    return result;
}

} // namespace

class TestGridClipboard : public QObject {
    Q_OBJECT

private slots:
    void copyWritesTabsAndLineFeedsAndASpaceForAnEmptyCell()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCellText(2, 2, QString());
        QVERIFY(!grid.CanCopy());
        Click(grid, 2, 1);
        grid.SelectBlock(2, 1, 3, 3, true);
        QVERIFY(grid.CanCopy() && grid.CanCut());
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Clipboard(), QString("2,1\t \t2,3\n3,1\t3,2\t3,3"));
    }

    void pasteSplitsFieldsAndDropsWhatFallsOutside_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<GridPos>("at");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("three lines, a comma and an empty line")
            << "a,b\n\nc" << GridPos { 2, 1 } << QStringList { "a|b|2,3", "|3,2|3,3", "c|4,2|4,3", "5,1|5,2|5,3" };
        QTest::newRow("two tabs count as one")
            << "a\t\tb" << GridPos { 2, 1 } << QStringList { "a|b|2,3", "3,1|3,2|3,3", "4,1|4,2|4,3", "5,1|5,2|5,3" };
        QTest::newRow("past the last row and column")
            << "a\tb\tc\nd\te\tf\ng" << GridPos { 4, 2 }
            << QStringList { "2,1|2,2|2,3", "3,1|3,2|3,3", "4,1|a|b", "5,1|d|5,3" };
        QTest::newRow("CR LF lines from a spreadsheet")
            << " 11778 \t27500\r\n3880\t4340\r\n"
            << GridPos { 2, 2 } << QStringList { "2,1|11778|27500", "3,1|3880|4340", "4,1|4,2|4,3", "5,1|5,2|5,3" };
        QTest::newRow("a NUL ends the text") << QString("x\ty") + QChar(0) + "z" << GridPos { 3, 1 }
                                             << QStringList { "2,1|2,2|2,3", "x|y|3,3", "4,1|4,2|4,3", "5,1|5,2|5,3" };
        QTest::newRow("a read-only target takes nothing") << "a" << GridPos { 5, 3 } << kUntouched;
    }

    void pasteSplitsFieldsAndDropsWhatFallsOutside()
    {
        QFETCH(QString, text);
        QFETCH(GridPos, at);
        QFETCH(QStringList, rows);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCellState(5, 3, GVIS_READONLY);
        Click(grid, at.row, at.column);
        QGuiApplication::clipboard()->setText(text);
        QVERIFY(grid.CanPaste() != (at == GridPos { 5, 3 }));
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QStringList shown;
        for (int r = 2; r <= 5; ++r)
            shown << QStringList { grid.CellText(r, 1), grid.CellText(r, 2), grid.CellText(r, 3) }.join('|');
        QCOMPARE(shown, rows);
        QCOMPARE(grid.IsModified(), shown != kUntouched);
    }

    void cutClearsEditableCellsAndNothingOnAReadOnlyGrid()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCellState(1, 2, GVIS_READONLY);
        Click(grid, 1, 1);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        QGuiApplication::clipboard()->setText("before");
        grid.SetEditable(false);
        QVERIFY(!grid.CanCut());
        QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(Clipboard(), QString("before"));
        QCOMPARE(grid.CellText(1, 1), QString("1,1"));

        grid.SetEditable(true);
        GridLog log(grid);
        QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(Clipboard(), QString("1,1\t1,2"));
        QCOMPARE(grid.CellText(1, 1), QString());
        QCOMPARE(grid.CellText(1, 2), QString("1,2"));
        QCOMPARE(log.notes, (std::vector<Note> { { GVN_BEGINLABELEDIT, 1, 1 }, { GVN_ENDLABELEDIT, 1, 1 } }));
    }

    void dropsCopyWithCtrlMoveOtherwiseAndNeverOntoReadOnlyCells_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<Qt::DropAction>("action");
        QTest::newRow("move") << Qt::KeyboardModifiers() << false << Qt::MoveAction;
        QTest::newRow("copy with ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier) << false << Qt::CopyAction;
        QTest::newRow("read-only target") << Qt::KeyboardModifiers() << true << Qt::IgnoreAction;
    }

    void dropsCopyWithCtrlMoveOtherwiseAndNeverOntoReadOnlyCells()
    {
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(bool, readOnly);
        QFETCH(Qt::DropAction, action);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetDragAndDrop(true);
        grid.SetCellState(4, 2, readOnly ? GVIS_READONLY : 0);
        for (const auto& [r, c, text] : { std::tuple { 1, 1, "A" }, { 1, 2, "B" }, { 2, 1, "C" }, { 2, 2, "D" } })
            grid.SetCellText(r, c, text);
        Click(grid, 1, 1);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        GridLog log(grid);
        bool framed = false;
        QCOMPARE(DragAndDrop(grid, { 1, 1 }, { 4, 2 }, keys, framed), action);
        QCOMPARE(log.Count(GVN_BEGINDRAG), 1);
        QCOMPARE(framed, !readOnly);
        QVERIFY(!(grid.CellState(4, 2) & GVIS_DROPHILITED));
        QCOMPARE(grid.CellText(5, 3), readOnly ? QString("5,3") : QString("D"));
        QCOMPARE(grid.CellText(2, 2), action == Qt::MoveAction ? QString() : QString("D"));
        QCOMPARE(grid.MouseMode(), int(MOUSE_NOTHING));
    }

    void titleTipShowsCutTextStaysStillAndStepsAsideForKeysAndPresses()
    {
        CGridCtrl grid;
        SetUpGrid(grid, 6, 4);
        // Column 1 is exactly wide enough for its text and the margins; column 2 one pixel short.
        grid.SetCellText(2, 1, "Hot Bird 13E");
        grid.SetColumnWidthAt(1, grid.fontMetrics().horizontalAdvance(" Hot Bird 13E "));
        grid.SetCellText(2, 2, "Hot Bird 13E");
        grid.SetColumnWidthAt(2, grid.ColumnWidthAt(1) - 1);
        QVERIFY(ShowGrid(grid, QSize(320, 200)));
        Click(grid, 1, 1);
        MoveTo(grid, Centre(grid, 2, 1));
        CCellTipWnd* tip = grid.TitleTip();
        QVERIFY(tip && !tip->isVisible());
        MoveTo(grid, Centre(grid, 2, 2));
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->objectName(), QString("CellTipPopup"));
        QVERIFY(tip->windowFlags() & Qt::ToolTip);
        const QRect placed = tip->geometry();
        MoveTo(grid, Centre(grid, 2, 2) + QPoint(6, 3));
        QCOMPARE(tip->geometry(), placed);
        QTest::keyClick(&grid, Qt::Key_Down);
        QVERIFY(!tip->isVisible());
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 1 }));

        MoveTo(grid, Centre(grid, 2, 2));
        QVERIFY(tip->isVisible());
        QTest::mouseClick(tip, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(!tip->isVisible());
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 2 }));
        MoveTo(grid, Centre(grid, 2, 2));
        MoveTo(grid, Centre(grid, 3, 3));
        QVERIFY(!tip->isVisible());

        CGridCtrl plain;
        plain.SetTitleTips(false);
        QVERIFY(ShowStandardGrid(plain));
        plain.SetCellText(2, 2, "Eutelsat 7 West A");
        MoveTo(plain, Centre(plain, 2, 2));
        QCOMPARE(plain.TitleTip(), nullptr);
        QCOMPARE(plain.findChild<QWidget*>("CellTipPopup"), nullptr);
    }
};

QTEST_MAIN(TestGridClipboard)
#include "test_gridclipboard.moc"
