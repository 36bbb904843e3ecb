#include "base/guimessagebox.h"

#include "base/cguicallgate.h"
#include "base/messagebox.h"
#include "base/modaldialog.h"
#include "base/screenfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>

namespace {

constexpr char kKeepClear[] = "keepClearOfMessageBoxes";

// A box as wide as its title needs (a window manager elides what does not fit), placed off the
// widgets its window asks to keep in view.
class CMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        if (const QScreen* shown = screen(); shown && !m_widened) {
            m_widened = true;
            if (auto* grid = qobject_cast<QGridLayout*>(layout()))
                grid->addItem(new QSpacerItem(TitleBarWidth(windowTitle(), *shown), 0), grid->rowCount(), 0, 1,
                    grid->columnCount());
        }
        QMessageBox::showEvent(event);
        if (!event->spontaneous())
            KeepClear();
    }

private:
    void KeepClear()
    {
        // The window that holds the marked widgets, also when the box's parent is a dialog of it.
        QWidget* owner = parentWidget();
        while (owner && owner->window()->parentWidget())
            owner = owner->window()->parentWidget();
        owner = owner ? owner->window() : nullptr;
        if (!owner || !screen())
            return;
        QRect avoid;
        for (QWidget* widget : owner->findChildren<QWidget*>()) {
            if (widget->property(kKeepClear).toBool() && widget->isVisible())
                avoid |= QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        }
        if (avoid.isEmpty())
            return;
        const qreal ratio = screen()->devicePixelRatio();
        const QMargins frame(int(kFrameAllowance.left() / ratio), int(kFrameAllowance.top() / ratio),
            int(kFrameAllowance.right() / ratio), int(kFrameAllowance.bottom() / ratio));
        QRect outer = QRect(QPoint(), size()).marginsAdded(frame);
        outer.moveCenter(owner->geometry().center());
        const QPoint placed = PlaceClearOf(avoid, outer.topLeft(), outer.size(), screen()->availableGeometry());
        move(placed);
    }

    bool m_widened = false;
};

int ShowOnGuiThread(const QString& text, const QString& caption, unsigned type)
{
    CMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (type & kMessageIconMask) {
    case MB_ICONSTOP:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (type & kMessageButtonsMask) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    default:
        break;
    }
    box.setStandardButtons(buttons);
    if ((type & MB_SAVEDISCARD) && (buttons & QMessageBox::No)) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Save"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Discard"));
    }
    ExecModal(box);
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        // Escape or the close box: a box without Cancel answers with its only way out.
        if (buttons & QMessageBox::Cancel)
            return IDCANCEL;
        return (buttons & QMessageBox::No) ? IDNO : IDOK;
    }
}

} // namespace

void InstallGuiMessageBoxHandler()
{
    SetMessageBoxHandler([](const QString& text, const QString& caption, unsigned type) {
        // A box the worker's owner called off (the program is closing) counts as dismissed.
        return CallOnGuiThread([text, caption, type] { return ShowOnGuiThread(text, caption, type); })
            .value_or(int(IDCANCEL));
    });
}

void KeepClearOfMessageBoxes(QWidget* widget, bool keepClear)
{
    widget->setProperty(kKeepClear, keepClear);
}
