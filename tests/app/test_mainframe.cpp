#include "app/caboutdlg.h"
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "app/ctessavo2view.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "serial/cportsettingdlg.h"

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

// Answers every dialog by the button with the given id, and lists the dialogs in order.
class DialogScript {
public:
    explicit DialogScript(int buttonId)
    {
        SetModalHandler([this, buttonId](QDialog& dialog) {
            bool frameShown = false;
            for (QWidget* window : QApplication::topLevelWidgets())
                frameShown = frameShown || (qobject_cast<CMainFrame*>(window) && window->isVisible());
            m_seen << QString::fromLatin1(dialog.metaObject()->className()) + (frameShown ? "+frame" : "");
            if (auto* button = dialog.findChild<QAbstractButton*>(QStringLiteral("id%1").arg(buttonId)))
                button->click();
        });
    }
    ~DialogScript() { SetModalHandler(nullptr); }
    [[nodiscard]] QStringList Seen() const { return m_seen; }

private:
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
        QCOMPARE(script.Seen(), QStringList { "CPortSettingDlg" });
        QCOMPARE(messages.Texts(), QStringList { "The End" });
        QCOMPARE(messages.Captions(), QStringList { "Tessavo2" });
    }

    void portSettingsComeFirstThenTheWindow()
    {
        MessageRecorder messages;
        DialogScript script(1024);
        CTessavo2App app;
        QVERIFY(app.InitInstance());
        QCOMPARE(script.Seen(), QStringList { "CPortSettingDlg" });
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Local AppWizard-Generated Applications"));

        CMainFrame& frame = *app.MainFrame();
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.windowTitle(), QStringLiteral("Tessavo2"));
        QCOMPARE(frame.size(), QSize(650, 540));
        QCOMPARE(frame.minimumSize(), frame.maximumSize());
        const Qt::WindowFlags flags = frame.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(frame.GetPortSettings().port, 1);
        QCOMPARE(frame.GetPortSettings().baudRate, 115200u);
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

        struct Row {
            int id;
            const char* menu;
            const char* text;
            const char* prompt;
        };
        const Row rows[] = {
            { 57665, "File(&F)", "Exit(&X)", "Exit Program" },
            { 32771, "PortSetup(&P)", "Com Port Setup(&C)", "Setup Serial Com Port" },
            { 32772, "Tools(&T)", "Edit Preset Data(&P)", "" },
            { 32773, "Rcu File(&R)", "Rcu File Create(&R)", "" },
            { 57664, "Help(&H)", "Tessavo Info(&A)...", "Program Information " },
            { 59393, "Help(&H)", "Status Bar(&S)", "Toggle Status Bar" },
        };
        for (const Row& row : rows) {
            QAction* action = Action(frame, row.id);
            QVERIFY2(action, row.text);
            QCOMPARE(action->text(), QString::fromUtf8(row.text));
            QCOMPARE(action->statusTip(), QString::fromUtf8(row.prompt));
            auto* menu = qobject_cast<QMenu*>(action->parent());
            QVERIFY(menu);
            QCOMPARE(menu->title(), QString::fromUtf8(row.menu));
        }
        QCOMPARE(Action(frame, 57664)->toolTip(), QStringLiteral("Info"));

        auto* idle = frame.statusBar()->findChild<QLabel*>(QStringLiteral("messagePane"));
        QVERIFY(idle);
        QCOMPARE(idle->text(), QStringLiteral("준비"));
        QCOMPARE(frame.statusBar()->findChildren<QLabel*>().size(), 5);
        QVERIFY(frame.statusBar()->isVisible());
        Action(frame, 59393)->trigger();
        QVERIFY(!frame.statusBar()->isVisible());
        Action(frame, 59393)->trigger();
        QVERIFY(frame.statusBar()->isVisible());

        SetModalHandler([](QDialog& dialog) {
            dialog.findChild<QAbstractButton*>(QStringLiteral("id1005"))->click();
            dialog.findChild<QAbstractButton*>(QStringLiteral("id1024"))->click();
        });
        Action(frame, 32771)->trigger();
        QCOMPARE(frame.GetPortSettings().port, 4);
        SetModalHandler([](QDialog& dialog) {
            dialog.findChild<QAbstractButton*>(QStringLiteral("id1003"))->click();
            dialog.findChild<QAbstractButton*>(QStringLiteral("id1025"))->click();
        });
        Action(frame, 32771)->trigger();
        QCOMPARE(frame.GetPortSettings().port, 4);

        QStringList texts;
        QString title;
        SetModalHandler([&](QDialog& dialog) {
            title = dialog.windowTitle();
            for (QLabel* label : dialog.findChildren<QLabel*>())
                texts << label->text();
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
                texts << button->text();
            dialog.accept();
        });
        Action(frame, 57664)->trigger();
        QCOMPARE(title, QStringLiteral("Tessavo2 정보"));
        QVERIFY(texts.contains(QStringLiteral("Tessavo2 버전 1.0")));
        QVERIFY(texts.contains(QStringLiteral("Preset Data Tools     Ver 2.0")));
        QVERIFY(texts.contains(QStringLiteral("확인")));
    }

    void dialogHooksOfLaterWork()
    {
        MessageRecorder messages;
        DialogScript script(1024);
        CMainFrame frame;
        frame.Create();
        // Without their dialogs the two commands do nothing.
        Action(frame, 32772)->trigger();
        Action(frame, 32773)->trigger();
        QCOMPARE(messages.Count(), 0);

        auto* tpList = new QDialog;
        tpList->setWindowTitle(QStringLiteral("TP List Create"));
        frame.View()->SetTpListCreateDialog(tpList);
        auto* editor = new QDialog;
        editor->setWindowTitle(QStringLiteral("Edit Preset Data"));
        frame.SetPresetEditor(editor);
        QStringList shown;
        SetModalHandler([&](QDialog& dialog) {
            shown << dialog.windowTitle();
            dialog.done(shown.size() == 3 ? QDialog::Accepted : QDialog::Rejected);
        });
        Action(frame, 32773)->trigger();
        Action(frame, 32772)->trigger();
        Action(frame, 32773)->trigger();
        QCOMPARE(shown, (QStringList { "TP List Create", "Edit Preset Data", "TP List Create" }));
        QCOMPARE(messages.Texts(), QStringList { "Not Open" });
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_mainframe.moc"
