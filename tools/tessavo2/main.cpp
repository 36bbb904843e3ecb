#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "base/guimessagebox.h"
#include "base/modaldialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <cstdio>

namespace {

bool EnvFlag(const char* name)
{
    return qEnvironmentVariableIntValue(name) != 0;
}

} // namespace

// TESSAVO2_AUTO_SET=1 presses SET in the start-up port dialog (demos and tests).
// TESSAVO2_SMOKE=1 does that too, reports the main window on standard output and quits.
int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    InstallGuiMessageBoxHandler();
    const bool smoke = EnvFlag("TESSAVO2_SMOKE");
    if (smoke || EnvFlag("TESSAVO2_AUTO_SET")) {
        SetModalHandler([](QDialog& dialog) {
            if (auto* set = dialog.findChild<QAbstractButton*>(QStringLiteral("id1024")))
                set->click();
        });
    }
    CTessavo2App app;
    const bool started = app.InitInstance();
    SetModalHandler(nullptr);
    if (!started)
        return app.ExitCode();
    if (smoke) {
        QTimer::singleShot(0, [&app] {
            const CMainFrame* frame = app.MainFrame();
            std::printf("main window \"%s\" %dx%d %s\n", qPrintable(frame->windowTitle()), frame->width(),
                frame->height(), frame->isVisible() ? "visible" : "hidden");
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
