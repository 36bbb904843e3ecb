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

template <typename T = QPushButton> T* Find(const QWidget& dialog, int id)
{
    auto* control = dialog.findChild<T*>(id ? QStringLiteral("id%1").arg(id) : QStringLiteral("selectedCount"));
    if (!control)
        qFatal("no control %d", id);
    return control;
}

// The dialog's controls and what a user does with them.
struct Probe {
    QWidget& dialog;
    QListWidget* list = Find<QListWidget>(dialog, 1045);
    QComboBox* combo = Find<QComboBox>(dialog, 1046);
    QLabel* status = Find<QLabel>(dialog, 1047);

    void Click(int id) const { QTest::mouseClick(Find(dialog, id), Qt::LeftButton); }
    void ClickGroup(int g) const { Click(1048 + g); }
    [[nodiscard]] bool Pressed(int g) const { return Find(dialog, 1048 + g)->isChecked(); }

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

    // One mark per row ('+' checked, '-' not), the combo box's text, the status line, the count of the
    // selection, and "off" when the list and the combo box are disabled.
    [[nodiscard]] QString Shows() const
    {
        QString marks;
        for (int r = 0; r < list->count(); ++r)
            marks += list->item(r)->checkState() == Qt::Checked ? '+' : '-';
        return marks + ' ' + combo->currentText() + ' ' + status->text() + ' ' + Find<QLabel>(dialog, 0)->text()
            + (list->isEnabled() && combo->isEnabled() ? "" : " off");
    }
};

QString Marks(int count, char mark, const char* rest)
{
    return QString(count, QLatin1Char(mark)) + QLatin1Char(' ') + QLatin1String(rest);
}

const char* const kNone = "------- SatcoDx1 SatcoDx1 0 selected";

} // namespace

class TestTpListCreateDlg : public QObject {
    Q_OBJECT
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<CTpListCreateDlg> m_dialog;
    [[nodiscard]] Probe Ui() const { return Probe { *m_dialog }; }

private slots:
    void init()
    {
        m_messages = std::make_unique<MessageRecorder>();
        m_dialog = std::make_unique<CTpListCreateDlg>();
        m_dialog->show();
    }
    void cleanup()
    {
        m_dialog.reset();
        m_messages.reset();
    }

    void groupButtonsSelectAndTheComboBoxOnlyShows()
    {
        const Probe ui = Ui();
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
        QCOMPARE(ui.Shows(), kNone);
        for (int g = 0; g <= CTpListCreateDlg::kAllSat; ++g)
            QVERIFY(!ui.Pressed(g));
    }

    void doubleClickFlipsOneSatelliteThatSurvivesAGroupChange()
    {
        const Probe ui = Ui();
        ui.DoubleClickRow(3);
        QCOMPARE(ui.Shows(), "---+--- SatcoDx1 SatcoDx1 1 selected");
        ui.ChooseGroup(4);
        QCOMPARE(ui.Shows(), Marks(14, '-', "SatcoDx5 SatcoDx5 1 selected"));
        ui.ChooseGroup(0);
        QCOMPARE(ui.Shows(), "---+--- SatcoDx1 SatcoDx1 1 selected");
        ui.DoubleClickRow(3);
        ui.ChooseGroup(1);
        ui.ChooseGroup(0);
        QCOMPARE(ui.Shows(), kNone);
    }

    // Nothing selected, then a group whose files are missing, then the one satellite double-clicked: the
    // dialog stays, the last run writes List.c as the command line does, and its lists outlive the opening.
    void listFileReportsOrWritesTheSelection()
    {
        const Probe ui = Ui();
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

    // Keys from a control with the focus: Alt with a marked letter reaches each control (a button is also
    // clicked; a push button keeps the focus where it was), Space flips the current satellite, Enter presses the button
    // with the focus and ends nothing.
    void keys_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("reached");
        QTest::addColumn<QString>("shows");
        const auto row = [](const char* name, int from, QKeySequence keys, int reached, QString shows) {
            QTest::newRow(name) << from << keys << reached << shows;
        };
        row("Alt+S", 1046, Qt::ALT | Qt::Key_S, 1045, kNone);
        row("Alt+G", 1045, Qt::ALT | Qt::Key_G, 1046, kNone);
        row("Alt+3", 1045, Qt::ALT | Qt::Key_3, 1050, Marks(27, '+', "SatcoDx3 SatcoDx3 27 selected"));
        row("Alt+A", 1045, Qt::ALT | Qt::Key_A, 1057, Marks(153, '+', "All Sat SatcoDxAll 153 selected off"));
        row("Alt+L", 1045, Qt::ALT | Qt::Key_L, 1045, "------- SatcoDx1  Check the TP & Sat  0 selected");
        row("Alt+R", 1045, Qt::ALT | Qt::Key_R, 1045, kNone);
        row("Alt+X, No", 1045, Qt::ALT | Qt::Key_X, 1045, QString(kNone) + " EXIT NOW?");
        row("Space on the third row", 1045, { Qt::Key_Down, Qt::Key_Down, Qt::Key_Space }, 1045,
            "--+---- SatcoDx1 SatcoDx1 1 selected");
        row("Space twice", 1045, { Qt::Key_Space, Qt::Key_Space }, 1045, kNone);
        row("Enter in the list", 1045, { Qt::Key_Down, Qt::Key_Return }, 1045, kNone);
        row("Enter in the group box", 1046, Qt::Key_Enter, 1046, kNone);
        row("Enter on SatcoDx2", 1049, Qt::Key_Return, 1049, Marks(13, '+', "SatcoDx2 SatcoDx2 13 selected"));
        row("Enter on Exit, No", 1000, Qt::Key_Return, 1000, QString(kNone) + " EXIT NOW?");
    }
    void keys()
    {
        QFETCH(int, from);
        QFETCH(QKeySequence, keys);
        QFETCH(int, reached);
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        Find<QWidget>(*m_dialog, from)->setFocus(Qt::TabFocusReason);
        m_messages->QueueAnswer(IDNO);
        for (int i = 0; i < keys.count(); ++i)
            QTest::keyClick(QApplication::focusWidget(), keys[i].key(), keys[i].keyboardModifiers());
        QTRY_COMPARE(m_dialog->focusWidget(), Find<QWidget>(*m_dialog, reached));
        QFETCH(QString, shows);
        QTRY_COMPARE((QStringList { Ui().Shows() } + m_messages->Texts()).join(QLatin1Char(' ')), shows);
        QVERIFY(m_dialog->isVisible());
    }

