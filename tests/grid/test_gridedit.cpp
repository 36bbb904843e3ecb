#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"
#include "gridtesthelpers.h"

#include <QScrollBar>
#include <QSignalSpy>

namespace {

// Offers a drop list for column 3 (and for the aliased column 5) and remembers what it was asked for.
class ListGrid : public CGridCtrl {
public:
    void MakeInPlaceEditor(const QRect& rect, int style, int controlId, int row, int column, const QString& text,
        unsigned startKey) override
    {
        askedColumns.push_back(column);
        if (column == 3 || column == kAliasColumn)
            new CGridDropList(this, rect, CGridDropList::kDropDown, controlId, row, column == 3 ? 3 : 2,
                { "AUTO", "HOR.", "VER." }, text, startKey);
        else
            CGridCtrl::MakeInPlaceEditor(rect, style, controlId, row, column, text, startKey);
    }

    std::vector<int> askedColumns;
};

CGridEditBox* EditBox()
{
    return qobject_cast<CGridEditBox*>(QApplication::focusWidget());
}
CGridDropList* DropList()
{
    return qobject_cast<CGridDropList*>(QApplication::focusWidget());
}

struct KeyCase {
    int row, column;
    Qt::Key key;
    bool shift;
    int toRow, toColumn;
};

struct HeadingCase {
    int row, column;
    bool shift;
    GridPos current;
    GridBlock selected;
};

} // namespace

class TestGridEdit : public QObject {
    Q_OBJECT

private slots:
    void keysMoveTheCurrentCell_data()
    {
        QTest::addColumn<KeyCase>("c");
        QTest::newRow("right") << KeyCase { 1, 1, Qt::Key_Right, false, 1, 2 };
        QTest::newRow("left into the heading") << KeyCase { 1, 1, Qt::Key_Left, false, 1, 1 };
        QTest::newRow("left") << KeyCase { 2, 3, Qt::Key_Left, false, 2, 2 };
        QTest::newRow("up into the heading") << KeyCase { 1, 1, Qt::Key_Up, false, 1, 1 };
        QTest::newRow("up") << KeyCase { 3, 1, Qt::Key_Up, false, 2, 1 };
        QTest::newRow("down") << KeyCase { 1, 2, Qt::Key_Down, false, 2, 2 };
        QTest::newRow("down past the last row") << KeyCase { 5, 2, Qt::Key_Down, false, 5, 2 };
        QTest::newRow("right past the last column") << KeyCase { 2, 3, Qt::Key_Right, false, 2, 3 };
        QTest::newRow("tab") << KeyCase { 2, 1, Qt::Key_Tab, false, 2, 2 };
        QTest::newRow("tab at the row end") << KeyCase { 2, 3, Qt::Key_Tab, false, 3, 1 };
        QTest::newRow("tab at the last cell") << KeyCase { 5, 3, Qt::Key_Tab, false, 5, 3 };
        QTest::newRow("shift tab") << KeyCase { 2, 2, Qt::Key_Tab, true, 2, 1 };
        QTest::newRow("shift tab at the row start") << KeyCase { 3, 1, Qt::Key_Tab, true, 2, 3 };
        QTest::newRow("shift tab at the first cell") << KeyCase { 1, 1, Qt::Key_Tab, true, 1, 1 };
        QTest::newRow("home") << KeyCase { 4, 2, Qt::Key_Home, false, 1, 2 };
        QTest::newRow("end") << KeyCase { 2, 2, Qt::Key_End, false, 5, 2 };
        QTest::newRow("page down that cannot scroll") << KeyCase { 2, 2, Qt::Key_PageDown, false, 5, 2 };
        QTest::newRow("page up that cannot scroll") << KeyCase { 4, 2, Qt::Key_PageUp, false, 1, 2 };
    }

