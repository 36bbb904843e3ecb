#include "base/filedialog.h"
#include "base/transferprogressevent.h"
#include "editortestkit.h"
#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"
#include "messagerecorder.h"
#include "preset/cpresetgrid.h"
#include "preset/presetimage.h"
#include "saveshot.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

// The image of the gap tables; the tables are left as at program start.
QByteArray GapImage()
{
    FillGapTables();
    const QByteArray image = BuiltImage();
    ResetPresetTables();
    return image;
}

// Delivers a transfer notice the way the desktop tool does: to the window found by its title.
void Notify(unsigned count, bool sending)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() == QLatin1String("Edit Preset Data")) {
            CTransferProgressEvent notice(count, sending);
            QApplication::sendEvent(window, &notice);
            return;
        }
    }
}

// The first slot of the gap tables, the only one their image carries.
const QString kGapName = QString::fromLatin1("T\xe9l\xe9"
                                             "com 2");

} // namespace

class TestPresetEditDlg : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<CPresetEditDlg> m_dlg;
    QStringList m_fileAnswers;
    QTemporaryDir m_dir;
    std::vector<std::pair<int, QByteArray>> m_calls;
    int m_startResult = 1;
    QByteArray m_received;

    CPresetGrid& Sat() { return m_dlg->SatGrid(); }
    CPresetGrid& Tp() { return m_dlg->TpGrid(); }
    void Show()
    {
        m_dlg = std::make_unique<CPresetEditDlg>();
        m_dlg->SetTransferLink(
            [this](TransferKind kind, const std::uint8_t* data, std::uint32_t length, unsigned) {
                m_calls.emplace_back(int(kind), QByteArray(reinterpret_cast<const char*>(data), qsizetype(length)));
                return m_startResult;
            },
            [this] { return QByteArrayView(m_received); });
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    }
    QString Save(const QString& name)
    {
        m_fileAnswers << m_dir.filePath(name);
        Button(*m_dlg, 1001)->click();
        return m_dir.filePath(name);
    }
    void Load(const QString& path)
    {
        m_fileAnswers << path;
        Button(*m_dlg, 1000)->click();
    }
    // Ends a receive that stored the first length bytes of image, with the engine's last notices.
    void Receive(const QByteArray& image, int length)
    {
        m_received = image.left(length);
        Notify(65, false);
        Notify(0, false);
    }

