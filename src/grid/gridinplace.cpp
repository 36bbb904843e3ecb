#include "grid/gridinplace.h"

#include "grid/cgridctrl.h"

#include <QLineEdit>

unsigned GridNavKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_PageUp:
        return GK_PRIOR;
    case Qt::Key_PageDown:
        return GK_NEXT;
    case Qt::Key_End:
        return GK_END;
    case Qt::Key_Home:
        return GK_HOME;
    case Qt::Key_Left:
        return GK_LEFT;
    case Qt::Key_Up:
        return GK_UP;
    case Qt::Key_Right:
        return GK_RIGHT;
    case Qt::Key_Down:
        return GK_DOWN;
    default:
        return 0;
    }
}

void GrowToText(QLineEdit& box, const CGridCtrl* grid)
{
    const int wanted = box.fontMetrics().horizontalAdvance(box.text() + QStringLiteral("  "));
    if (wanted <= box.width())
        return;
    int right = box.x() + wanted;
    if (grid)
        right = std::min(right, grid->viewport()->width());
    box.resize(std::max(box.width(), right - box.x()), box.height());
}

void CloseInPlaceEditor(QWidget& editor, CGridCtrl* grid, int controlId, int row, int column, const QString& text,
                        unsigned key, Qt::KeyboardModifiers modifiers)
{
    editor.hide();
    editor.deleteLater();
    if (!grid)
        return;
    GridEditNotify notify;
    notify.controlId = controlId;
    notify.item.row = row;
    notify.item.column = column;
    notify.item.mask = GVIF_TEXT | GVIF_PARAM;
    notify.item.text = text;
    notify.item.param = key;
    notify.modifiers = modifiers;
    grid->OnGridEditNotify(notify);
}
