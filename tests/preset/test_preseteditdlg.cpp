#include "editortestkit.h"
#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"
#include "preset/presetimage.h"
#include "saveshot.h"

#include <QDir>
#include <csignal>
#include <sys/resource.h>

namespace {

// The first slot of the gap tables, the only one their image carries.
const QString kGapName = QString::fromLatin1("T\xe9l\xe9"
                                             "com 2");

} // namespace

class TestPresetEditDlg : public QObject, public EditorSession {
    Q_OBJECT

private slots:
    void init() { Begin(); }
    void cleanup() { End(); }

    void openingShowsSlotZeroAndItsTransponders()
    {
        g_SatTable[0] = MakeSat("Astra 19.2E");
        g_SatTable[2] = MakeSat("Hot Bird");
        g_LnbTable[2] = { 9750, 9750, 0, {}, {} };
        g_TpTable[0] = MakeTp(11778, 0, 27500, Fec3_4, POL_Vertical);
        g_TpTable[1] = MakeTp(12054, 0, 22000, Auto, POL_Horizontal);
        g_TpTable[2] = MakeTp(3880, 2, 4340, Fec1_2, POL_Auto);
        g_nShownSat = 7;
        Show();
        QCOMPARE(Sat().SelectedBlock(), (GridBlock { 1, 1, 1, 1 }));
        QCOMPARE(g_nShownSat, 0);
        QCOMPARE(Rows(Sat(), 1, 3), (QStringList { "Astra 19.2E|Universal", "|", "Hot Bird|9750" }));
        QCOMPARE(Rows(Tp(), 1, 3), (QStringList { "11778|27500|3/4|VER.", "12054|22000|AUTO|HOR.", "|||" }));
        QVERIFY(m_messages->Texts().isEmpty());
    }

    // One Delete on a frequency or a symbol rate costs that row alone, and a symbol rate of 0 hides nothing:
    // every row of a list is shown, so the next commit keeps it.
    void aDeletedRowCostsOnlyItselfAndSymbolRateZeroHidesNothing()
    {
        FillRealisticTables();
        g_TpTable[41].symbol = 0;
        Show();
        for (const auto& [row, column] : { std::pair(5, 1), std::pair(9, 2) }) {
            ClickCell(Tp(), row, column);
            QTest::keyClick(&Tp(), Qt::Key_Delete);
        }
        ClickCell(Sat(), 2, 1);
        QCOMPARE(Rows(Tp(), 2, 5),
            (QStringList { "10746|0|2/3|VER.", "10775|22000|3/4|HOR.", "10804|27500|5/6|VER.", "|||" }));
        ClickCell(Sat(), 3, 1);
        const QString saved = Save(QStringLiteral("deleted.rcu"));
        FillRealisticTables();
        g_TpTable[41].symbol = 0;
        for (const std::size_t i : { 8, 4 })
            std::copy(g_TpTable.begin() + i + 1, g_TpTable.end(), g_TpTable.begin() + i);
        QCOMPARE(ReadFile(saved), BuiltImage());
    }

    // Whatever ends the work on the shown rows, every edit the grids hold reaches the tables first: names and
    // LNB types confirmed with Enter, and a number still open in its cell.
    void pendingEditsReachTheTables_data()
    {
        QTest::addColumn<QString>("way");
        for (const char* way : { "exit", "save", "copy", "satellite change" })
            QTest::newRow(way) << way;
    }
    void pendingEditsReachTheTables()
    {
        QFETCH(QString, way);
        g_SatTable[1] = MakeSat("Old");
        Show();
        TypeCell(Sat(), 1, 1, QStringLiteral("Thirteen char"));
        // The name editor refuses a 14th character: the grid shows only what a slot can hold.
        TypeCell(Sat(), 2, 1, QStringLiteral("Fourteen chars"));
        TypeCell(Sat(), 1, 2, QStringLiteral("10750"));
        ClickCell(Sat(), 1, 1);
        TypeCell(Tp(), 1, 2, QStringLiteral("27500"));
        ClickCell(Tp(), 1, 1);
        QTest::keyClicks(&Tp(), QStringLiteral("1"));
        QTest::keyClicks(OpenEditor(Tp()), QStringLiteral("2345"));
        if (way == "exit") {
            // Unsaved work: EXIT asks, and Save writes it before the editor closes.
            m_fileAnswers << m_dir.filePath(QStringLiteral("exit.rcu"));
            Button(*m_dlg, 1037)->click();
            QVERIFY(!m_dlg->isVisible());
        } else if (way == "save")
            Save(QStringLiteral("pending.rcu"));
        else if (way == "copy")
            Button(*m_dlg, 1003)->click();
        else
            ClickCell(Sat(), 3, 1);
        QCOMPARE(SatName(0), QStringLiteral("Thirteen char"));
        QCOMPARE(SatName(1), QStringLiteral("Fourteen char"));
        QCOMPARE(std::tuple(g_LnbTable[0].lnb_type, g_LnbTable[0].lnb_freq1), std::tuple(0, 10750));
        QCOMPARE(std::tuple(g_TpTable[0].freq, g_TpTable[0].symbol), std::tuple(12345, 27500));
        if (way == "exit") {
            m_dlg->show();
            QCOMPARE(Sat().CellText(1, 1), QStringLiteral("Thirteen char"));
            QCOMPARE(Rows(Tp(), 1, 1), QStringList { "12345|27500|AUTO|AUTO" });
        }
    }

