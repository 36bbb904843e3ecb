#include "app/clockpanes.h"
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "serial/cportsettingdlg.h"
#include "station/cstationwindow.h"
#include "tplist/ctplistcreatedlg.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QtTest>

namespace {

template <typename T = QAbstractButton> T* Control(QWidget& window, int id)
{
    return window.findChild<T*>(QStringLiteral("id%1").arg(id));
}

// Answers every dialog with a click on the button the script picks, and lists the dialogs' titles in
// order; the main window shown at the time adds "+frame".
class DialogScript {
public:
    explicit DialogScript(std::function<int(QDialog&)> button)
    {
        SetModalHandler([this, button](QDialog& dialog) {
            bool frameShown = false;
            for (QWidget* window : QApplication::topLevelWidgets())
                frameShown = frameShown || (qobject_cast<CMainFrame*>(window) && window->isVisible());
            m_seen << dialog.windowTitle() + (frameShown ? "+frame" : "");
            Control(dialog, button(dialog))->click();
        });
    }
    ~DialogScript() { SetModalHandler(nullptr); }
    QStringList m_seen;
};

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void declinedPortSettingsEndTheProgram()
    {
        MessageRecorder messages;
        DialogScript script([](QDialog&) { return 1025; });
        CTessavo2App app;
        QVERIFY(!app.InitInstance());
        QCOMPARE(std::pair(app.ExitCode(), app.MainFrame()), std::pair(1, static_cast<CMainFrame*>(nullptr)));
        QCOMPARE(script.m_seen, QStringList { "Port Setting" });
        QCOMPARE(messages.Texts(), QStringList { "The End" });
        QCOMPARE(messages.Captions(), QStringList { "Tessavo2" });
    }

    // Port settings first, then the window; after the editor or TP List Create ends with EXIT and Yes,
    // Alt+T and Alt+R reach the main window again; the station window is no dialog.
    void startUpAndDialogsHandingTheKeyboardBack()
    {
        MessageRecorder messages;
        DialogScript script([](QDialog& dialog) {
            return qobject_cast<CPortSettingDlg*>(&dialog) ? 1024
                : qobject_cast<CTpListCreateDlg*>(&dialog) ? 1000
                                                           : 1037;
        });
        CTessavo2App app;
        QVERIFY(app.InitInstance());
        CMainFrame& frame = *app.MainFrame();
        QVERIFY(frame.maximumSize() == QSize(650, 540) && !frame.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        for (int id : { 32772, 32773 }) {
            Control<QAction>(frame, id)->trigger();
            QTRY_COMPARE(QApplication::activeWindow(), &frame);
        }
        // Tools > Production Station opens one window beside the main one, and no dialog.
        for (int twice = 0; twice < 2; ++twice)
            frame.findChild<QAction*>("productionStation")->trigger();
        const QList<CStationWindow*> stations = frame.findChildren<CStationWindow*>();
        QVERIFY(stations.size() == 1 && stations[0]->isVisible() && !stations[0]->isModal());
        QCOMPARE(script.m_seen, (QStringList { "Port Setting", "Edit Preset Data+frame", "TP List Create+frame" }));
        QCOMPARE(messages.Texts(), (QStringList { "EXIT NOW?", "EXIT NOW?" }));
    }

    // Each command sits in its menu with its text and status tip; Com Port Setup changes the settings.
    void menusAndPortSetup()
    {
        DialogScript script([](QDialog&) { return 1024; });
        CMainFrame frame;
        frame.Create();
        QStringList menus;
        for (QAction* menu : frame.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList { "File(&F)", "PortSetup(&P)", "Tools(&T)", "Rcu File(&R)", "Help(&H)" }));
        const char* const rows[][4] = {
            { "57665", "File(&F)", "Exit(&X)", "Exit Program" },
            { "32771", "PortSetup(&P)", "Com Port Setup(&C)", "Setup Serial Com Port" },
            { "32772", "Tools(&T)", "Edit Preset Data(&P)", "" },
            { "32773", "Rcu File(&R)", "Rcu File Create(&R)", "" },
            { "57664", "Help(&H)", "Tessavo Info(&A)...", "Program Information " },
            { "59393", "Help(&H)", "Status Bar(&S)", "Toggle Status Bar" },
        };
        for (const auto& row : rows) {
            QAction* action = Control<QAction>(frame, QByteArray(row[0]).toInt());
            auto* menu = qobject_cast<QMenu*>(action->parent());
            QCOMPARE(QStringList({ menu->title(), action->text(), action->statusTip() }),
                QStringList({ row[1], row[2], row[3] }));
        }
        QCOMPARE(frame.statusBar()->findChild<QLabel*>(QStringLiteral("messagePane"))->text(), QStringLiteral("준비"));
        SetModalHandler([](QDialog& dialog) {
            Control(dialog, 1005)->click();
            Control(dialog, 1024)->click();
        });
        Control<QAction>(frame, 32771)->trigger();
        QCOMPARE(frame.GetPortSettings().port, 4);
    }

    // Offscreen no lock state is told, so the panes stay blank; the mapping is tested on given states.
    void lockPanesShowTheLocksThatAreOn()
    {
        DialogScript script([](QDialog&) { return 1024; });
        CMainFrame frame;
        frame.Create();
        const auto panes = [&frame] {
            QString texts;
            for (const char* name : { "paneCAP", "paneNUM", "paneSCRL" })
                texts += frame.statusBar()->findChild<QLabel*>(QLatin1String(name))->text() + '|';
            return texts;
        };
        QCOMPARE(panes(), "|||");
        const std::optional<bool> unknown;
        const std::pair<CLockPanes::Locks, QString> cases[] = { { { true, true, true }, "CAP|NUM|SCRL|" },
            { { true, false, unknown }, "CAP|||" }, { { false, true, false }, "|NUM||" },
            { { unknown, unknown, true }, "||SCRL|" }, { { unknown, unknown, unknown }, "|||" } };
        for (const auto& [state, texts] : cases) {
            frame.statusBar()->findChild<CLockPanes*>()->Show(state);
            QCOMPARE(panes(), texts);
        }
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_mainframe.moc"