    void keysMoveTheCurrentCell()
    {
        QFETCH(KeyCase, c);
        const auto [row, column, key, shift, toRow, toColumn] = c;
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCurrentCell(row, column);
        GridLog log(grid);
        QTest::keyClick(&grid, key, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(grid.CurrentCell(), (GridPos { toRow, toColumn }));
        const bool moved = toRow != row || toColumn != column;
        QCOMPARE(log.selChanged, moved ? 1 : 0);
        if (moved) {
            QCOMPARE(grid.SelectedBlock(), (GridBlock { toRow, toColumn, toRow, toColumn }));
            QCOMPARE(log.notes,
                (std::vector<Note> { { GVN_SELCHANGING, row, column }, { GVN_SELCHANGED, toRow, toColumn } }));
        }
        QCOMPARE(QApplication::focusWidget(), &grid);
    }

    void keysScrollTheCurrentCellIntoView()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 100, 8, { 240, 200 }));
        QScrollBar* bar = grid.horizontalScrollBar();
        grid.SetCurrentCell(2, 1);
        QTest::keyClick(&grid, Qt::Key_PageDown);
        QCOMPARE(grid.verticalScrollBar()->value(), 180);
        QCOMPARE(grid.CurrentCell(), (GridPos { 11, 1 }));
        QTest::keyClick(&grid, Qt::Key_PageUp);
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 1 }));
        QTest::keyClick(&grid, Qt::Key_PageUp);
        QCOMPARE(grid.CurrentCell(), (GridPos { 1, 1 }));
        QTest::keyClick(&grid, Qt::Key_End);
        QCOMPARE(grid.CurrentCell(), (GridPos { 99, 1 }));
        QVERIFY(grid.IsCellShown(99, 1));
        QTest::keyClick(&grid, Qt::Key_Home);
        QCOMPARE(grid.CurrentCell(), (GridPos { 1, 1 }));
        QCOMPARE(grid.verticalScrollBar()->value(), 0);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.CurrentCell(), (GridPos { 13, 1 }));
        QVERIFY(grid.IsCellShown(13, 1));
        QVERIFY(grid.verticalScrollBar()->value() > 0);

        QTest::keyClick(&grid, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(grid.CurrentCell(), (GridPos { 12, 7 }));
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(grid.IsCellShown(12, 7));
        QTest::keyClick(&grid, Qt::Key_Tab);
        QCOMPARE(grid.CurrentCell(), (GridPos { 13, 1 }));
        QCOMPARE(bar->value(), 0);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(&grid, Qt::Key_Tab);
        QCOMPARE(grid.CurrentCell(), (GridPos { 13, 5 }));
        QVERIFY(grid.IsCellShown(13, 5));
        QVERIFY(bar->value() > 0);
    }

    void typingAcrossAPartlyHiddenLastColumnKeepsTheRowAndFirstColumnInView()
    {
        CGridCtrl grid;
        SetUpGrid(grid, 30, 5);
        grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        grid.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        QVERIFY(ShowGrid(grid, QSize(300, 200)));
        QVERIFY(grid.TotalWidth() > grid.viewport()->width());
        grid.SetCurrentCell(1, 1);
        for (const Qt::Key key : { Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_1, Qt::Key_Tab }) {
            QTest::keyClick(QApplication::focusWidget(), key);
            // Scrolling column 1 away for the cut end of column 4 would leave an empty band.
            QCOMPARE(grid.TopLeftScrolledCell(), (GridPos { 1, 1 }));
        }
        QCOMPARE(grid.CellText(1, 4), QString("1"));
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 1 }));
    }

    void shiftExtendsFromTheAnchorAndCtrlASelectsAll()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        GridLog log(grid);
        // Without a current cell keys do nothing.
        for (const Qt::Key key : { Qt::Key_Down, Qt::Key_Return, Qt::Key_X })
            QTest::keyClick(&grid, key);
        QCOMPARE(grid.CurrentCell(), (GridPos { -1, -1 }));
        QVERIFY(log.notes.empty());
        QCOMPARE(EditBox(), nullptr);
        // A current cell set by the owner, not by a click, anchors the Shift selection too.
        grid.SetCurrentCell(2, 2);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 2, 2, 3, 3 }));
        QCOMPARE(grid.SelectedCount(), 4);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 4, 3, 4, 3 }));
        QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(grid.SelectedCount(), 15);
        QCOMPARE(EditBox(), nullptr);
    }

    void enterAndDeleteOnReadOnlyAndEditableCells()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetEnterText(2, "5150");
        grid.SetCellState(2, 2, GVIS_READONLY);
        grid.SetCurrentCell(2, 2);
        GridLog log(grid);
        QTest::keyClick(&grid, Qt::Key_Delete);
        QTest::keyClick(&grid, Qt::Key_A);
        QCOMPARE(grid.CellText(2, 2), QString("2,2"));
        QVERIFY(log.notes.empty());
        QCOMPARE(EditBox(), nullptr);
        // Where the owner set a text for Enter, it is written even into a read-only cell, unmarked.
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(grid.CellText(2, 2), QString("5150"));
        QCOMPARE(log.notes, (std::vector<Note> { { GVN_BEGINLABELEDIT, 2, 2 }, { GVN_ENDLABELEDIT, 2, 2 } }));
        QVERIFY(!grid.IsModified() && !(grid.CellState(2, 2) & GVIS_MODIFIED));
        QCOMPARE(EditBox(), nullptr);

        grid.SetCurrentCell(2, 3);
        log.Clear();
        QTest::keyClick(&grid, Qt::Key_Delete);
        QCOMPARE(grid.CellText(2, 3), QString());
        QVERIFY(grid.IsModified());
        QVERIFY(grid.CellState(2, 3) & GVIS_MODIFIED);
        QCOMPARE(log.notes, (std::vector<Note> { { GVN_BEGINLABELEDIT, 2, 3 }, { GVN_ENDLABELEDIT, 2, 3 } }));
        QCOMPARE(log.selChanged, 0);
        // Elsewhere Enter edits the cell.
        QTest::keyClick(&grid, Qt::Key_Return);
        QVERIFY(EditBox());
        QCOMPARE(EditBox()->Column(), 3);
    }

    void pressesOnHeadings_data()
    {
        QTest::addColumn<HeadingCase>("c");
        QTest::newRow("column heading") << HeadingCase { 0, 3, false, { 1, 3 }, { 1, 3, 5, 3 } };
        QTest::newRow("column heading with shift") << HeadingCase { 0, 3, true, { 1, 3 }, { 1, 1, 5, 3 } };
        QTest::newRow("row heading") << HeadingCase { 4, 0, false, { 4, 1 }, { 4, 1, 4, 3 } };
        QTest::newRow("row heading with shift") << HeadingCase { 4, 0, true, { 4, 1 }, { 2, 1, 4, 3 } };
        QTest::newRow("corner") << HeadingCase { 0, 0, false, { 1, 1 }, { 1, 1, 5, 3 } };
    }

    void pressesOnHeadings()
    {
        QFETCH(HeadingCase, c);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        Click(grid, 2, 1);
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 1 }));
        Click(grid, c.row, c.column, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(grid.CurrentCell(), c.current);
        QCOMPARE(grid.SelectedBlock(), c.selected);
        QCOMPARE(grid.SelectedCount(),
            (c.selected.maxRow - c.selected.minRow + 1) * (c.selected.maxColumn - c.selected.minColumn + 1));
    }

    void draggingSelectsAndCtrlKeepsTheEarlierSelection()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        QSignalSpy clicks(&grid, &CGridCtrl::commandNotify);
        GridLog log(grid);
        QWidget* view = grid.viewport();
        QTest::mousePress(view, Qt::LeftButton, {}, Centre(grid, 2, 1));
        MoveTo(grid, Centre(grid, 3, 2), Qt::LeftButton);
        QCOMPARE(log.selChanged, 0);
        QTest::mouseRelease(view, Qt::LeftButton, {}, Centre(grid, 3, 2));
        QCOMPARE(log.selChanged, 1);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 2, 1, 3, 2 }));
        QCOMPARE(grid.CurrentCell(), (GridPos { 3, 2 }));
        QTRY_COMPARE(clicks.count(), 1);

        Click(grid, 5, 3, Qt::ControlModifier);
        QCOMPARE(grid.SelectedCount(), 5);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 2, 1, 5, 3 }));
        Click(grid, 1, 3);
        QCOMPARE(grid.SelectedCount(), 1);
    }

    void autoScrollFollowsTheMouseBelowTheGridUntilTheDragEnds_data()
    {
        QTest::addColumn<bool>("otherWindow");
        QTest::newRow("released") << false;
        QTest::newRow("another window takes over") << true;
    }

    void autoScrollFollowsTheMouseBelowTheGridUntilTheDragEnds()
    {
        QFETCH(bool, otherWindow);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 100, 3, { 180, 200 }));
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, Centre(grid, 2, 1));
        MoveTo(grid, QPoint(100, 260), Qt::LeftButton);
        QTRY_VERIFY(grid.CurrentCell().row >= 15);
        QWidget other;
        if (otherWindow) {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        } else {
            QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(100, 260));
            QVERIFY(grid.IsCellShown(grid.CurrentCell().row, 1));
            QCOMPARE(grid.SelectedBlock().minRow, 2);
            QVERIFY(grid.SelectedBlock().maxRow >= grid.CurrentCell().row - 1);
        }
        const int row = grid.CurrentCell().row;
        QTest::qWait(100);
        QCOMPARE(grid.CurrentCell().row, row);
    }

    void typingStartsAnEditThatReplacesTheTextAndArrowsContinueIt()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCurrentCell(2, 2);
        // Alt combinations are mnemonics; "(" is a character, not a navigation key.
        QTest::keyClick(&grid, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(EditBox(), nullptr);
        QTest::keyClick(&grid, '(');
        QCOMPARE(EditBox()->text(), QString("("));
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        GridLog log(grid);
        QTest::keyClick(&grid, Qt::Key_X, Qt::NoModifier);
        CGridEditBox* box = EditBox();
        QVERIFY(box);
        QCOMPARE(box->text(), QString("x"));
        QVERIFY(box->ExitsOnArrows());
        QCOMPARE(log.notes, (std::vector<Note> { { GVN_BEGINLABELEDIT, 2, 2 } }));
        QTest::keyClicks(box, "yz");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(grid.CellText(2, 2), QString("xyz"));
        QVERIFY(grid.IsModified());
        QVERIFY(grid.CellState(2, 2) & GVIS_MODIFIED);
        QCOMPARE(log.notes.back(), (Note { GVN_ENDLABELEDIT, 2, 2 }));
        QCOMPARE(QApplication::focusWidget(), &grid);
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 2 }));

        // An arrow ends a typed edit and opens the next cell's edit with all its text selected.
        log.Clear();
        QTest::keyClick(&grid, Qt::Key_Q);
        QTest::keyClick(EditBox(), Qt::Key_Down);
        QCOMPARE(grid.CellText(2, 2), QString("q"));
        QCOMPARE(grid.CurrentCell(), (GridPos { 3, 2 }));
        QCOMPARE(log.selChanged, 1);
        CGridEditBox* next = EditBox();
        QVERIFY(next);
        QCOMPARE(next->Row(), 3);
        QCOMPARE(next->selectedText(), QString("3,2"));
        QTest::keyClick(next, Qt::Key_Tab);
        QCOMPARE(grid.CurrentCell(), (GridPos { 3, 3 }));
        QCOMPARE(EditBox()->selectedText(), QString("3,3"));
        QTest::keyClick(EditBox(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(grid.CurrentCell(), (GridPos { 3, 2 }));
        QVERIFY(EditBox());
        QCOMPARE(grid.CellText(3, 2), QString("3,2"));
        QCOMPARE(grid.CellText(3, 3), QString("3,3"));
        QVERIFY(!(grid.CellState(3, 3) & GVIS_MODIFIED));
    }

    void clickOnTheCurrentCellEditsAndUnchangedEditsMarkNothing()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        Click(grid, 2, 2);
        QCOMPARE(EditBox(), nullptr);
        GridLog log(grid);
        Click(grid, 2, 2);
        QCOMPARE(log.selChanged, 0);
        CGridEditBox* box = EditBox();
        QVERIFY(box);
        QVERIFY(!box->ExitsOnArrows());
        QVERIFY(!box->hasSelectedText());
        QCOMPARE(box->cursorPosition(), 3);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(EditBox(), box);
        QTest::keyClick(box, Qt::Key_Left);
        QCOMPARE(box->cursorPosition(), 2);
        QTest::keyClick(box, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(grid.CurrentCell(), (GridPos { 3, 2 }));
        QVERIFY(EditBox() && EditBox() != box);
        QCOMPARE(EditBox()->selectedText(), QString("3,2"));

        // Unchanged commits and an escaped edit mark nothing modified.
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(grid.CellText(2, 2), QString("2,2"));
        QCOMPARE(grid.CellText(3, 2), QString("3,2"));
        QVERIFY(!(grid.CellState(2, 2) & GVIS_MODIFIED) && !(grid.CellState(3, 2) & GVIS_MODIFIED));
        QTest::keyClick(&grid, Qt::Key_Z);
        QTest::keyClicks(EditBox(), "zz");
        QTest::keyClick(EditBox(), Qt::Key_Escape);
        QCOMPARE(grid.CellText(3, 2), QString("3,2"));
        QVERIFY(!grid.IsModified());
        QCOMPARE(log.Count(GVN_ENDLABELEDIT), 3);
    }

    void theBoxGrowsToTheGridEdgeAndAPressElsewhereCommits()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCurrentCell(2, 1);
        QTest::keyClick(&grid, Qt::Key_W);
        CGridEditBox* box = EditBox();
        QCOMPARE(box->width(), 60);
        QTest::keyClicks(box, QString(40, 'w'));
        QCOMPARE(box->geometry().right(), 239);
        Click(grid, 4, 1);
        QCOMPARE(grid.CellText(2, 1), QString(41, 'w'));
        QCOMPARE(grid.CurrentCell(), (GridPos { 4, 1 }));
        QCOMPARE(EditBox(), nullptr);

        // An edit whose cell was removed meanwhile changes nothing.
        grid.MarkModified(false);
        grid.SetCurrentCell(5, 2);
        QTest::keyClick(&grid, Qt::Key_N);
        grid.SetRows(4);
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QVERIFY(!grid.IsModified());
        QCOMPARE(grid.GetRows(), 4);
    }

    void dropListChoosesTheMatchingStringOrTakesTypedText()
    {
        ListGrid grid;
        SetUpGrid(grid, 6, 4);
        grid.SetCellText(2, 3, "HOR.");
        grid.SetCellText(3, 3, "xyz");
        QVERIFY(ShowGrid(grid, QSize(240, 200)));
        Click(grid, 2, 3);
        Click(grid, 2, 3);
        CGridDropList* list = DropList();
        QVERIFY(list);
        QCOMPARE(list->currentIndex(), 1);
        QCOMPARE(list->currentText(), QString("HOR."));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentText(), QString("VER."));
        QTest::keyClick(list, Qt::Key_Escape);
        QCOMPARE(grid.CellText(2, 3), QString("HOR."));
        QVERIFY(!grid.IsModified());

        Click(grid, 3, 3);
        Click(grid, 3, 3);
        list = DropList();
        QVERIFY(list);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QString("xyz"));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(grid.CellText(3, 3), QString("xyz"));
        QVERIFY(!grid.IsModified());

        QTest::keyClick(&grid, Qt::Key_V);
        list = DropList();
        QVERIFY(list);
        QCOMPARE(list->currentText(), QString("v"));
        QTest::keyClicks(list, "er");
        QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(grid.CellText(3, 3), QString("ver"));
        QVERIFY(grid.CellState(3, 3) & GVIS_MODIFIED);
        QCOMPARE(grid.CurrentCell(), (GridPos { 4, 3 }));
        QVERIFY(DropList());
        QTest::keyClick(DropList(), Qt::Key_Return);
    }

    void aliasColumnForMouseEditsOfAThreeColumnGrid()
    {
        ListGrid grid;
        SetUpGrid(grid, 6, 3);
        grid.SetCellText(2, 2, "VER.");
        QVERIFY(ShowGrid(grid, QSize(240, 200)));
        GridLog log(grid);
        // The window system delivers press, release, press, double click, release: one editor opens.
        const QPoint at = Centre(grid, 2, 2);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(grid.askedColumns, std::vector<int> { 5 });
        QCOMPARE(log.notes.back(), (Note { GVN_BEGINLABELEDIT, 2, 2 }));
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 2 }));
        QVERIFY(DropList());
        QCOMPARE(DropList()->Row(), 2);
        QCOMPARE(DropList()->currentText(), QString("VER."));
        QTest::keyClick(DropList(), Qt::Key_Up);
        QTest::keyClick(DropList(), Qt::Key_Return);
        QCOMPARE(grid.CellText(2, 2), QString("HOR."));

        QTest::keyClick(&grid, Qt::Key_K);
        QCOMPARE(grid.askedColumns, (std::vector<int> { 5, 2 }));
        QVERIFY(EditBox());
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QCOMPARE(grid.CellText(2, 2), QString("k"));

        // Without a derived grid to take it, the aliased column is edited as the cell it stands for.
        CGridCtrl plain;
        QVERIFY(ShowStandardGrid(plain, 6, 3, { 240, 200 }));
        Click(plain, 2, 2);
        Click(plain, 2, 2);
        QCOMPARE(EditBox()->Column(), 2);
    }

    void headingClicksSortInListMode()
    {
        CGridCtrl grid;
        SetUpGrid(grid, 6, 3);
        grid.SetListMode(true);
        QVERIFY(ShowGrid(grid, QSize(240, 200)));
        Click(grid, 0, 1);
        QCOMPARE(grid.SortColumn(), 1);
        QVERIFY(grid.SortAscending());
        QCOMPARE(grid.CellText(1, 1), QString("1,1"));
        Click(grid, 0, 1);
        QVERIFY(!grid.SortAscending());
        QCOMPARE(grid.CellText(1, 1), QString("5,1"));
        QCOMPARE(grid.CellText(1, 2), QString("5,2"));
        QCOMPARE(grid.CellText(0, 1), QString("0,1"));

        Click(grid, 3, 2);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 3, 1, 3, 2 }));
    }
};

QTEST_MAIN(TestGridEdit)
#include "test_gridedit.moc"
