// The editor's commands for the keyboard and the context menu, how it closes, and how it fits its screen.
#include "base/anchors.h"
#include "base/messagebox.h"
#include "preset/cpreseteditdlg.h"
#include "preset/cpresetgrid.h"
#include "preset/presethistory.h"

#include <QAction>
#include <QCloseEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>

namespace {

// What the window manager adds around the editor, and the taskbar of a screen that does not report one.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;
constexpr int kTaskbarHeight = 48;

QAction* AddCommand(QMenu& menu, const QString& text, bool enabled, std::function<void()> run)
{
    QAction* action = menu.addAction(text, std::move(run));
    action->setEnabled(enabled);
    return action;
}

} // namespace

void CPresetEditDlg::CreateCommands()
{
    auto* undo = new QAction(QStringLiteral("&Undo"), this);
    undo->setObjectName(QStringLiteral("undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto* redo = new QAction(QStringLiteral("&Redo"), this);
    redo->setObjectName(QStringLiteral("redo"));
    redo->setShortcuts({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    QUndoStack& stack = UndoStack();
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    // An edit still open is a step of its own first, so Undo takes back what was just typed.
    connect(undo, &QAction::triggered, this, [this] {
        TakeGridEdits();
        UndoStack().undo();
    });
    connect(redo, &QAction::triggered, this, [this] {
        TakeGridEdits();
        UndoStack().redo();
    });
    connect(&stack, &QUndoStack::indexChanged, this, [this] { UpdateChangeMarks(); });

    // Without a mouse the menu comes from Shift+F10 (the Menu key reaches the grid itself).
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    connect(menuKey, &QAction::triggered, this, [this] {
        CPresetGrid& grid = FocusedGrid();
        QRect cell;
        grid.CellRect(grid.CurrentCell().row, grid.CurrentCell().column, cell);
        ShowGridMenu(grid, grid.viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint()));
    });
    addActions({ undo, redo, menuKey });
}

std::unique_ptr<QMenu> CPresetEditDlg::MakeGridMenu(CPresetGrid& grid)
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("gridMenu"));
    menu->addAction(findChild<QAction*>(QStringLiteral("undo")));
    menu->addAction(findChild<QAction*>(QStringLiteral("redo")));
    menu->addSeparator();
    // The grid takes these keys itself; the menu only names them.
    AddCommand(*menu, QStringLiteral("Cu&t\tCtrl+X"), grid.CanCut(), [&grid] { grid.CutCommand(); });
    AddCommand(*menu, QStringLiteral("&Copy\tCtrl+C"), grid.CanCopy(), [&grid] { grid.CopyCommand(); });
    AddCommand(*menu, QStringLiteral("&Paste\tCtrl+V"), grid.CanPaste(), [&grid] { grid.PasteCommand(); });
    AddCommand(*menu, QStringLiteral("&Delete\tDel"), grid.CanCut(), [&grid] { grid.ClearSelectedText(); });
    AddCommand(*menu, QStringLiteral("Select &All\tCtrl+A"), grid.CanSelectAll(), [&grid] { grid.SelectAllCommand(); });
    menu->addSeparator();
    const bool onRow = grid.CurrentCell().row >= grid.GetFixedRows();
    AddCommand(*menu, QStringLiteral("&Insert Row"), onRow, [this, &grid] { InsertRow(grid); });
    AddCommand(*menu, QStringLiteral("Delete &Row"), onRow, [this, &grid] { DeleteRow(grid); });
    return menu;
}

void CPresetEditDlg::ShowGridMenu(CPresetGrid& grid, QPoint at)
{
    grid.setFocus(Qt::PopupFocusReason);
    MakeGridMenu(grid)->exec(at);
}

void CPresetEditDlg::PlaceWithAnchor(QWidget* widget, QRect rect, int edges)
{
    // Rectangles are given in the editor's coordinates; a child of a group box sits relative to it.
    if (QWidget* parent = widget->parentWidget(); parent != this)
        rect.translate(-parent->pos());
    m_anchors->Place(widget, rect, edges);
}

void CPresetEditDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_anchors)
        m_anchors->Apply(size());
}

QSize CPresetEditDlg::FittedSize() const
{
    const QScreen* shown = screen();
    if (!shown)
        return m_baseSize;
    const QRect available = shown->availableGeometry();
    const int taskbar = available == shown->geometry() ? kTaskbarHeight : 0;
    const QSize room(available.width() - kFrameWidth, available.height() - kFrameHeight - taskbar);
    return m_baseSize.boundedTo(room).expandedTo(minimumSize());
}

void CPresetEditDlg::OnExit()
{
    // A copy goes on after the editor closes: its notices still find this window by its title, so a
    // receive that ends meanwhile reaches the tables, and the next opening shows them.
    TakeGridEdits();
    if (IsModified()) {
        if (SettleUnsavedChanges(true))
            accept();
        return;
    }
    if (ShowMessageBox(QStringLiteral("EXIT NOW?"), QString::fromLatin1(kMessageCaption), MB_YESNO | MB_ICONQUESTION)
        == IDYES)
        accept();
}

void CPresetEditDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    OnInitDialog();
    if (!std::exchange(m_bSized, true))
        resize(FittedSize());
    m_satGrid->setFocus(Qt::OtherFocusReason);
}

// However the editor goes away (EXIT, its owner hiding it), the edits its grids hold stay in the tables.
void CPresetEditDlg::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        TakeGridEdits();
    QDialog::hideEvent(event);
}

// A close request from the window's frame or Alt+F4 is an EXIT with its question, never a silent close.
void CPresetEditDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (isVisible())
        OnExit();
}

void CPresetEditDlg::keyPressEvent(QKeyEvent* event)
{
    // During a copy Escape belongs to the copy's cancel; Enter never closes the editor.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !m_bCopyRunning) {
        OnExit();
        return;
    }
    event->ignore();
}