private slots:
    void init()
    {
        ResetPresetTables();
        g_nShownSat = 0;
        m_messages = std::make_unique<MessageRecorder>();
        m_fileAnswers.clear();
        m_calls.clear();
        m_startResult = 1;
        SetFileDialogHandler([this](const FileDialogRequest& request) {
            if (request.filter != QLatin1String(kRcuFilter) || request.defaultSuffix != QLatin1String("rcu"))
                return QString();
            return m_fileAnswers.isEmpty() ? QString() : m_fileAnswers.takeFirst();
        });
    }
    void cleanup()
    {
        m_dlg.reset();
        SetFileDialogHandler(nullptr);
        m_messages.reset();
    }

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

    void clickingAnotherSatelliteCommitsTheShownRows()
    {
        Show();
        TypeCell(Tp(), 1, 1, QStringLiteral("11778"), Qt::Key_Tab);
        QTest::keyClicks(OpenEditor(Tp()), QStringLiteral("27500"));
        QTest::keyClick(OpenEditor(Tp()), Qt::Key_Return);
        TypeCell(Tp(), 2, 1, QStringLiteral("12054"));
        // Left open: the click on the satellite grid ends this edit before the rows are committed.
        ClickCell(Tp(), 2, 2);
        QTest::keyClicks(&Tp(), QStringLiteral("2"));
        QTest::keyClicks(OpenEditor(Tp()), QStringLiteral("2000"));
        QCOMPARE(g_TpTable[0].freq, 0);
        TypeCell(Sat(), 2, 1, QStringLiteral("Hot Bird"));
        QCOMPARE(g_nShownSat, 1);
        QCOMPARE(CountTransponders(g_TpTable), 2);
        const pre_tp_t& first = g_TpTable[0];
        QCOMPARE(std::tuple(first.freq, first.symbol, first.sat_num, first.fec, first.polar),
            std::tuple(11778, 27500, 0, Auto, POL_Auto));
        QCOMPARE(std::tuple(g_TpTable[1].freq, g_TpTable[1].symbol), std::tuple(12054, 22000));
        QCOMPARE(Rows(Tp(), 1, 1), QStringList { "|||" });
        ClickCell(Sat(), 1, 1);
        QCOMPARE(Rows(Tp(), 1, 1), QStringList { "11778|27500|AUTO|AUTO" });
        QVERIFY(m_messages->Texts().isEmpty());
    }

    // One Delete on a frequency or a symbol rate costs that row alone; the file keeps its format.
    void aDeletedRowCostsOnlyItself()
    {
        FillRealisticTables();
        g_TpTable[43].symbol = 0;
        Show();
        for (const auto& [row, column] : { std::pair(5, 1), std::pair(9, 2) }) {
            ClickCell(Tp(), row, column);
            QTest::keyClick(&Tp(), Qt::Key_Delete);
        }
        ClickCell(Sat(), 2, 1);
        // A transponder without a symbol rate ends the shown list and goes at the next commit.
        QCOMPARE(Rows(Tp(), 4, 4), QStringList { "10804|||" });
        const QString saved = Save(QStringLiteral("deleted.rcu"));
        FillRealisticTables();
        for (const std::size_t i : { 43, 8, 4 })
            std::copy(g_TpTable.begin() + i + 1, g_TpTable.end(), g_TpTable.begin() + i);
        QCOMPARE(ReadFile(saved), BuiltImage());
        QCOMPARE(CountTransponders(g_TpTable), 70 - 3);
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
            Button(*m_dlg, 1037)->click();
            m_dlg->show();
        } else if (way == "refill") {
            Button(*m_dlg, 1002)->click();
            Receive(image, int(image.size()));
            SaveShot(*m_dlg, "preset-editor.png");
        } else if (way == "load") {
            Load(path);
        } else {
            DragCells(Sat(), 5, 2, 6, 2);
            QCOMPARE(m_messages->Texts(), QStringList { "select one sat!" });
            QCOMPARE(Tp().CellText(1, 1), QStringLiteral("12345"));
            clicked = 6;
        }
        QCOMPARE(g_nShownSat, shown);
        QCOMPARE(Sat().CurrentCell(), (GridPos { shown + 1, 1 }));
        QCOMPARE(Sat().SelectedBlock(), (GridBlock { shown + 1, 1, shown + 1, 1 }));
        ClickCell(Sat(), clicked, 2);
        QCOMPARE(g_nShownSat, clicked - 1);
        QVERIFY(!Sat().findChild<CGridDropList*>());
        // Rows go to the satellite they were shown for; a refill or a closing drops them.
        TpList list {};
        GetSatTransponders(2, list);
        QCOMPARE(list[0].freq, way == "drag" ? 12345 : 10720);
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
        QCOMPARE(SatName(0), QStringLiteral("Astra 19.2E"));
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
    }

    void satelliteGridEditsGatherOnSave()
    {
        g_SatTable[0] = MakeSat("One");
        g_SatTable[1] = MakeSat("Old");
        g_LnbTable[1] = { 10750, 9750, 0, {}, {} };
        Show();
        ClickCell(Sat(), 1, 2);
        ClickCell(Sat(), 1, 2);
        auto* list = Sat().findChild<CGridDropList*>();
        QVERIFY(list && list->isVisible());
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), QStringLiteral("10750"));
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        // Typing starts an edit box, not the list.
        ClickCell(Sat(), 2, 2);
        QTest::keyClicks(&Sat(), QStringLiteral("U"));
        QLineEdit* box = OpenEditor(Sat());
        QVERIFY(qobject_cast<CGridEditBox*>(box));
        QTest::keyClicks(box, QStringLiteral("niversal"));
        QTest::keyClick(box, Qt::Key_Return);
        // Neither Enter nor Escape ends the dialog.
        QTest::keyClick(m_dlg.get(), Qt::Key_Return);
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
        QVERIFY(m_dlg->isVisible());
        TypeCell(Sat(), 1, 1, QStringLiteral("Thirteen char"));
        // The name editor refuses a 14th character: the grid shows only what a slot can hold.
        TypeCell(Sat(), 2, 1, QStringLiteral("Fourteen chars"));
        QCOMPARE(Sat().CellText(2, 1), QStringLiteral("Fourteen char"));
        Save(QStringLiteral("sat.rcu"));
        const auto lnb = [](int slot) {
            const pre_lnb_t& l = g_LnbTable[std::size_t(slot)];
            return std::tuple(int(l.lnb_type), int(l.lnb_freq1), int(l.lnb_freq2));
        };
        QCOMPARE(lnb(0), std::tuple(0, 10750, 9750));
        QCOMPARE(lnb(1), std::tuple(1, 10600, 9750));
        QCOMPARE(SatName(0), QStringLiteral("Thirteen char"));
        QCOMPARE(SatName(1), QStringLiteral("Fourteen char"));
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
        TypeCell(Sat(), 1, 1, QStringLiteral("Not committed"));
        Button(*m_dlg, 1002)->click();
        // The store still holds a whole image, but this receive stored only its first bytes.
        Receive(image, 1024);
        QCOMPARE(SatName(0), QStringLiteral("Kept"));
        QCOMPARE(Sat().CellText(1, 1), QStringLiteral("Kept"));
        QCOMPARE(StatusText(*m_dlg), QStringLiteral("Received Data Error"));
        QVERIFY(m_messages->Texts().isEmpty());
    }

    // EXIT asks first and a close request is ignored; a receive that ends after EXIT still fills the tables.
    void exitAndAReceiveEndingWhileClosed()
    {
        const QByteArray image = GapImage();
        Show();
        Button(*m_dlg, 1002)->click();
        m_messages->QueueAnswer(IDNO);
        Button(*m_dlg, 1037)->click();
        QVERIFY(!m_dlg->close() && m_dlg->isVisible());
        Button(*m_dlg, 1037)->click();
        QCOMPARE(m_messages->Texts(), QStringList(2, "EXIT NOW?"));
        QCOMPARE(m_messages->Captions(), QStringList(2, "EDIT PRESET DATA"));
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
