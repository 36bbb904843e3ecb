#pragma once

// Makes ShowMessageBox (app/messagebox.h) show real message boxes. The box always runs on the
// GUI thread through ExecModal; a worker thread that calls ShowMessageBox waits there until the
// user has answered. Call once, after the QApplication exists.
void InstallGuiMessageBoxHandler();

class QWidget;

// A message box never covers a widget marked here (the file path a message is about, say): it
// moves up or down from the centre of its window instead, as far as the screen allows.
void KeepClearOfMessageBoxes(QWidget* widget, bool keepClear = true);
