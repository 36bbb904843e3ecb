#pragma once

// Makes ShowMessageBox (app/messagebox.h) show real message boxes. The box always runs on the
// GUI thread through ExecModal; a worker thread that calls ShowMessageBox waits there until the
// user has answered. Call once, after the QApplication exists.
void InstallGuiMessageBoxHandler();
