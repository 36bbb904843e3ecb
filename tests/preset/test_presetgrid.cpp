// The preset editor's grids under real keys and mouse: what the editor turns on in the grid for
// its columns and the clipboard into the transponder grid.
#include "editortestkit.h"

#include <QClipboard>

class TestPresetGrid : public QObject, public EditorSession {
    Q_OBJECT

private slots:
    void init()
    {
        Begin();
        ShowActive();
    }
    void cleanup() { End(); }

    void aSpreadsheetTablePastedIntoAnEmptySatelliteIsSaved()
    {
        TypeCell(Sat(), 1, 1, QStringLiteral("Astra 19.2E"));
        ClickCell(Tp(), 1, 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("11778\t27500\t3/4\tVER.\r\n"
                                                             "12054\t22000\tAUTO\thor.\r\n"
                                                             "3880\t4340\t1/2\tAUTO\r\n"
                                                             "10714\t27500\t7/8\tHOR.\r\n"));
        QTest::keyClick(&Tp(), Qt::Key_V, Qt::ControlModifier);
        const QString saved = Save(QStringLiteral("pasted.rcu"));
        QVERIFY(m_messages->Texts().isEmpty());

        ResetPresetTables();
        g_SatTable[0] = MakeSat("Astra 19.2E");
        g_TpTable[0] = MakeTp(11778, 0, 27500, Fec3_4, POL_Vertical);
        g_TpTable[1] = MakeTp(12054, 0, 22000, Auto, POL_Horizontal);
        g_TpTable[2] = MakeTp(3880, 0, 4340, Fec1_2, POL_Auto);
        g_TpTable[3] = MakeTp(10714, 0, 27500, Fec7_8, POL_Horizontal);
        QCOMPARE(ReadFile(saved), BuiltImage());
    }

    // Enter writes a Standard LNB only in the LNB column (the editor's undo test sees that): elsewhere it edits.
    void enterEditsTheNameAndNumberColumns()
    {
        for (CGridCtrl* grid : { static_cast<CGridCtrl*>(&Sat()), static_cast<CGridCtrl*>(&Tp()) }) {
            ClickCell(*grid, 3, 1);
            QTest::keyClick(grid, Qt::Key_Return);
            QLineEdit* edit = OpenEditor(*grid);
            QVERIFY(edit);
            // Centred as the cell is, so the text does not jump when the edit starts.
            QCOMPARE(edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
            QTest::keyClicks(edit, QStringLiteral("12"));
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(grid->CellText(3, 1), QStringLiteral("12"));
        }
    }

    // A typed or pasted text is stored in the form the tables hold, or refused: the cells keep their
    // values and the status line says why. A paste with any refused cell changes nothing.
    void typedAndPastedTexts_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("status");
        const QStringList before { "11778|27500|3/4|VER.", "12054|22000|AUTO|HOR.", "Universal" };
        const auto with = [&](int at, const char* text) {
            QStringList cells = before;
            cells[at] = QString::fromLatin1(text);
            return cells;
        };
        QTest::newRow("typed 99999999") << 1 << "99999999" << false << before << "Frequency: 0 to 65535";
        QTest::newRow("typed horizontal") << 4 << "horizontal" << false << with(0, "11778|27500|3/4|HOR.") << "";
        QTest::newRow("typed LNB 107500") << -2 << "107500" << false << before << "LNB Type: Universal or 0 to 65535";
        QTest::newRow("typed LNB 950") << -2 << "950" << false << with(2, "950") << "";
        QTest::newRow("pasted half bad") << 1 << "11000\t27500\n70000\t22000" << true << before
                                         << "Nothing pasted: 1 cell refused, Frequency: 0 to 65535";
        QTest::newRow("pasted whole words")
            << 3 << "1/2\tVertical\n5\thorizontal" << true
            << QStringList { "11778|27500|1/2|VER.", "12054|22000|5/6|HOR.", "Universal" } << "";
    }
    void typedAndPastedTexts()
    {
        QFETCH(int, column);
        QFETCH(QString, input);
        QFETCH(bool, paste);
        QFETCH(QStringList, cells);
        QFETCH(QString, status);
        g_SatTable[0] = MakeSat("Astra 19.2E");
        g_TpTable[0] = MakeTp(11778, 0, 27500, Fec3_4, POL_Vertical);
        g_TpTable[1] = MakeTp(12054, 0, 22000, Auto, POL_Horizontal);
        m_dlg->FillSatelliteGrid();
        m_dlg->FillTransponderGrid();
        // A negative column is the satellite grid's, where a mouse edit of the LNB Type opens the LNB list.
        CGridCtrl& grid = column < 0 ? static_cast<CGridCtrl&>(Sat()) : Tp();
        column = std::abs(column);
        if (paste) {
            ClickCell(grid, 1, column);
            QGuiApplication::clipboard()->setText(input);
            QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        } else {
            TypeCell(grid, 1, column, input);
        }
        QCOMPARE(Rows(Tp(), 1, 2) << Sat().CellText(1, 2), cells);
        QCOMPARE(StatusText(*m_dlg), status);
    }
};

QTEST_MAIN(TestPresetGrid)
#include "test_presetgrid.moc"
