#include "app/clockpanes.h"
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "serial/cportsettingdlg.h"
#include "tplist/ctplistcreatedlg.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QtTest>

namespace {

QAction* Action(QWidget& frame, int id)
{
    return frame.findChild<QAction*>(QStringLiteral("id%1").arg(id));
}

void Click(QWidget& dialog, int id)
{
    dialog.findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id))->click();
}

// Answers every dialog with one script, and lists the dialogs' titles in order; the main window
// shown at the time adds "+frame".
class DialogScript {
public:
    explicit DialogScript(std::function<void(QDialog&)> answer)
    {
        SetModalHandler([this, answer](QDialog& dialog) {
            bool frameShown = false;
            for (QWidget* window : QApplication::topLevelWidgets())
                frameShown = frameShown || (qobject_cast<CMainFrame*>(window) && window->isVisible());
            m_seen << dialog.windowTitle() + (frameShown ? "+frame" : "");
            answer(dialog);
        });
    }
    explicit DialogScript(int buttonId)
        : DialogScript([buttonId](QDialog& dialog) { Click(dialog, buttonId); })
    {
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
        DialogScript script(1025);
        CTessavo2App app;
        QVERIFY(!app.InitInstance());
        QCOMPARE(app.ExitCode(), 1);
        QCOMPARE(app.MainFrame(), nullptr);
        QCOMPARE(script.m_seen, QStringList { "Port Setting" });
        QCOMPARE(messages.Texts(), QStringList { "The End" });
        QCOMPARE(messages.Captions(), QStringList { "Tessavo2" });
    }

    // Port settings first, then the window; after the editor or TP List Create ends with EXIT and Yes,
    // Alt+T and Alt+R reach the main window again.
    void startUpAndDialogsHandingTheKeyboardBack()
    {
        MessageRecorder messages;
        DialogScript script([](QDialog& dialog) {
            Click(dialog,
                qobject_cast<CPortSettingDlg*>(&dialog)        ? 1024
                    : qobject_cast<CTpListCreateDlg*>(&dialog) ? 1000
                                                               : 1037);
        });
        CTessavo2App app;
        QVERIFY(app.InitInstance());
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Local AppWizard-Generated Applications"));
        CMainFrame& frame = *app.MainFrame();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Tessavo2"));
        QCOMPARE(frame.size(), QSize(650, 540));
        QCOMPARE(frame.minimumSize(), frame.maximumSize());
        const Qt::WindowFlags flags = frame.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint) && flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(frame.GetPortSettings().port, 1);
        QCOMPARE(frame.GetPortSettings().baudRate, 115200u);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        for (int id : { 32772, 32773 }) {
            Action(frame, id)->trigger();
            QTRY_COMPARE(QApplication::activeWindow(), &frame);
        }
        QCOMPARE(script.m_seen, (QStringList { "Port Setting", "Edit Preset Data+frame", "TP List Create+frame" }));
        QCOMPARE(messages.Texts(), (QStringList { "EXIT NOW?", "EXIT NOW?" }));
    }

    void menuTextsAndCommands()
    {
        DialogScript script(1024);
        CMainFrame frame;
        frame.Create();
        frame.show();
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
            QAction* action = Action(frame, QByteArray(row[0]).toInt());
            QVERIFY2(action, row[2]);
            auto* menu = qobject_cast<QMenu*>(action->parent());
            QCOMPARE(QStringList({ menu->title(), action->text(), action->statusTip() }),
                QStringList({ row[1], row[2], row[3] }));
        }
        QCOMPARE(Action(frame, 57664)->toolTip(), QStringLiteral("Info"));

        auto* idle = frame.statusBar()->findChild<QLabel*>(QStringLiteral("messagePane"));
        QCOMPARE(idle->text(), QStringLiteral("준비"));
        QCOMPARE(frame.statusBar()->findChildren<QLabel*>().size(), 5);
        Action(frame, 59393)->trigger();
        QVERIFY(!frame.statusBar()->isVisible());
        Action(frame, 59393)->trigger();
        QVERIFY(frame.statusBar()->isVisible());

        SetModalHandler([](QDialog& dialog) {
            Click(dialog, 1005);
            Click(dialog, 1024);
        });
        Action(frame, 32771)->trigger();
        QCOMPARE(frame.GetPortSettings().port, 4);

        QStringList texts;
        SetModalHandler([&](QDialog& dialog) {
            texts << dialog.windowTitle();
            for (QLabel* label : dialog.findChildren<QLabel*>())
                texts << label->text();
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
                texts << button->text();
            dialog.accept();
        });
        Action(frame, 57664)->trigger();
        for (const char* text : { "Tessavo2 정보", "Tessavo2 버전 1.0", "Preset Data Tools     Ver 2.0", "확인" })
            QVERIFY2(texts.contains(QString::fromUtf8(text)), text);
    }

    void lockPanesShowTheLocksThatAreOn()
    {
        DialogScript script(1024);
        CMainFrame frame;
        frame.Create();
        const auto panes = [&frame] {
            QStringList texts;
            for (const char* name : { "paneCAP", "paneNUM", "paneSCRL" })
                texts << frame.statusBar()->findChild<QLabel*>(QLatin1String(name))->text();
            return texts;
        };
        // The offscreen platform tells no lock state.
        QCOMPARE(panes(), (QStringList { "", "", "" }));
        const std::optional<bool> unknown;
        const std::pair<CLockPanes::Locks, QStringList> cases[] = {
            { { true, true, true }, { "CAP", "NUM", "SCRL" } },
            { { true, false, unknown }, { "CAP", "", "" } },
            { { false, true, false }, { "", "NUM", "" } },
            { { unknown, unknown, true }, { "", "", "SCRL" } },
            { { unknown, unknown, unknown }, { "", "", "" } },
        };
        auto* locks = frame.statusBar()->findChild<CLockPanes*>();
        QVERIFY(locks);
        for (const auto& [state, texts] : cases) {
            locks->Show(state);
            QCOMPARE(panes(), texts);
        }
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_mainframe.moc"
