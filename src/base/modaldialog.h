#pragma once

#include <functional>

class QDialog;

// Every modal dialog of the desktop tool runs through ExecModal, so tests can answer dialogs
// without ever blocking. A test handler is called once the dialog's own loop is running (the
// dialog is shown and initialised); it should end the dialog (click a button, accept, reject).
// A dialog the handler leaves open is rejected, so a forgetful test cannot hang.
using ModalHandler = std::function<void(QDialog& dialog)>;

// Returns the dialog's result (QDialog::Accepted, QDialog::Rejected or the value given to done()).
int ExecModal(QDialog& dialog);

// Installs a handler and returns the one it replaces; a null handler restores plain exec().
ModalHandler SetModalHandler(ModalHandler handler);

class QWidget;

// Makes owner hold dialog in slot, deleting the dialog held before. Used where a window keeps a
// dialog that other work supplies.
void AdoptDialog(QWidget& owner, QDialog*& slot, QDialog* dialog);
