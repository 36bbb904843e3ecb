// The grid under keys and mouse: moving, selecting, editing, the clipboard, drag and drop, title tips.
#include "grid/ccelltipwnd.h"
#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"
#include "gridtesthelpers.h"

#include <QClipboard>
#include <QDrag>
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

struct KeyCase {
    GridPos from;
    Qt::Key key;
    bool shift;
    GridPos to;
};

struct EditCase {
    QString typed;
    Qt::Key key;
    Qt::KeyboardModifiers keys;
    GridPos to;
    QString text;
    bool open, modified;
};

struct HeadingCase {
    int row, column;
    bool shift;
    GridPos current;
    GridBlock selected;
};

// The cells of rows 1 to 5, columns 1 to 3 that no longer hold "r,c", each as "r,c=text".
QString ChangedCells(const CGridCtrl& grid)
{
    QStringList changed;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 3; ++c)
            if (const QString text = grid.CellText(r, c); text != QStringLiteral("%1,%2").arg(r).arg(c))
                changed << QStringLiteral("%1,%2=%3").arg(r).arg(c).arg(text);
    return changed.join(' ');
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

class TestGridEdit : public QObject {
    Q_OBJECT

private:
    static CGridEditBox* EditBox() { return qobject_cast<CGridEditBox*>(QApplication::focusWidget()); }
    static CGridDropList* DropList() { return qobject_cast<CGridDropList*>(QApplication::focusWidget()); }

private slots:
    void keysMoveTheCurrentCell_data()
    {
        QTest::addColumn<KeyCase>("c");
        QTest::newRow("right") << KeyCase { { 1, 1 }, Qt::Key_Right, false, { 1, 2 } };
        QTest::newRow("left into the heading") << KeyCase { { 1, 1 }, Qt::Key_Left, false, { 1, 1 } };
        QTest::newRow("left") << KeyCase { { 2, 3 }, Qt::Key_Left, false, { 2, 2 } };
        QTest::newRow("up into the heading") << KeyCase { { 1, 1 }, Qt::Key_Up, false, { 1, 1 } };
        QTest::newRow("up") << KeyCase { { 3, 1 }, Qt::Key_Up, false, { 2, 1 } };
        QTest::newRow("down") << KeyCase { { 1, 2 }, Qt::Key_Down, false, { 2, 2 } };
        QTest::newRow("down past the last row") << KeyCase { { 5, 2 }, Qt::Key_Down, false, { 5, 2 } };
        QTest::newRow("right past the last column") << KeyCase { { 2, 3 }, Qt::Key_Right, false, { 2, 3 } };
        QTest::newRow("tab") << KeyCase { { 2, 1 }, Qt::Key_Tab, false, { 2, 2 } };
        QTest::newRow("tab at the last cell") << KeyCase { { 5, 3 }, Qt::Key_Tab, false, { 5, 3 } };
        QTest::newRow("shift tab") << KeyCase { { 2, 2 }, Qt::Key_Tab, true, { 2, 1 } };
        QTest::newRow("shift tab at the first cell") << KeyCase { { 1, 1 }, Qt::Key_Tab, true, { 1, 1 } };
        QTest::newRow("page down that cannot scroll") << KeyCase { { 2, 2 }, Qt::Key_PageDown, false, { 5, 2 } };
    }

