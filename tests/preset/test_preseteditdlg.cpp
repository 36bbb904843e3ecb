#include "base/filedialog.h"
#include "base/transferprogressevent.h"
#include "editortestkit.h"
#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"
#include "messagerecorder.h"
#include "preset/cpresetgrid.h"
#include "preset/presetimage.h"
#include "transfer/receivestore.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>

#include <memory>
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

struct TransferCall {
    int kind;
    QByteArray data;
};

} // namespace

class TestPresetEditDlg : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<CPresetEditDlg> m_dlg;
    QStringList m_fileAnswers;
    QTemporaryDir m_dir;
    std::vector<TransferCall> m_calls;
    int m_startResult = 1;
    int m_receivedLength = 0;

    CPresetGrid& Sat() { return m_dlg->SatGrid(); }
    CPresetGrid& Tp() { return m_dlg->TpGrid(); }
    void Show()
    {
        m_dlg = std::make_unique<CPresetEditDlg>();
        m_dlg->SetTransferLink(
            [this](int kind, const std::uint8_t* data, std::uint32_t length) {
                m_calls.push_back({ kind, QByteArray(reinterpret_cast<const char*>(data), qsizetype(length)) });
                return m_startResult;
            },
            [this] { return m_receivedLength; });
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
    [[nodiscard]] bool FileAndCopyButtonsEnabled(bool enabled) { return FileAndCopyButtons(*m_dlg, enabled); }

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
        QCOMPARE(Sat().GetRows(), 65);
        QCOMPARE(Sat().GetColumns(), 3);
        QCOMPARE(Sat().SelectedBlock(), (GridBlock { 1, 1, 1, 1 }));
        QCOMPARE(g_nShownSat, 0);
        QCOMPARE(RowTexts(Sat(), 0), (QStringList { "Satellite Name", "LNB Type" }));
        QCOMPARE(Sat().CellText(0, 0), QStringLiteral(" "));
        QCOMPARE(RowTexts(Sat(), 1), (QStringList { "Astra 19.2E", "Universal" }));
        QCOMPARE(RowTexts(Sat(), 2), (QStringList { "", "" }));
        QCOMPARE(RowTexts(Sat(), 3), (QStringList { "Hot Bird", "9750" }));
        QCOMPARE(Sat().CellText(64, 0), QStringLiteral("64"));
        QCOMPARE(Tp().GetRows(), 513);
        QCOMPARE(Tp().GetColumns(), 5);
        QCOMPARE(RowTexts(Tp(), 0), (QStringList { "Frequency", "Symbolrate", "   FEC   ", "Polarization" }));
        QCOMPARE(RowTexts(Tp(), 1), (QStringList { "11778", "27500", "3/4", "VER." }));
        QCOMPARE(RowTexts(Tp(), 2), (QStringList { "12054", "22000", "AUTO", "HOR." }));
        for (int r : { 3, 100, 512 })
            QCOMPARE(RowTexts(Tp(), r), (QStringList { "", "", "", "" }));
        QCOMPARE(Tp().CellText(512, 0), QStringLiteral("512"));
        QCOMPARE(Sat().CellFormat(0, 1), std::uint32_t(DT_CENTER | DT_WORDBREAK));
        QCOMPARE(Tp().CellFormat(0, 1), std::uint32_t(DT_WORDBREAK));
        QCOMPARE(Tp().CellFormat(5, 0), std::uint32_t(DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS));
        QCOMPARE(Tp().CellFormat(5, 3), std::uint32_t(DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS));
        QVERIFY(m_messages->Texts().isEmpty());
    }

    void clickingAnotherSatelliteCommitsTheRowsBeforeABlankRow()
    {
        Show();
        TypeCell(Tp(), 1, 1, QStringLiteral("11778"), Qt::Key_Tab);
        QTest::keyClicks(OpenEditor(Tp()), QStringLiteral("27500"));
        QTest::keyClick(OpenEditor(Tp()), Qt::Key_Return);
        TypeCell(Tp(), 2, 1, QStringLiteral("12054"));
        // A row after a blank row is dropped.
        TypeCell(Tp(), 4, 1, QStringLiteral("11004"));
        TypeCell(Tp(), 4, 2, QStringLiteral("27500"));
        // Left open: the click on the satellite grid ends this edit before the rows are committed.
        ClickCell(Tp(), 2, 2);
        QTest::keyClicks(&Tp(), QStringLiteral("2"));
        QTest::keyClicks(OpenEditor(Tp()), QStringLiteral("2000"));
        QCOMPARE(g_TpTable[0].freq, 0);
        TypeCell(Sat(), 2, 1, QStringLiteral("Hot Bird"));
        QCOMPARE(g_nShownSat, 1);
        QCOMPARE(CountTransponders(g_TpTable), 2);
        QCOMPARE(g_TpTable[0].freq, 11778);
        QCOMPARE(g_TpTable[0].symbol, 27500);
        QCOMPARE(g_TpTable[0].sat_num, 0);
        QCOMPARE(g_TpTable[0].fec, Auto);
        QCOMPARE(g_TpTable[0].polar, POL_Auto);
        QCOMPARE(g_TpTable[1].freq, 12054);
        QCOMPARE(g_TpTable[1].symbol, 22000);
        QCOMPARE(RowTexts(Tp(), 1), (QStringList { "", "", "", "" }));
        QCOMPARE(Sat().CellText(2, 1), QStringLiteral("Hot Bird"));
        ClickCell(Sat(), 1, 1);
        QCOMPARE(RowTexts(Tp(), 1), (QStringList { "11778", "27500", "AUTO", "AUTO" }));
        QCOMPARE(Tp().CellText(2, 2), QStringLiteral("22000"));
        QCOMPARE(RowTexts(Tp(), 4), (QStringList { "", "", "", "" }));
        QVERIFY(m_messages->Texts().isEmpty());
    }

    void zeroSymbolRateEndsTheShownList()
    {
        g_TpTable[0] = MakeTp(11778, 0, 0, Fec3_4, POL_Vertical);
        g_TpTable[1] = MakeTp(12054, 0, 27500, Fec1_2, POL_Horizontal);
        Show();
        QCOMPARE(RowTexts(Tp(), 1), (QStringList { "11778", "", "", "" }));
        QCOMPARE(RowTexts(Tp(), 2), (QStringList { "", "", "", "" }));
        ClickCell(Sat(), 2, 1);
        QCOMPARE(CountTransponders(g_TpTable), 1);
        QCOMPARE(g_TpTable[0].symbol, 0);
        QCOMPARE(g_TpTable[0].fec, Auto);
        QCOMPARE(g_TpTable[0].polar, POL_Auto);
    }

    void dragOverTwoSatellitesKeepsTheShownSatellite()
    {
        g_TpTable[0] = MakeTp(11778, 1, 27500);
        Show();
        ClickCell(Sat(), 2, 1);
        QCOMPARE(g_nShownSat, 1);
        TypeCell(Tp(), 2, 1, QStringLiteral("12000"));
        TypeCell(Tp(), 2, 2, QStringLiteral("30000"));
        DragCells(Sat(), 3, 1, 4, 1);
        QCOMPARE(Sat().SelectedCount(), 2);
        QCOMPARE(m_messages->Texts(), QStringList { "select one sat!" });
        QCOMPARE(g_nShownSat, 1);
        QCOMPARE(Tp().CellText(2, 1), QStringLiteral("12000"));
        TypeCell(Tp(), 3, 1, QStringLiteral("12100"));
        TypeCell(Tp(), 3, 2, QStringLiteral("30000"));
        ClickCell(Sat(), 5, 1);
        QCOMPARE(g_nShownSat, 4);
        QCOMPARE(CountTransponders(g_TpTable), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(g_TpTable[std::size_t(i)].sat_num, 1);
        QCOMPARE(g_TpTable[2].freq, 12100);
    }

    void satelliteGridEditsGatherOnSave()
    {
        g_SatTable[0] = MakeSat("One");
        g_SatTable[1] = MakeSat("Old");
        g_SatTable[2] = MakeSat("Intelsat");
        g_LnbTable[1] = { 10750, 9750, 0, {}, {} };
        Show();
        ClickCell(Sat(), 1, 2);
        ClickCell(Sat(), 1, 2);
        auto* list = Sat().findChild<CGridDropList*>();
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->Column(), 2);
        QCOMPARE(list->count(), 15);
        QCOMPARE(list->itemText(0), QStringLiteral("Universal"));
        QCOMPARE(list->itemText(9), QStringLiteral("10750"));
        QCOMPARE(list->itemText(14), QStringLiteral("11475"));
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), QStringLiteral("10750"));
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        QCOMPARE(Sat().CellText(1, 2), QStringLiteral("10750"));
        // Typing starts an edit box, not the list.
        ClickCell(Sat(), 2, 2);
        QTest::keyClicks(&Sat(), QStringLiteral("U"));
        QLineEdit* box = OpenEditor(Sat());
        QVERIFY(qobject_cast<CGridEditBox*>(box));
        QTest::keyClicks(box, QStringLiteral("niversal"));
        QTest::keyClick(box, Qt::Key_Return);
        // Enter on a cell writes a Standard LNB; neither Enter nor Escape ends the dialog.
        ClickCell(Sat(), 3, 2);
        QTest::keyClick(&Sat(), Qt::Key_Return);
        QTest::keyClick(m_dlg.get(), Qt::Key_Return);
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
        QVERIFY(m_dlg->isVisible());
        QCOMPARE(Sat().CellText(3, 2), QStringLiteral("5150"));
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
        QCOMPARE(lnb(2), std::tuple(0, 5150, 9750));
        QCOMPARE(SatName(0), QStringLiteral("Thirteen char"));
        QCOMPARE(SatName(1), QStringLiteral("Fourteen char"));
    }

    void transponderColumnEditors()
    {
        Show();
        TypeCell(Tp(), 1, 1, QStringLiteral("11778"));
        ClickCell(Tp(), 1, 3);
        ClickCell(Tp(), 1, 3);
        auto* fec = Tp().findChild<CGridDropList*>();
        QVERIFY(fec && fec->isVisible());
        QCOMPARE(fec->count(), 6);
        QCOMPARE(fec->itemText(5), QStringLiteral("AUTO"));
        fec->setCurrentIndex(2);
        QTest::keyClick(fec->lineEdit(), Qt::Key_Return);
        QCOMPARE(Tp().CellText(1, 3), QStringLiteral("3/4"));
        TypeCell(Tp(), 1, 4, QStringLiteral("ver."));
        TypeCell(Tp(), 1, 2, QStringLiteral("-1"));
        TpList list {};
        m_dlg->GatherTransponderGrid(list);
        QCOMPARE(list[0].symbol, 65535);
        QCOMPARE(list[0].fec, Fec3_4);
        QCOMPARE(list[0].polar, POL_Vertical);
        QCOMPARE(list[1].freq, 0);
    }

    void loadingCommitsToSlotZeroNext()
    {
        // Trailing bytes up to the 100000-byte limit are read and ignored.
        const QByteArray image = GapImage();
        const QString path = m_dir.filePath(QStringLiteral("gap.rcu"));
        QVERIFY(WriteFile(path, image + QByteArray(100000 - image.size(), '\0')));
        Show();
        ClickCell(Sat(), 6, 1);
        QCOMPARE(g_nShownSat, 5);
        TypeCell(Tp(), 1, 1, QStringLiteral("9999"));
        Load(path);
        QCOMPARE(g_nShownSat, 0);
        QCOMPARE(Sat().SelectedBlock(), (GridBlock { 1, 1, 1, 1 }));
        QCOMPARE(Sat().CellText(1, 1), kGapName);
        QCOMPARE(RowTexts(Tp(), 1), (QStringList { "11778", "27500", "3/4", "VER." }));
        TypeCell(Tp(), 3, 1, QStringLiteral("12300"));
        TypeCell(Tp(), 3, 2, QStringLiteral("27500"));
        ClickCell(Sat(), 4, 1);
        TpList list {};
        GetSatTransponders(0, list);
        QCOMPARE(list[2].freq, 12300);
        GetSatTransponders(5, list);
        QCOMPARE(list[0].freq, 0);
        QVERIFY(m_messages->Texts().isEmpty());
    }

    void saveAndLoadRoundTrip()
    {
        FillRealisticTables();
        Show();
        TypeCell(Tp(), 41, 1, QStringLiteral("12700"));
        const QString first = Save(QStringLiteral("first.rcu"));
        QCOMPARE(ReadFile(first), BuiltImage());
        QCOMPARE(ReadFile(first).size(), 1124 + 24 * 6 + 8 * (40 + 4 + 5 + 6 + 7 + 8 + 1));
        const QStringList satTexts = AllTexts(Sat());
        const QStringList tpTexts = AllTexts(Tp());
        ResetPresetTables();
        m_dlg->OnInitDialog();
        QVERIFY(AllTexts(Sat()) != satTexts);
        Load(first);
        QCOMPARE(AllTexts(Sat()), satTexts);
        QCOMPARE(AllTexts(Tp()), tpTexts);
        QCOMPARE(ReadFile(Save(QStringLiteral("second.rcu"))), ReadFile(first));
        QVERIFY(m_messages->Texts().isEmpty());
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
        QTest::newRow("missing file") << "missing.rcu" << QByteArray() << "file open error!! (1)";
        QTest::newRow("other model") << "model.rcu" << otherModel << "File Open Error !! (2)";
        QTest::newRow("cut short") << "short.rcu" << image.left(image.size() - 1) << "File Open Error !! (2)";
        QTest::newRow("over 100000 bytes") << "big.rcu" << image + QByteArray(100000 - image.size() + 1, '\0')
                                           << "File Open Error !! (2)";
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
        Load(path);
        QCOMPARE(m_messages->Texts(), QStringList { message });
        QCOMPARE(SatName(0), QStringLiteral("Kept"));
        QCOMPARE(Sat().CellText(1, 1), QStringLiteral("Kept"));
        QCOMPARE(g_nShownSat, 1);
    }

    void loadCancelAndFailedSaveChangeNothing()
    {
        Show();
        Button(*m_dlg, 1000)->click();
        TypeCell(Sat(), 1, 1, QStringLiteral("Typed"));
        m_fileAnswers << m_dir.filePath(QStringLiteral("no/such/dir/x.rcu"));
        Button(*m_dlg, 1001)->click();
        QCOMPARE(m_messages->Texts(), QStringList { "File Open Error!!" });
        QCOMPARE(SatName(0), QString());
    }

    void exitAsksAndCloseRequestsAreIgnored()
    {
        Show();
        m_messages->QueueAnswer(IDNO);
        Button(*m_dlg, 1037)->click();
        QVERIFY(m_dlg->isVisible());
        QCOMPARE(m_messages->Texts(), QStringList { "EXIT NOW?" });
        QCOMPARE(m_messages->Captions(), QStringList { "EDIT PRESET DATA" });
        QVERIFY(!m_dlg->close());
        QVERIFY(m_dlg->isVisible());
        m_messages->QueueAnswer(IDYES);
        Button(*m_dlg, 1037)->click();
        QVERIFY(!m_dlg->isVisible());
        QCOMPARE(m_dlg->result(), int(QDialog::Accepted));
    }

    void refusedOrPartialReceiveLeavesTheTables()
    {
        const QByteArray image = GapImage();
        g_SatTable[0] = MakeSat("Before");
        Show();
        TypeCell(Sat(), 1, 1, QStringLiteral("Not committed"));
        Button(*m_dlg, 1002)->click();
        // The store still holds a whole image, but this receive stored only its first bytes.
        std::copy(image.begin(), image.end(), g_ReceiveStore.begin());
        m_receivedLength = 1024;
        Notify(65, false);
        Notify(0, false);
        QCOMPARE(SatName(0), QStringLiteral("Before"));
        QCOMPARE(Sat().CellText(1, 1), QStringLiteral("Before"));
        QCOMPARE(StatusText(*m_dlg), QStringLiteral("Received Data Error"));
        QVERIFY(m_messages->Texts().isEmpty());
    }

    void abandonedCopyUnlocksAndKeepsTheTables()
    {
        g_SatTable[0] = MakeSat("Kept");
        m_startResult = 0;
        Show();
        Button(*m_dlg, 1002)->click();
        QVERIFY(FileAndCopyButtonsEnabled(true));
        QVERIFY(!m_dlg->IsCopyRunning());
        QCOMPARE(StatusText(*m_dlg), QStringLiteral(" "));
        Button(*m_dlg, 1003)->click();
        QVERIFY(FileAndCopyButtonsEnabled(true));
        QCOMPARE(m_calls.size(), std::size_t(2));
        QCOMPARE(m_calls[0].kind, 6);
        QVERIFY(m_calls[0].data.isEmpty());
        QCOMPARE(m_calls[1].kind, 5);
        QCOMPARE(m_calls[1].data, BuiltImage());
        QCOMPARE(SatName(0), QStringLiteral("Kept"));
    }

    void receiveEndingWhileClosedReachesTheTables()
    {
        const QByteArray image = GapImage();
        Show();
        Button(*m_dlg, 1002)->click();
        Button(*m_dlg, 1037)->click();
        QVERIFY(!m_dlg->isVisible());
        m_dlg->show();
        QVERIFY(FileAndCopyButtonsEnabled(false));
        m_dlg->hide();
        std::copy(image.begin(), image.end(), g_ReceiveStore.begin());
        m_receivedLength = int(image.size());
        Notify(1, false);
        Notify(65, false);
        Notify(0, false);
        QCOMPARE(SatName(0), kGapName);
        m_dlg->show();
        QVERIFY(FileAndCopyButtonsEnabled(true));
        QCOMPARE(Sat().CellText(1, 1), kGapName);
    }

    void screenshots()
    {
        FillRealisticTables();
        Show();
        ClickCell(Sat(), 2, 1);
        ClickCell(Sat(), 1, 1);
        const QString dir = qEnvironmentVariable("TESSAVO_SCREENSHOT_DIR");
        const QPixmap editor = m_dlg->grab();
        QVERIFY(!editor.isNull());
        Button(*m_dlg, 1003)->click();
        Notify(1, true);
        const QPixmap copying = m_dlg->grab();
        QVERIFY(copying.toImage() != editor.toImage());
        if (!dir.isEmpty()) {
            QVERIFY(editor.save(dir + QStringLiteral("/preset-editor.png")));
            QVERIFY(copying.save(dir + QStringLiteral("/preset-editor-copy.png")));
        }
    }

};

QTEST_MAIN(TestPresetEditDlg)
#include "test_preseteditdlg.moc"
