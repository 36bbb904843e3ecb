#include "base/guimessagebox.h"

#include "base/cguicallgate.h"
#include "base/messagebox.h"
#include "base/modaldialog.h"

#include <QApplication>
#include <QMessageBox>

namespace {

int ShowOnGuiThread(const QString& text, const QString& caption, unsigned type)
{
    QMessageBox box(QApplication::activeWindow());
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