    void keysMoveTheCurrentCell()
    {
        QFETCH(KeyCase, c);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCurrentCell(c.from.row, c.from.column);
        GridLog log(grid);
        QTest::keyClick(&grid, c.key, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(grid.CurrentCell(), c.to);
        QCOMPARE(log.selChanged, c.to != c.from ? 1 : 0);
        if (c.to != c.from) {
            QCOMPARE(grid.SelectedBlock(), (GridBlock { c.to.row, c.to.column, c.to.row, c.to.column }));
            QCOMPARE(log.notes,
                (std::vector<Note> {
                    { GVN_SELCHANGING, c.from.row, c.from.column }, { GVN_SELCHANGED, c.to.row, c.to.column } }));
        }
    }

    void keysScrollTheCurrentCellIntoView()
    {
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid, 100, 8));
        grid.SetCurrentCell(2, 1);
        // Each key, the cell it makes current, and the scroll positions that matter: -1 any, -2 the end.
        const std::tuple<Qt::Key, bool, GridPos, int, int> steps[]
            = { { Qt::Key_PageDown, false, { 11, 1 }, 180, 0 }, { Qt::Key_PageUp, false, { 2, 1 }, -1, 0 },
                  { Qt::Key_PageUp, false, { 1, 1 }, 0, 0 }, { Qt::Key_End, false, { 99, 1 }, -2, 0 },
                  { Qt::Key_Home, false, { 1, 1 }, 0, 0 }, { Qt::Key_Down, false, { 2, 1 }, 0, 0 },
                  { Qt::Key_Tab, true, { 1, 7 }, 0, -2 }, { Qt::Key_Tab, false, { 2, 1 }, 0, 0 },
                  { Qt::Key_Tab, false, { 2, 2 }, 0, 0 }, { Qt::Key_Tab, false, { 2, 3 }, 0, 0 },
                  { Qt::Key_Tab, false, { 2, 4 }, 0, -1 }, { Qt::Key_Tab, false, { 2, 5 }, 0, -1 } };
        for (const auto& [key, shift, to, vertical, horizontal] : steps) {
            QTest::keyClick(&grid, key, shift ? Qt::ShiftModifier : Qt::NoModifier);
            QCOMPARE(grid.CurrentCell(), to);
            QVERIFY(grid.IsCellShown(to.row, to.column));
            for (const auto& [bar, at] :
                { std::pair { grid.verticalScrollBar(), vertical }, { grid.horizontalScrollBar(), horizontal } })
                QVERIFY(at == -1 || bar->value() == (at == -2 ? bar->maximum() : at));
        }
    }

    void typingAcrossAPartlyHiddenLastColumnKeepsTheRowAndFirstColumnInView()
    {
        CGridCtrl grid;
        SetUpGrid(grid, 30, 5);
        grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        grid.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        QVERIFY(ShowGrid(grid, QSize(300, 200)));
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
        QVERIFY(log.notes.empty() && !EditBox());
        // Where the owner set a text for Enter, it is written even into a read-only cell, unmarked.
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(grid.CellText(2, 2), QString("5150"));
        QCOMPARE(log.notes, (std::vector<Note> { { GVN_BEGINLABELEDIT, 2, 2 }, { GVN_ENDLABELEDIT, 2, 2 } }));
        QVERIFY(!grid.IsModified() && !(grid.CellState(2, 2) & GVIS_MODIFIED));
        QCOMPARE(EditBox(), nullptr);

        // Alt combinations are mnemonics.
        grid.SetCurrentCell(2, 3);
        QTest::keyClick(&grid, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(EditBox(), nullptr);
        QTest::keyClick(&grid, Qt::Key_Delete);
        QCOMPARE(grid.CellText(2, 3), QString());
        QVERIFY(grid.IsModified() && (grid.CellState(2, 3) & GVIS_MODIFIED));
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
        Click(grid, c.row, c.column, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(grid.CurrentCell(), c.current);
        QCOMPARE(grid.SelectedBlock(), c.selected);
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
            QCOMPARE(grid.SelectedBlock().minRow, 2);
            QVERIFY(grid.SelectedBlock().maxRow >= grid.CurrentCell().row - 1);
        }
        const int row = grid.CurrentCell().row;
        QTest::qWait(100);
        QCOMPARE(grid.CurrentCell().row, row);
    }

    void theKeyThatEndsAnEdit_data()
    {
        // Typed text starts an edit that arrows end; a click on the current cell starts one they move in.
        QTest::addColumn<EditCase>("c");
        QTest::newRow("typed, Return") << EditCase { "xyz", Qt::Key_Return, {}, { 2, 2 }, "xyz", false, true };
        QTest::newRow("typed, Escape") << EditCase { "zz", Qt::Key_Escape, {}, { 2, 2 }, "2,2", false, false };
        QTest::newRow("typed (, a character") << EditCase { "(", Qt::Key_Return, {}, { 2, 2 }, "(", false, true };
        QTest::newRow("typed, Down") << EditCase { "q", Qt::Key_Down, {}, { 3, 2 }, "q", true, true };
        QTest::newRow("typed, Tab") << EditCase { "q", Qt::Key_Tab, {}, { 2, 3 }, "q", true, true };
        QTest::newRow("typed, Shift+Tab")
            << EditCase { "q", Qt::Key_Tab, Qt::ShiftModifier, { 2, 1 }, "q", true, true };
        QTest::newRow("clicked, Down") << EditCase { "", Qt::Key_Down, {}, { 2, 2 }, "2,2", true, false };
        QTest::newRow("clicked, Ctrl+Down")
            << EditCase { "", Qt::Key_Down, Qt::ControlModifier, { 3, 2 }, "2,2", true, false };
    }

    void theKeyThatEndsAnEdit()
    {
        QFETCH(EditCase, c);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        Click(grid, 2, 2);
        QCOMPARE(EditBox(), nullptr);
        GridLog log(grid);
        if (c.typed.isEmpty())
            Click(grid, 2, 2);
        for (const QChar ch : c.typed)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        CGridEditBox* box = EditBox();
        QVERIFY(box && box->hasSelectedText() == false);
        QTest::keyClick(box, c.key, c.keys);
        QCOMPARE(grid.CurrentCell(), c.to);
        QCOMPARE(grid.CellText(2, 2), c.text);
        QCOMPARE(std::pair(grid.IsModified(), bool(grid.CellState(2, 2) & GVIS_MODIFIED)),
            std::pair(c.modified, c.modified));
        const bool moved = c.to != GridPos { 2, 2 };
        QCOMPARE(log.Count(GVN_BEGINLABELEDIT), moved ? 2 : 1);
        QCOMPARE(log.Count(GVN_ENDLABELEDIT), c.open && !moved ? 0 : 1);
        QCOMPARE(QApplication::focusWidget(), c.open ? static_cast<QWidget*>(EditBox()) : &grid);
        // The next cell's edit starts with all its text selected.
        if (moved)
            QCOMPARE(EditBox()->selectedText(), grid.CellText(c.to.row, c.to.column));
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

        // An edit whose cell was removed meanwhile changes nothing.
        grid.MarkModified(false);
        grid.SetCurrentCell(5, 2);
        QTest::keyClick(&grid, Qt::Key_N);
        grid.SetRows(4);
        QTest::keyClick(EditBox(), Qt::Key_Return);
        QVERIFY(!grid.IsModified());
    }

    void dropListChoosesTheMatchingStringOrTakesTypedText()
    {
        ListGrid grid;
        SetUpGrid(grid, 6, 4);
        grid.SetCellText(2, 3, "HOR.");
        grid.SetCellText(3, 3, "xyz");
        QVERIFY(ShowGrid(grid));
        Click(grid, 2, 3);
        Click(grid, 2, 3);
        CGridDropList* list = DropList();
        QVERIFY(list);
        QCOMPARE(list->currentIndex(), 1);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentText(), QString("VER."));
        QTest::keyClick(list, Qt::Key_Escape);
        QCOMPARE(grid.CellText(2, 3), QString("HOR."));
        QVERIFY(!grid.IsModified());

        Click(grid, 3, 3);
        Click(grid, 3, 3);
        QVERIFY((list = DropList()));
        QCOMPARE(std::pair(list->currentIndex(), list->currentText()), std::pair(-1, QString("xyz")));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(grid.CellText(3, 3), QString("xyz"));
        QVERIFY(!grid.IsModified());

        QTest::keyClick(&grid, Qt::Key_V);
        QVERIFY((list = DropList()));
        QTest::keyClicks(list, "er");
        QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(grid.CellText(3, 3), QString("ver"));
        QVERIFY(grid.CellState(3, 3) & GVIS_MODIFIED);
        QCOMPARE(grid.CurrentCell(), (GridPos { 4, 3 }));
        QVERIFY(DropList());
    }

    void aliasColumnForMouseEditsOfAThreeColumnGrid()
    {
        ListGrid grid;
        SetUpGrid(grid, 6, 3);
        grid.SetCellText(2, 2, "VER.");
        QVERIFY(ShowGrid(grid));
        // The window system delivers press, release, press, double click, release: one editor opens.
        const QPoint at = Centre(grid, 2, 2);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(grid.askedColumns, std::vector<int> { 5 });
        QCOMPARE(grid.CurrentCell(), (GridPos { 2, 2 }));
        QVERIFY(DropList());
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
        QVERIFY(ShowStandardGrid(plain, 6, 3));
        Click(plain, 2, 2);
        Click(plain, 2, 2);
        QCOMPARE(EditBox()->Column(), 2);
    }

    void headingClicksSortInListMode()
    {
        CGridCtrl grid;
        SetUpGrid(grid, 6, 3);
        grid.SetListMode(true);
        QVERIFY(ShowGrid(grid));
        Click(grid, 0, 1);
        QVERIFY(grid.SortColumn() == 1 && grid.SortAscending());
        Click(grid, 0, 1);
        QVERIFY(!grid.SortAscending() && grid.CellText(1, 1) == "5,1");
        QCOMPARE(grid.CellText(0, 1), QString("0,1"));

        Click(grid, 3, 2);
        QCOMPARE(grid.SelectedBlock(), (GridBlock { 3, 1, 3, 2 }));
    }

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
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("2,1\t \t2,3\n3,1\t3,2\t3,3"));
    }

    void pasteSplitsFieldsAndDropsWhatFallsOutside_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<GridPos>("at");
        QTest::addColumn<QString>("changed");
        QTest::newRow("a comma and an empty line") << "a,b\n\nc" << GridPos { 2, 1 } << "2,1=a 2,2=b 3,1= 4,1=c";
        QTest::newRow("two tabs count as one") << "a\t\tb" << GridPos { 2, 1 } << "2,1=a 2,2=b";
        QTest::newRow("past the end") << "a\tb\tc\nd\te\tf\ng" << GridPos { 4, 2 } << "4,2=a 4,3=b 5,2=d";
        QTest::newRow("CR LF lines, blanks") << " 1 \t2\r\n3\t4\r\n" << GridPos { 2, 2 } << "2,2=1 2,3=2 3,2=3 3,3=4";
        QTest::newRow("a NUL ends the text") << QString("x\ty") + QChar(0) + "z" << GridPos { 3, 1 } << "3,1=x 3,2=y";
        QTest::newRow("a read-only target takes nothing") << "a" << GridPos { 5, 3 } << "";
    }

    void pasteSplitsFieldsAndDropsWhatFallsOutside()
    {
        QFETCH(QString, text);
        QFETCH(GridPos, at);
        QFETCH(QString, changed);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetCellState(5, 3, GVIS_READONLY);
        Click(grid, at.row, at.column);
        QGuiApplication::clipboard()->setText(text);
        QVERIFY(grid.CanPaste() != (at == GridPos { 5, 3 }));
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(ChangedCells(grid), changed);
        QCOMPARE(grid.IsModified(), !changed.isEmpty());
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
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        QCOMPARE(ChangedCells(grid), QString());

        grid.SetEditable(true);
        GridLog log(grid);
        QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("1,1\t1,2"));
        QCOMPARE(ChangedCells(grid), QString("1,1="));
        QCOMPARE(log.notes, (std::vector<Note> { { GVN_BEGINLABELEDIT, 1, 1 }, { GVN_ENDLABELEDIT, 1, 1 } }));
    }

    void dropsCopyWithCtrlMoveOtherwiseAndNeverOntoReadOnlyCells_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<Qt::DropAction>("action");
        QTest::addColumn<QString>("changed");
        const QString source = "1,1=A 1,2=B 2,1=C 2,2=D", copy = " 4,2=A 4,3=B 5,2=C 5,3=D";
        QTest::newRow("move") << Qt::KeyboardModifiers() << Qt::MoveAction << "1,1= 1,2= 2,1= 2,2=" + copy;
        QTest::newRow("copy with ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier) << Qt::CopyAction
                                        << source + copy;
        QTest::newRow("read-only target") << Qt::KeyboardModifiers() << Qt::IgnoreAction << source;
    }

    void dropsCopyWithCtrlMoveOtherwiseAndNeverOntoReadOnlyCells()
    {
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(Qt::DropAction, action);
        QFETCH(QString, changed);
        CGridCtrl grid;
        QVERIFY(ShowStandardGrid(grid));
        grid.SetDragAndDrop(true);
        grid.SetCellState(4, 2, action == Qt::IgnoreAction ? std::uint32_t(GVIS_READONLY) : 0u);
        for (const auto& [r, c, text] : { std::tuple { 1, 1, "A" }, { 1, 2, "B" }, { 2, 1, "C" }, { 2, 2, "D" } })
            grid.SetCellText(r, c, text);
        Click(grid, 1, 1);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        GridLog log(grid);
        QSignalSpy edited(&grid, &CGridCtrl::cellsEdited);
        bool framed = false;
        QCOMPARE(DragAndDrop(grid, { 1, 1 }, { 4, 2 }, keys, framed), action);
        QCOMPARE(log.Count(GVN_BEGINDRAG), 1);
        // A move is one action of the user: the drop and the cleared source are reported together.
        QCOMPARE(edited.count(), action == Qt::IgnoreAction ? 0 : 1);
        QCOMPARE(framed, action != Qt::IgnoreAction);
        QVERIFY(!(grid.CellState(4, 2) & GVIS_DROPHILITED));
        QCOMPARE(ChangedCells(grid), changed);
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
    }
};

QTEST_MAIN(TestGridEdit)
#include "test_gridedit.moc"
