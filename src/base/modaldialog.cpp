#include "base/modaldialog.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {

ModalHandler& Handler()
{
    static ModalHandler handler;
    return handler;
}

} // namespace

int ExecModal(QDialog& dialog)
{
    if (ModalHandler handler = Handler()) {
        QPointer<QDialog> guard(&dialog);
        QTimer::singleShot(0, &dialog, [guard, handler] {
            if (!guard)
                return;
            handler(*guard);
            if (guard && guard->isVisible())
                guard->reject();
        });
    }
    const int result = dialog.exec();
    // The window system need not hand the keyboard back when a dialog ends; without it the menu
    // shortcuts of the window below would stay dead until a click.
    QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (owner && owner->isVisible())
        owner->activateWindow();
    return result;
}

ModalHandler SetModalHandler(ModalHandler handler)
{
    ModalHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

void AdoptDialog(QWidget& owner, QDialog*& slot, QDialog* dialog)
{
    delete slot;
    slot = dialog;
    if (dialog)
        dialog->setParent(&owner, dialog->windowFlags());
}