    // What the tables do not hold of a loaded file is written back by a save as it was, and said once.
    void aSaveKeepsWhatTheEditorDoesNotShow()
    {
        const QByteArray image = ReadPresetTestFile("shifted_prefix.rcu");
        const QString path = m_dir.filePath(QStringLiteral("in.rcu"));
        QVERIFY(WriteFile(path, image));
        Show();
        Load(path);
        QCOMPARE(StatusText(*m_dlg), QStringLiteral("File holds data not shown; a save keeps it"));
        ClickCell(Sat(), 2, 1);
        QCOMPARE(ReadFile(Save(QStringLiteral("kept.rcu"))), image);
        QVERIFY(m_messages->Texts().isEmpty());
        Load(PresetTestPath("gap.rcu"));
        QCOMPARE(ReadFile(Save(QStringLiteral("plain.rcu"))), ReadPresetTestFile("gap.rcu"));
    }

    // However the shown satellite moved, the focus frame and the selection are on its row: a click on
    // the row that was current before switches satellites instead of starting an edit.
    void currentCellFollowsTheShownSatellite_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("shown");
        for (const char* way : { "reopen", "refill", "load" })
            QTest::newRow(way) << way << 0;
        QTest::newRow("select one sat!") << "drag" << 2;
    }
    void currentCellFollowsTheShownSatellite()
    {
        QFETCH(QString, way);
        QFETCH(int, shown);
        FillRealisticTables();
        const QByteArray image = BuiltImage();
        const QString path = m_dir.filePath(QStringLiteral("tables.rcu"));
        // Trailing bytes up to the 100000-byte limit are read and ignored.
        QVERIFY(WriteFile(path, image + QByteArray(100000 - image.size(), '\0')));
        Show();
        ClickCell(Sat(), 3, 2);
        TypeCell(Tp(), 1, 1, QStringLiteral("12345"));
        int clicked = 3;
        if (way == "reopen") {
            m_fileAnswers << m_dir.filePath(QStringLiteral("reopen.rcu"));
            Button(*m_dlg, 1037)->click();
            m_dlg->show();
        } else if (way == "refill") {
            m_messages->QueueAnswer(IDNO);
            Button(*m_dlg, 1002)->click();
            Receive(image, int(image.size()));
            SaveShot(*m_dlg, "preset-editor.png");
        } else if (way == "load") {
            m_messages->QueueAnswer(IDNO);
            Load(path);
        } else {
            DragCells(Sat(), 5, 2, 6, 2);
            QCOMPARE(m_messages->Texts(), QStringList { "select one sat!" });
            m_messages->Clear();
            QCOMPARE(Tp().CellText(1, 1), QStringLiteral("12345"));
            clicked = 6;
        }
        QCOMPARE(g_nShownSat, shown);
        QCOMPARE(Sat().CurrentCell(), (GridPos { shown + 1, 1 }));
        QCOMPARE(Sat().SelectedBlock(), (GridBlock { shown + 1, 1, shown + 1, 1 }));
        ClickCell(Sat(), clicked, 2);
        QCOMPARE(g_nShownSat, clicked - 1);
        QVERIFY(!Sat().findChild<CGridDropList*>());
        // Rows go to the satellite they were shown for; a closing keeps them, a refill replaces them.
        TpList list {};
        GetSatTransponders(2, list);
        QCOMPARE(list[0].freq, way == "drag" || way == "reopen" ? 12345 : 10720);
    }

    // A save that cannot be finished leaves the old file whole; one that cannot start gathers nothing.
    void failedSavesKeepTheOldFile()
    {
        FillGapTables();
        const QByteArray old = BuiltImage();
        const QString path = m_dir.filePath(QStringLiteral("old.rcu"));
        QVERIFY(WriteFile(path, old));
        FillRealisticTables();
        Show();
        TypeCell(Sat(), 1, 1, QStringLiteral("Typed"));
        Save(QStringLiteral("no/such/dir/x.rcu"));
        QVERIFY(m_dlg->IsModified());
        // Past this size every write fails, as on a full disk.
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small { 512, limit.rlim_max };
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        Save(QStringLiteral("old.rcu"));
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(m_messages->Texts(), QStringList(2, QStringLiteral("File Open Error!!")));
        QCOMPARE(ReadFile(path), old);
        QCOMPARE(QDir(m_dir.path()).entryList({ "old.rcu*" }), QStringList { "old.rcu" });
        QVERIFY(m_dlg->IsModified());
    }

    void loadAndSaveFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        FillGapTables();
        const QByteArray image = BuiltImage();
        QByteArray otherModel = image;
        otherModel[76] = 'v';
        QTest::newRow("cancelled") << "" << QByteArray() << "";
        QTest::newRow("missing file") << "missing.rcu" << QByteArray() << "file open error!! (1)";
        QTest::newRow("other model") << "model.rcu" << otherModel << "File Open Error !! (2)";
        QTest::newRow("over 100000 bytes")
            << "big.rcu" << image + QByteArray(100000 - image.size() + 1, '\0') << "File Open Error !! (2)";
    }
    void loadAndSaveFailures()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(name);
        if (!bytes.isEmpty())
            QVERIFY(WriteFile(path, bytes));
        g_SatTable[0] = MakeSat("Kept");
        Show();
        ClickCell(Sat(), 2, 1);
        Load(name.isEmpty() ? QString() : path);
        QCOMPARE(m_messages->Texts(), message.isEmpty() ? QStringList() : QStringList { message });
        QCOMPARE(SatName(0), QStringLiteral("Kept"));
        QCOMPARE(Sat().CellText(1, 1), QStringLiteral("Kept"));
        QCOMPARE(g_nShownSat, 1);
    }

    // A copy that cannot start unlocks at once; received data that fails the checks is not used.
    void failedCopiesKeepTheTables()
    {
        const QByteArray image = GapImage();
        g_SatTable[0] = MakeSat("Kept");
        m_startResult = 0;
        Show();
        Button(*m_dlg, 1002)->click();
        QVERIFY(FileAndCopyButtons(*m_dlg, true) && !m_dlg->IsCopyRunning());
        QCOMPARE(StatusText(*m_dlg), QStringLiteral(" "));
        Button(*m_dlg, 1003)->click();
        QVERIFY(FileAndCopyButtons(*m_dlg, true));
        QCOMPARE(m_calls, (std::vector { std::pair(6, QByteArray()), std::pair(5, BuiltImage()) }));
        m_startResult = 1;
        TypeCell(Sat(), 1, 1, QStringLiteral("Still mine"));
        // Discarded for a receive that then fails: nothing replaced the work, so it is still there, unsaved.
        m_messages->QueueAnswer(IDNO);
        Button(*m_dlg, 1002)->click();
        // The store still holds a whole image, but this receive stored only its first bytes.
        Receive(image, 1024);
        QCOMPARE(SatName(0), QStringLiteral("Still mine"));
        QCOMPARE(Sat().CellText(1, 1), QStringLiteral("Still mine"));
        QCOMPARE(StatusText(*m_dlg), QStringLiteral("Received Data Error"));
        QVERIFY(m_dlg->IsModified());
        QCOMPARE(m_messages->Texts(), QStringList { "Save changes?" });
    }

    // During a copy a close request asks as EXIT does, while Enter and Escape (the copy's cancel) end nothing; a
    // receive that ends after EXIT still fills the tables.
    void exitAndAReceiveEndingWhileClosed()
    {
        const QByteArray image = GapImage();
        Show();
        Button(*m_dlg, 1002)->click();
        m_messages->QueueAnswer(IDNO);
        m_messages->QueueAnswer(IDNO);
        Button(*m_dlg, 1037)->click();
        m_dlg->close();
        QTest::keyClick(m_dlg.get(), Qt::Key_Return);
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
        QVERIFY(m_dlg->isVisible());
        Button(*m_dlg, 1037)->click();
        QCOMPARE(m_messages->Texts(), QStringList(3, "EXIT NOW?"));
        QCOMPARE(m_messages->Captions(), QStringList(3, "EDIT PRESET DATA"));
        QVERIFY(!m_dlg->isVisible());
        m_dlg->show();
        QVERIFY(FileAndCopyButtons(*m_dlg, false));
        m_dlg->hide();
        Notify(1, false);
        Receive(image, int(image.size()));
        QCOMPARE(SatName(0), kGapName);
        m_dlg->show();
        QVERIFY(FileAndCopyButtons(*m_dlg, true));
        QCOMPARE(Sat().CellText(1, 1), kGapName);
    }
};

QTEST_MAIN(TestPresetEditDlg)
#include "test_preseteditdlg.moc"
