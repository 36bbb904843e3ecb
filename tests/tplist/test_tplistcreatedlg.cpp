// The "TP List Create" dialog driven by real mouse and key events, headless. CTest runs fitsItsScreen
// again on a 1366x768 screen and on a 1920x1080 one at 200%.
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "saveshot.h"
#include "tplist/ctplistcreatedlg.h"
#include "tplistworkdir.h"
#include "windowfit.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

template <typename T = QPushButton> T* Find(const QWidget& dialog, const QString& name)
{
    T* control = dialog.findChild<T*>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

// The dialog's controls and what a user does with them.
struct Probe {
    QWidget& dialog;
    QListWidget* list = Find<QListWidget>(dialog, Id(1045));
    QComboBox* combo = Find<QComboBox>(dialog, Id(1046));
    QLabel* status = Find<QLabel>(dialog, Id(1047));

    void Click(int id) const { QTest::mouseClick(Find(dialog, Id(id)), Qt::LeftButton); }
    void ClickGroup(int g) const { Click(1048 + g); }
    [[nodiscard]] bool Pressed(int g) const { return Find(dialog, Id(1048 + g))->isChecked(); }

    void ChooseGroup(int g) const
    {
        while (combo->currentIndex() != g)
            QTest::keyClick(combo, combo->currentIndex() < g ? Qt::Key_Down : Qt::Key_Up);
    }

    void DoubleClickRow(int r) const
    {
        const QPoint at = list->visualItemRect(list->item(r)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    // One mark per row ('+' checked, '-' not), the combo box's text, the status line, the count of
    // selected satellites, and "off" when the list and the combo box are disabled.
    [[nodiscard]] QString Shows() const
    {
        QString marks;
        for (int r = 0; r < list->count(); ++r)
            marks += list->item(r)->checkState() == Qt::Checked ? '+' : '-';
        const bool enabled = list->isEnabled() && combo->isEnabled();
        return marks + ' ' + combo->currentText() + ' ' + status->text() + ' '
            + Find<QLabel>(dialog, QStringLiteral("selectedCount"))->text() + (enabled ? "" : " off");
    }
};

QString Marks(int count, char mark, const char* rest)
{
    return QString(count, QLatin1Char(mark)) + QLatin1Char(' ') + QLatin1String(rest);
}

} // namespace

class TestTpListCreateDlg : public QObject {
    Q_OBJECT
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<CTpListCreateDlg> m_dialog;
    std::unique_ptr<Probe> m_ui;

    void ShowActive()
    {
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    }

private slots:
    void init()
    {
        m_messages = std::make_unique<MessageRecorder>();
        m_dialog = std::make_unique<CTpListCreateDlg>();
        m_dialog->show();
        m_ui = std::make_unique<Probe>(Probe { *m_dialog });
    }
    void cleanup()
    {
        m_ui.reset();
        m_dialog.reset();
        m_messages.reset();
    }

    void groupButtonsSelectAndTheComboBoxOnlyShows()
    {
        Probe& ui = *m_ui;
        ui.ClickGroup(1);
        QCOMPARE(ui.Shows(), Marks(13, '+', "SatcoDx2 SatcoDx2 13 selected"));
        ui.ChooseGroup(0);
        QCOMPARE(ui.Shows(), Marks(7, '-', "SatcoDx1 SatcoDx1 13 selected"));
        QCOMPARE(ui.list->item(0)->text(), "0030 (Telecom 2A)");
        ui.ChooseGroup(1);
        QCOMPARE(ui.Shows(), Marks(13, '+', "SatcoDx2 SatcoDx2 13 selected"));
        QVERIFY(ui.Pressed(1));
        ui.ClickGroup(2);
        ui.ClickGroup(2);
        QCOMPARE(ui.Shows(), Marks(27, '-', "SatcoDx3 SatcoDx3 13 selected"));
        QVERIFY(!ui.Pressed(2));

        ui.Click(1057);
        QCOMPARE(ui.Shows(), Marks(153, '+', "All Sat SatcoDxAll 153 selected off"));
        QCOMPARE(ui.list->item(152)->text(), "3592 (Thor 123)");
        ui.Click(1057);
        QCOMPARE(ui.Shows(), Marks(153, '-', "All Sat SatcoDxAll 0 selected off"));
        ui.ClickGroup(8);
        QCOMPARE(ui.Shows(), Marks(23, '+', "SatcoDx9 SatcoDx9 23 selected"));

        // Every opening starts on the first group with nothing selected.
        m_dialog->hide();
        m_dialog->show();
        QCOMPARE(ui.Shows(), Marks(7, '-', "SatcoDx1 SatcoDx1 0 selected"));
        for (int g = 0; g <= CTpListCreateDlg::kAllSat; ++g)
            QVERIFY(!ui.Pressed(g));
        ui.ChooseGroup(8);
        QCOMPARE(ui.Shows(), Marks(23, '-', "SatcoDx9 SatcoDx9 0 selected"));
    }

    void doubleClickFlipsOneSatelliteThatSurvivesAGroupChange()
    {
        Probe& ui = *m_ui;
        ui.DoubleClickRow(3);
        QCOMPARE(ui.Shows(), "---+--- SatcoDx1 SatcoDx1 1 selected");
        ui.ChooseGroup(4);
        QCOMPARE(ui.Shows(), Marks(14, '-', "SatcoDx5 SatcoDx5 1 selected"));
        ui.ChooseGroup(0);
        QCOMPARE(ui.Shows(), "---+--- SatcoDx1 SatcoDx1 1 selected");
        ui.DoubleClickRow(3);
        ui.ChooseGroup(1);
        ui.ChooseGroup(0);
        QCOMPARE(ui.Shows(), Marks(7, '-', "SatcoDx1 SatcoDx1 0 selected"));
    }

    // Nothing selected, then a group whose files are missing, then the one satellite double-clicked: the
    // dialog stays, the last run writes List.c as the command line does, and its lists outlive the opening.
    void listFileReportsOrWritesTheSelection()
    {
        Probe& ui = *m_ui;
        TplistWorkDir dir;
        ui.Click(1002);
        QCOMPARE(ui.status->text(), " Check the TP & Sat ");
        QVERIFY(!QFile::exists("List.c"));
        ui.ClickGroup(0);
        ui.Click(1002);
        QCOMPARE(m_messages->Texts(), QStringList { "File Read Error" });
        QCOMPARE(ui.status->text(), "SatcoDx1/0030.txt: No such file or directory");
        ui.ClickGroup(0);
        WriteFile("SatcoDx1/0130.txt", TestData("0130.txt"));
        ui.DoubleClickRow(5);
        ui.Click(1002);
        QCOMPARE(ReadFile("List.c"), TestData("List_one.c"));
        QCOMPARE(ui.status->text(), "List.c: lists 2, transponders 43");
        QCOMPARE(m_messages->Count(), 1);
        m_dialog->hide();
        m_dialog->show();
        QCOMPARE(m_dialog->BuildState().listCount, 2);
    }

    // Tab walks the controls in reading order with a visible focus frame, Alt with a marked letter reaches each.
    void keyboardReachesEveryControl_data()
    {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<QString>("shows");
        const QString none = Marks(7, '-', "SatcoDx1 SatcoDx1 0 selected");
        QTest::newRow("Alt+S") << (Qt::ALT | Qt::Key_S) << Id(1045) << none;
        QTest::newRow("Alt+G") << (Qt::ALT | Qt::Key_G) << Id(1046) << none;
        QTest::newRow("Alt+3") << (Qt::ALT | Qt::Key_3) << Id(1050) << Marks(27, '+', "SatcoDx3 SatcoDx3 27 selected");
        QTest::newRow("Alt+A") << (Qt::ALT | Qt::Key_A) << Id(1057)
                               << Marks(153, '+', "All Sat SatcoDxAll 153 selected off");
        QTest::newRow("Alt+L") << (Qt::ALT | Qt::Key_L) << Id(1002)
                               << "------- SatcoDx1  Check the TP & Sat  0 selected";
        QTest::newRow("Alt+R") << (Qt::ALT | Qt::Key_R) << Id(1001) << none;
        QTest::newRow("Alt+X") << (Qt::ALT | Qt::Key_X) << Id(1000) << none;
    }
    void keyboardReachesEveryControl()
    {
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, reached);
        ShowActive();
        m_ui->list->setFocus(Qt::TabFocusReason);
        QStringList order;
        QImage focusedLook;
        for (int i = 0; i < 16; ++i) {
            QWidget* focus = m_dialog->focusWidget();
            order << (focus->parentWidget() == m_ui->combo ? Id(1046) : focus->objectName());
            if (focus->objectName() == Id(1048))
                focusedLook = focus->grab().toImage();
            QTest::keyClick(m_dialog.get(), Qt::Key_Tab);
        }
        QStringList expected { Id(1045), Id(1046) };
        for (const int id : { 1048, 1049, 1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1002, 1001, 1000, 1045 })
            expected << Id(id);
        QCOMPARE(order, expected);
        QVERIFY(Find(*m_dialog, Id(1048))->grab().toImage() != focusedLook);

        auto* target = Find<QWidget>(*m_dialog, reached);
        int clicks = 0;
        if (auto* button = qobject_cast<QPushButton*>(target))
            connect(button, &QPushButton::clicked, this, [&clicks] { ++clicks; });
        m_messages->QueueAnswer(IDNO);
        QTest::keyClick(m_dialog.get(), keys.key(), keys.keyboardModifiers());
        QTRY_VERIFY(qobject_cast<QPushButton*>(target) ? clicks == 1 : m_dialog->focusWidget() == target);
        QTEST(m_ui->Shows(), "shows");
        QVERIFY(m_dialog->isVisible());
    }

    // Space flips the current satellite; Enter presses the button with the focus and never ends the dialog.
    void spaceAndEnter_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("shows");
        QTest::newRow("Space on the third row") << Id(1045) << QKeySequence(Qt::Key_Down, Qt::Key_Down, Qt::Key_Space)
                                                << "--+---- SatcoDx1 SatcoDx1 1 selected";
        QTest::newRow("Space twice") << Id(1045) << QKeySequence(Qt::Key_Space, Qt::Key_Space)
                                     << Marks(7, '-', "SatcoDx1 SatcoDx1 0 selected");
        QTest::newRow("Enter in the list")
            << Id(1045) << QKeySequence(Qt::Key_Down, Qt::Key_Return) << Marks(7, '-', "SatcoDx1 SatcoDx1 0 selected");
        QTest::newRow("Enter in the group box")
            << Id(1046) << QKeySequence(Qt::Key_Enter) << Marks(7, '-', "SatcoDx1 SatcoDx1 0 selected");
        QTest::newRow("Enter on SatcoDx2")
            << Id(1049) << QKeySequence(Qt::Key_Return) << Marks(13, '+', "SatcoDx2 SatcoDx2 13 selected");
    }
    void spaceAndEnter()
    {
        QFETCH(QString, focus);
        QFETCH(QKeySequence, keys);
        ShowActive();
        Find<QWidget>(*m_dialog, focus)->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < keys.count(); ++i)
            QTest::keyClick(QApplication::focusWidget(), keys[i].key());
        QTEST(m_ui->Shows(), "shows");
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_messages->Count(), 0);
    }

    // A screen reader tells every control apart, reads the list by its name and each row's check box.
    void screenReadersTellControlsApart()
    {
        m_ui->DoubleClickRow(1);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(m_ui->list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), "Satellites");
        QCOMPARE(list->child(1)->text(QAccessible::Name), "0050 (Sirius 2, 3)");
        QVERIFY(list->child(1)->state().checked && !list->child(0)->state().checked);
        QStringList names;
        for (QWidget* control : m_dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
            const auto labels = face->relations(QAccessible::Label);
            if (control->isVisible())
                names << (labels.isEmpty() ? face->text(QAccessible::Name) : labels[0].first->text(QAccessible::Name));
        }
        names.sort();
        QCOMPARE(names.join('|'),
            "1 selected|ALL SAT|Exit|List File|Rcu File|SatcoDx1|SatcoDx2|SatcoDx3|SatcoDx4|SatcoDx5|SatcoDx6|SatcoDx7|"
            "SatcoDx8|SatcoDx9|Satellite group|Satellites|Status: SatcoDx1");
    }

    // The dialog, its frame and a taskbar fit the screen, and the list takes the room of a larger dialog. The
    // screenshot shows three satellites checked.
    void fitsItsScreen()
    {
        for (const int r : { 0, 3, 5 })
            m_ui->DoubleClickRow(r);
        CheckFitsScreen(*m_dialog);
        if (m_dialog->devicePixelRatio() == 1)
            SaveShot(*m_dialog, "tp-list-create.png");
        const QSize list = m_ui->list->size();
        m_dialog->resize(m_dialog->size() + QSize(60, 40));
        QCOMPARE(m_ui->list->size(), list + QSize(60, 40));
        CheckFitsScreen(*m_dialog);
    }

    // How each way out of the dialog reaches the main window, through the real start-up. The first
    // "EXIT NOW?" is answered No.
    void onlyOkEndingsSpareTheNotOpenMessage()
    {
        const auto enter = [](QWidget* control) {
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Return);
        };
        const struct {
            const char* name;
            std::function<void(const Probe&)> act;
            QStringList texts;
        } endings[] = {
            { "Exit, No, Exit, Yes",
                [](const Probe& ui) {
                    ui.Click(1000);
                    QVERIFY(ui.dialog.isVisible());
                    ui.Click(1000);
                },
                { "EXIT NOW?", "EXIT NOW?" } },
            { "close box", [](const Probe& ui) { ui.dialog.close(); }, { "Not Open" } },
            { "Enter in the list, then Esc",
                [&](const Probe& ui) {
                    enter(ui.list);
                    QVERIFY(ui.dialog.isVisible());
                    QTest::keyClick(ui.list, Qt::Key_Escape);
                },
                { "Not Open" } },
            { "Enter on Exit, No", [&](const Probe& ui) { enter(Find(ui.dialog, Id(1000))); },
                { "EXIT NOW?", "Not Open" } },
        };
        cleanup();
        SetModalHandler([](QDialog& dialog) { Find(dialog, Id(1024))->click(); });
        CTessavo2App app;
        QVERIFY(app.InitInstance());
        for (const auto& [name, act, texts] : endings) {
            const std::function<void(const Probe&)>& run = act;
            MessageRecorder messages;
            messages.QueueAnswer(IDNO);
            SetModalHandler([&run](QDialog& dialog) { run(Probe { dialog }); });
            app.MainFrame()->findChild<QAction*>("id32773")->trigger();
            QCOMPARE(messages.Texts(), texts);
            QStringList captions;
            for (const QString& text : texts)
                captions << (text == "Not Open" ? ApplicationTitle() : QStringLiteral("Rcu File Create"));
            QVERIFY2(messages.Captions() == captions, name);
        }
        SetModalHandler(nullptr);
    }
};

QTEST_MAIN(TestTpListCreateDlg)
#include "test_tplistcreatedlg.moc"