    // Tab walks the controls in reading order, and the focus frame shows where it is.
    void tabWalksInReadingOrder()
    {
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        Ui().list->setFocus(Qt::TabFocusReason);
        QList<int> order;
        QImage focused;
        for (int i = 0; i < 16; ++i) {
            QWidget* focus = m_dialog->focusWidget();
            order << (focus->parentWidget() == Ui().combo ? 1046 : focus->objectName().mid(2).toInt());
            if (order.last() == 1048)
                focused = focus->grab().toImage();
            QTest::keyClick(m_dialog.get(), Qt::Key_Tab);
        }
        QCOMPARE(order,
            QList<int>(
                { 1045, 1046, 1048, 1049, 1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1002, 1001, 1000, 1045 }));
        QVERIFY(Find(*m_dialog, 1048)->grab().toImage() != focused);
    }

    // A screen reader tells every control apart (the group box by its label), reads the list by its name
    // and each row with its check box.
    void screenReadersTellControlsApart()
    {
        Ui().DoubleClickRow(1);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Ui().list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), "Satellites");
        QCOMPARE(list->child(1)->text(QAccessible::Name), "0050 (Sirius 2, 3)");
        QVERIFY(list->child(1)->state().checked && !list->child(0)->state().checked);
        QStringList names;
        for (QWidget* control : m_dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
            const auto labels = face->relations(QAccessible::Label);
            if (control->isVisible())
                names << (labels.isEmpty() ? face : labels[0].first)->text(QAccessible::Name);
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
            Ui().DoubleClickRow(r);
        CheckFitsScreen(*m_dialog);
        if (m_dialog->devicePixelRatio() == 1)
            SaveShot(*m_dialog, "tp-list-create.png");
        const QSize list = Ui().list->size();
        m_dialog->resize(m_dialog->size() + QSize(60, 40));
        QCOMPARE(Ui().list->size(), list + QSize(60, 40));
        CheckFitsScreen(*m_dialog);
    }

    // How each way out of the dialog reaches the main window, through the real start-up. The first
    // "EXIT NOW?" is answered No.
    void onlyOkEndingsSpareTheNotOpenMessage()
    {
        const struct {
            void (*act)(const Probe&);
            QStringList texts;
        } endings[] = {
            { [](const Probe& ui) {
                 ui.Click(1000);
                 ui.Click(1000);
             },
                { "EXIT NOW?", "EXIT NOW?" } },
            { [](const Probe& ui) { ui.dialog.close(); }, { "Not Open" } },
            { [](const Probe& ui) { QTest::keyClick(ui.list, Qt::Key_Escape); }, { "Not Open" } },
        };
        cleanup();
        SetModalHandler([](QDialog& dialog) { Find(dialog, 1024)->click(); });
        CTessavo2App app;
        QVERIFY(app.InitInstance());
        for (const auto& ending : endings) {
            MessageRecorder messages;
            messages.QueueAnswer(IDNO);
            SetModalHandler([act = ending.act](QDialog& dialog) { act(Probe { dialog }); });
            app.MainFrame()->findChild<QAction*>("id32773")->trigger();
            QCOMPARE(messages.Texts(), ending.texts);
            QCOMPARE(messages.Captions().endsWith(ApplicationTitle()), ending.texts.endsWith("Not Open"));
        }
        SetModalHandler(nullptr);
    }
};

QTEST_MAIN(TestTpListCreateDlg)
#include "test_tplistcreatedlg.moc"
