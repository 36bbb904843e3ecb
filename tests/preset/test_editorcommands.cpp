#include "editortestkit.h"
#include "preset/presetimage.h"
#include "preset/presetsnapshot.h"
#include "saveshot.h"

#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QUndoStack>
#include <QWindow>

namespace {

// The first three slots' names, the counts of their transponders and satellite 0's first three frequencies.
QString Summary()
{
    QStringList names, counts, freqs;
    for (std::uint8_t sat = 0; sat < 3; ++sat) {
        TpList list {};
        GetSatTransponders(sat, list);
        names << SatName(sat);
        counts << QString::number(CountTransponders(list));
        for (std::size_t i = 0; sat == 0 && i < 3; ++i)
            freqs << QString::number(list[i].freq);
    }
    return names.join(',') + ';' + counts.join(',') + ';' + freqs.join(',');
}

QString ShownTitle(QWidget& dialog)
{
    return dialog.windowHandle()->title();
}

} // namespace

class TestEditorCommands : public QObject, public EditorSession {
    Q_OBJECT

    void Keys(QKeyCombination keys)
    {
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
    }

private slots:
    void init()
    {
        Begin();
        FillRealisticTables();
    }
    void cleanup() { End(); }

    // Unsaved work is marked, and every way of leaving it asks; each answer does what it says.
    void unsavedWorkIsAskedFor_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("nameAfter");
        for (const char* way : { "EXIT", "close", "Escape", "Open", "STB -> PC COPY" }) {
            const bool leaves = QByteArray(way) == "EXIT" || QByteArray(way) == "close" || QByteArray(way) == "Escape";
            const QString replaced = leaves ? "Astra 19.2E"
                                            : QString::fromLatin1("T\xe9l\xe9"
                                                                  "com 2");
            QTest::addRow("%s, Save", way) << way << int(IDYES) << true << (leaves ? "Changed" : replaced);
            QTest::addRow("%s, Discard", way) << way << int(IDNO) << true << replaced;
            QTest::addRow("%s, Cancel", way) << way << int(IDCANCEL) << false << "Changed";
        }
    }
    void unsavedWorkIsAskedFor()
    {
        QFETCH(QString, way);
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        QFETCH(QString, nameAfter);
        const QByteArray gap = GapImage();
        FillRealisticTables();
        ShowActive();
        QCOMPARE(ShownTitle(*m_dlg), QStringLiteral("Edit Preset Data"));
        TypeCell(Sat(), 1, 1, QStringLiteral("Changed"));
        QCOMPARE(ShownTitle(*m_dlg), QStringLiteral("*Edit Preset Data"));
        QCOMPARE(m_dlg->findChild<QLabel*>("modifiedMark")->text(), QStringLiteral("Modified"));
        const QString saved = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".rcu");
        if (answer == IDYES)
            m_fileAnswers << saved;
        m_messages->QueueAnswer(answer);
        if (way == "EXIT") {
            Button(*m_dlg, 1037)->click();
        } else if (way == "close") {
            m_dlg->close();
        } else if (way == "Escape") {
            QTest::keyClick(&Sat(), Qt::Key_Escape);
        } else {
            Refill(way, gap, goesOn);
        }
        QCOMPARE(m_messages->Texts(), QStringList { "Save changes?" });
        QCOMPARE(m_messages->Captions(), QStringList { "EDIT PRESET DATA" });
        QCOMPARE(ReadFile(saved).contains("Changed"), answer == IDYES);
        QCOMPARE(SatName(0), nameAfter);
        const bool leaves = way == "EXIT" || way == "close" || way == "Escape";
        QCOMPARE(m_dlg->isHidden(), leaves && goesOn);
        QCOMPARE(m_calls.size(), std::size_t(way == "STB -> PC COPY" && goesOn));
        QCOMPARE(m_dlg->IsModified(), !goesOn);
    }

    // Each kind of change is one step, undone and redone by its keys; a step brings back its satellite.
    void everyChangeIsOneStep_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* change : { "typing", "paste", "cut", "Delete", "Enter", "insert satellite",
                 "delete transponder", "Open", "STB -> PC COPY", "after a satellite change" })
            QTest::newRow(change) << change;
    }
    void everyChangeIsOneStep()
    {
        QFETCH(QString, change);
        const QByteArray gap = GapImage();
        FillRealisticTables();
        ShowActive();
        ClickCell(Sat(), 1, 1);
        const PresetSnapshot before = PresetSnapshot::OfTables();
        const QStringList shownBefore = Rows(Tp(), 1, 5);
        if (change == "typing" || change == "after a satellite change") {
            TypeCell(Tp(), 1, 1, QStringLiteral("12000"));
        } else if (change == "paste") {
            QGuiApplication::clipboard()->setText(QStringLiteral("11111\t22222\n11112\t22223"));
            ClickCell(Tp(), 2, 1);
            Keys(Qt::CTRL | Qt::Key_V);
        } else if (change == "cut") {
            DragCells(Tp(), 3, 1, 4, 2);
            Keys(Qt::CTRL | Qt::Key_X);
        } else if (change == "Delete") {
            ClickCell(Tp(), 5, 2);
            Keys(Qt::Key_Delete);
        } else if (change == "Enter") {
            ClickCell(Sat(), 1, 2);
            Keys(Qt::Key_Return);
            QCOMPARE(Sat().CellText(1, 2), QStringLiteral("5150"));
        } else if (change == "insert satellite") {
            ClickCell(Sat(), 2, 1);
            m_dlg->InsertRow(Sat());
        } else if (change == "delete transponder") {
            ClickCell(Tp(), 2, 1);
            m_dlg->DeleteRow(Tp());
        } else {
            Refill(change, gap);
        }
        if (change == "after a satellite change")
            ClickCell(Sat(), 4, 1);
        const PresetSnapshot after = PresetSnapshot::OfTables();
        QVERIFY(!after.SameTables(before));
        QCOMPARE(m_dlg->UndoStack().count(), 1);
        for (const QKeyCombination redo : { Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z }) {
            Keys(Qt::CTRL | Qt::Key_Z);
            QVERIFY(PresetSnapshot::OfTables().SameTables(before));
            QCOMPARE(g_nShownSat, int(change == "insert satellite"));
            if (change != "insert satellite")
                QCOMPARE(Rows(Tp(), 1, 5), shownBefore);
            Keys(redo);
            QVERIFY(PresetSnapshot::OfTables().SameTables(after));
        }
    }

    // Rows inserted or deleted move the rows below, and a save writes them where they moved.
    void insertedAndDeletedRowsReachTheFile_data()
    {
        QTest::addColumn<bool>("satellites");
        QTest::addColumn<bool>("insert");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("summary");
        QTest::newRow("untouched") << true << false << 0
                                   << "Astra 19.2E,Hot Bird 13E,Eutelsat 7E;40,4,5;10714,10743,10772";
        QTest::newRow("insert satellite 2")
            << true << true << 2 << "Astra 19.2E,New,Hot Bird 13E;40,0,4;10714,10743,10772";
        QTest::newRow("delete satellite 1")
            << true << false << 1 << "Hot Bird 13E,Eutelsat 7E,Turksat 42E;4,5,6;10717,10746,10775";
        QTest::newRow("insert transponder 2")
            << false << true << 2 << "Astra 19.2E,Hot Bird 13E,Eutelsat 7E;41,4,5;10714,12000,10743";
        QTest::newRow("delete transponder 2")
            << false << false << 2 << "Astra 19.2E,Hot Bird 13E,Eutelsat 7E;39,4,5;10714,10772,10801";
    }
    void insertedAndDeletedRowsReachTheFile()
    {
        QFETCH(bool, satellites);
        QFETCH(bool, insert);
        QFETCH(int, row);
        QFETCH(QString, summary);
        Show();
        CPresetGrid& grid = satellites ? Sat() : Tp();
        if (row > 0) {
            ClickCell(grid, row, 1);
            insert ? m_dlg->InsertRow(grid) : m_dlg->DeleteRow(grid);
        }
        if (insert && satellites)
            TypeCell(Sat(), row, 1, QStringLiteral("New"));
        if (insert && !satellites) {
            TypeCell(Tp(), row, 1, QStringLiteral("12000"), Qt::Key_Tab);
            QTest::keyClicks(OpenEditor(Tp()), QStringLiteral("27500"));
            QTest::keyClick(OpenEditor(Tp()), Qt::Key_Return);
        }
        const QByteArray file = ReadFile(Save(QStringLiteral("rows.rcu")));
        ResetPresetTables();
        QVERIFY(ParsePresetImage(Bytes(file), std::size_t(file.size())));
        QCOMPARE(Summary(), summary);
    }

    // A paste past the table's room is refused with the limit and what did not fit, and the grid shows what is kept.
    void aPasteOverTheLimitSaysWhatDidNotFit()
    {
        Show();
        QCOMPARE(m_dlg->findChild<QLabel*>("counts")->text(), QStringLiteral("Satellites 6/64, Transponders 70/512"));
        QStringList lines;
        for (int i = 0; i < 600; ++i)
            lines << QStringLiteral("%1\t27500").arg(3000 + i);
        QGuiApplication::clipboard()->setText(lines.join('\n'));
        ClickCell(Tp(), 1, 1);
        QTest::keyClick(&Tp(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_messages->Texts(),
            QStringList { "ERROR  TOTAL TRANSPONDER\nAt most 512 transponders in all: 30 rows did not fit" });
        QCOMPARE(Tp().CellText(1, 1), QStringLiteral("10714"));
        QCOMPARE(Tp().CellText(41, 1), QString());
        QVERIFY(!m_dlg->IsModified());
    }

    // Tab walks the grids and buttons in reading order, Alt with a marked letter reaches each; the context menu
    // offers the grid's commands. The screenshot shows the marked editor with that menu.
    void keyboardReachesEveryControl_data()
    {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<bool>("clicks");
        QTest::newRow("Alt+N") << (Qt::ALT | Qt::Key_N) << "id1021" << false;
        QTest::newRow("Alt+T") << (Qt::ALT | Qt::Key_T) << "id1019" << false;
        QTest::newRow("Alt+O") << (Qt::ALT | Qt::Key_O) << "id1000" << true;
        QTest::newRow("Alt+S") << (Qt::ALT | Qt::Key_S) << "id1001" << true;
        QTest::newRow("Alt+B") << (Qt::ALT | Qt::Key_B) << "id1002" << true;
        QTest::newRow("Alt+P") << (Qt::ALT | Qt::Key_P) << "id1003" << true;
        QTest::newRow("Alt+E") << (Qt::ALT | Qt::Key_E) << "id1037" << true;
    }
    void keyboardReachesEveryControl()
    {
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, reached);
        QFETCH(bool, clicks);
        ShowActive();
        QStringList order { m_dlg->focusWidget()->objectName() };
        for (int i = 0; i < 7; ++i) {
            Keys(Qt::Key_Tab);
            order << m_dlg->focusWidget()->objectName();
        }
        QCOMPARE(
            order, QStringList({ "id1021", "id1019", "id1000", "id1001", "id1002", "id1003", "id1037", "id1021" }));
        Keys(Qt::SHIFT | Qt::Key_Backtab);
        QCOMPARE(m_dlg->focusWidget()->objectName(), QStringLiteral("id1037"));

        auto* target = m_dlg->findChild<QWidget*>(reached);
        int clickCount = 0;
        if (auto* button = qobject_cast<QAbstractButton*>(target))
            connect(button, &QAbstractButton::clicked, this, [&clickCount] { ++clickCount; });
        m_messages->QueueAnswer(IDNO);
        Keys(keys);
        // A button's mnemonic clicks it as the eye can follow, a moment later.
        QTRY_COMPARE(clicks ? clickCount == 1 : m_dlg->focusWidget() == target, true);
        // A grid reached by the keyboard takes keys at once: it has a current cell.
        if (auto* grid = qobject_cast<CGridCtrl*>(target))
            QCOMPARE(std::pair(grid->CurrentCell().row, grid->CurrentCell().column), std::pair(1, 1));

        TypeCell(Sat(), 1, 1, QStringLiteral("Changed"));
        ClickCell(Tp(), 2, 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("12000"));
        const std::unique_ptr<QMenu> menu = m_dlg->MakeGridMenu(Tp());
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-")
                                            : action->text().remove('&') + (action->isEnabled() ? "" : " (off)"));
        QCOMPARE(items,
            QStringList({ "Undo", "Redo (off)", "-", "Cut\tCtrl+X", "Copy\tCtrl+C", "Paste\tCtrl+V", "Delete\tDel",
                "Select All\tCtrl+A", "-", "Insert Row", "Delete Row" }));
        if (reached == "id1021" && !qEnvironmentVariableIsEmpty("TESSAVO2_SHOT_DIR")) {
            QRect cell;
            Tp().CellRect(2, 1, cell);
            menu->popup(Tp().viewport()->mapToGlobal(cell.center()));
            QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
            QPixmap shot = m_dlg->grab();
            QPainter painter(&shot);
            painter.drawPixmap(m_dlg->mapFromGlobal(menu->pos()), menu->grab());
            painter.end();
            QVERIFY(shot.save(qEnvironmentVariable("TESSAVO2_SHOT_DIR") + "/editor-modified.png"));
        }
    }

    // Screen readers see two named tables whose cells can be read, and tell every button apart.
    void gridsAndButtonsAreReadByScreenReaders_data()
    {
        QTest::addColumn<bool>("satellites");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("cell");
        QTest::newRow("satellites") << true << "Satellites" << 64 << "Satellite Name"
                                    << "Hot Bird 13E";
        QTest::newRow("transponders") << false << "Transponders" << 512 << "Frequency"
                                      << "10743";
    }
    void gridsAndButtonsAreReadByScreenReaders()
    {
        QFETCH(bool, satellites);
        QFETCH(QString, name);
        QFETCH(int, rows);
        QFETCH(QString, heading);
        QFETCH(QString, cell);
        Show();
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(satellites ? &Sat() : &Tp());
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), name);
        QAccessibleTableInterface* table = grid->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), rows);
        QCOMPARE(table->columnDescription(0), heading);
        QAccessibleInterface* read = table->cellAt(1, 0);
        QCOMPARE(read->role(), QAccessible::Cell);
        QCOMPARE(read->text(QAccessible::Name), cell);
        QCOMPARE(table->cellAt(rows, 0), nullptr);

        QStringList names;
        for (QAbstractButton* button : m_dlg->findChildren<QAbstractButton*>())
            names << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        names.sort();
        QCOMPARE(names,
            QStringList(
                { "EXIT", "Open PresetData File", "PC -> STB COPY", "STB -> PC COPY", "Save PresetData File" }));
    }

    // Run with a screen and a scale (see CMakeLists.txt): the editor, its frame and a taskbar fit, nothing in it is
    // cut, every transponder column shows without scrolling, and its grids grow with it.
    void fitsItsScreen()
    {
        Show();
        const QSize screen = m_dlg->screen()->geometry().size();
        QVERIFY2(m_dlg->width() + 16 <= screen.width() && m_dlg->height() + 40 + 48 <= screen.height(),
            qPrintable(QStringLiteral("%1x%2 on %3x%4")
                           .arg(m_dlg->width())
                           .arg(m_dlg->height())
                           .arg(screen.width())
                           .arg(screen.height())));
        for (QWidget* child : m_dlg->findChildren<QWidget*>()) {
            if (child->isVisible() && !child->isWindow())
                QVERIFY2(child->parentWidget()->rect().contains(child->geometry()), qPrintable(child->objectName()));
        }
        QVERIFY(!Tp().horizontalScrollBar()->isVisible());
        const QSize grid = Tp().size();
        m_dlg->resize(m_dlg->size() + QSize(60, 40));
        QCOMPARE(Tp().size(), grid + QSize(60, 40));
    }
};

QTEST_MAIN(TestEditorCommands)
#include "test_editorcommands.moc"
