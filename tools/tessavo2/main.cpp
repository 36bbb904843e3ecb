#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "base/csignalpipe.h"
#include "base/guimessagebox.h"
#include "base/modaldialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

namespace {

bool EnvFlag(const char* name)
{
    return qEnvironmentVariableIntValue(name) != 0;
}

// --help and --version are answered before any window system is asked for, so they work on a
// machine without a display (and for the manual page).
bool AsksForInformation(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--version")
            return true;
    }
    return false;
}

int ShowInformation(int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Downloads code, loader and preset images into a satellite receiver over a serial line, edits its "
        "preset data and builds transponder lists. The \"Port Setting\" dialog opens first; COMn is the "
        "device in TESSAVO2_COMn, else the device chosen for it in that dialog, else /dev/ttyS<n-1>."));
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    parser.addOptions({ help, version });
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Options of the window system (-platform and the like) are not ours to refuse here.
    (void)parser.parse(args);
    if (parser.isSet(version)) {
        std::printf("tessavo2 %s\n", TESSAVO2_VERSION);
        return 0;
    }
    QString text = parser.helpText();
    text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: tessavo2"));
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

} // namespace

// TESSAVO2_AUTO_SET=1 presses SET in the start-up port dialog (demos and tests).
// TESSAVO2_SMOKE=1 does that too, reports the main window on standard output and quits.
int main(int argc, char** argv)
{
    if (AsksForInformation(argc, argv))
        return ShowInformation(argc, argv);
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
    // SIGINT and SIGTERM close the window as File > Exit does: a running transfer ends, its worker is
    // joined and the port closed, even while a message box is shown.
    int signalled = 0;
    CSignalPipe signalPipe;
    QObject::connect(&signalPipe, &CSignalPipe::Received, [&app, &signalled](int signal) {
        signalled = signal;
        app.MainFrame()->close();
        QApplication::quit();
    });
    const int code = QApplication::exec();
    return signalled != 0 ? 128 + signalled : code;
}
