#include "../tools/emulatorprocess.h"
#include "base/filedialog.h"
#include "saveshot.h"
#include "station/cstationtile.h"
#include "station/cstationwindow.h"
#include "station/stationrecords.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

namespace {

// A station window with an image of size random bytes, logging into a folder of its own.
struct Bench {
    explicit Bench(int size = 8192)
    {
        QByteArray bytes(size, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
        QFile file(dir.filePath("image.bin"));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        sha = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        window.SetLogPath(dir.filePath("station.jsonl"));
        window.OpenImage(file.fileName());
        window.findChild<QDoubleSpinBox*>("rearm")->setValue(0.3);
    }
    // One emulator per line, each with args, the lines typed in; false when one did not start.
    [[nodiscard]] bool AddEmulators(const QList<QStringList>& args)
    {
        for (const QStringList& each : args) {
            emulators.push_back(std::make_unique<EmulatorProcess>(each));
            window.AddTypedLine(emulators.back()->Device());
        }
        return window.Tile(int(args.size()) - 1) != nullptr;
    }
    [[nodiscard]] QString Text(int line, const char* label) const
    {
        return window.Tile(line) ? window.Tile(line)->findChild<QLabel*>(label)->text() : QString("(no line)");
    }
    [[nodiscard]] QString Totals() const { return window.findChild<QLabel*>("totals")->text().simplified(); }
    [[nodiscard]] QTreeWidget* Records() const { return window.findChild<QTreeWidget*>("records"); }
    void Click(const char* name) { window.findChild<QAbstractButton*>(name)->click(); }

    QTemporaryDir dir;
    QString sha;
    CStationWindow window;
    std::vector<std::unique_ptr<EmulatorProcess>> emulators;
};

const QStringList kTwoReceivers { "--receivers", "2", "--swap-gap", "1500" };

} // namespace

class TestStationWindow : public QObject {
    Q_OBJECT
private slots:
    // Two lines of two receivers each: every tile ends at PASS with two done, and the four records are
    // listed and exported as the day's CSV.
    void tilesFollowARunAndTheDayExports()
    {
        Bench bench;
        QVERIFY(bench.AddEmulators({ kTwoReceivers, kTwoReceivers }));
        bench.window.show();
        bench.Click("startAll");
        QTRY_COMPARE_WITH_TIMEOUT(bench.Totals().section(' ', 0, 3), QString("Passed 4 Failed 0"), 60000);
        for (int line : { 0, 1 }) {
            QCOMPARE(bench.Text(line, "state"), QString("PASS"));
            QCOMPARE(bench.Text(line, "count"), QString("Receivers: 2"));
            QCOMPARE(
                bench.window.Tile(line)->palette().color(QPalette::Window), CStationTile::StateColor(LineState::Pass));
        }
        QCOMPARE(bench.Records()->topLevelItemCount(), 4);
        QStringList seen;
        for (int row = 0; row < 4; ++row) {
            const QTreeWidgetItem* item = bench.Records()->topLevelItem(row);
            QCOMPARE(std::pair(item->text(3), item->text(6)), std::pair(QString("PASS"), bench.sha));
            seen << item->text(1) + " " + item->text(2);
        }
        seen.sort();
        const QString a = bench.emulators[0]->Device(), b = bench.emulators[1]->Device();
        QStringList expected { a + " 1", a + " 2", b + " 1", b + " 2" };
        expected.sort(); // pts/10 sorts before pts/9
        QCOMPARE(seen, expected);

        const QString csvPath = bench.dir.filePath("day.csv");
        const FileDialogHandler previous = SetFileDialogHandler(
            [&](const FileDialogRequest& request) { return request.filter == "csv (*.csv)" ? csvPath : QString(); });
        bench.Click("exportCsv");
        SetFileDialogHandler(previous);
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        QCOMPARE(lines.size(), 6); // header, four records, nothing after the last CR LF
        for (int row = 1; row <= 4; ++row)
            QVERIFY(lines[row].contains(",completed,") && lines[row].contains(bench.sha.toLatin1()));
    }

    // A receiver that refuses a frame turns its tile red with the reason; the line goes on waiting.
    void failingReceiverShowsRedWithTheReason()
    {
        Bench bench;
        QVERIFY(bench.AddEmulators({ { "--fail-receiver", "1" } }));
        bench.Click("startAll");
        QTRY_COMPARE_WITH_TIMEOUT(bench.Text(0, "state"), QString("FAIL"), 30000);
        QCOMPARE(bench.window.Tile(0)->palette().color(QPalette::Window), CStationTile::StateColor(LineState::Fail));
        QVERIFY(!bench.Text(0, "detail").isEmpty());
        QCOMPARE(bench.Records()->topLevelItem(0)->text(3), QString("FAIL"));
        QCOMPARE(bench.Records()->topLevelItem(0)->text(5), bench.Text(0, "detail"));
        QVERIFY(bench.Totals().startsWith("Passed 0 Failed 1"));
    }

    // Lines that do not exist show Lost and leave the rest of the window to the keyboard: every Alt letter
    // is taken once, and a line's own Stop is reached with Tab from Stop All.
    void absentLinesAreLostAndTheKeyboardReachesEverything()
    {
        Bench bench;
        bench.window.AddTypedLine("/dev/tessavo-absent-a");
        bench.window.AddTypedLine("/dev/tessavo-absent-b");
        bench.Click("startAll");
        QTRY_COMPARE_WITH_TIMEOUT(bench.Text(1, "state"), QString("Lost"), 10000);
        QSet<QChar> letters;
        for (const QString& text : [&] {
                 QStringList texts;
                 for (const QAbstractButton* button : bench.window.findChildren<QAbstractButton*>())
                     texts << button->text();
                 for (const QLabel* label : bench.window.findChildren<QLabel*>())
                     texts << (label->buddy() ? label->text() : QString());
                 return texts;
             }()) {
            const qsizetype amp = text.indexOf('&');
            if (amp < 0)
                continue;
            QVERIFY2(!letters.contains(text[amp + 1].toLower()), qPrintable(text));
            letters.insert(text[amp + 1].toLower());
        }
        QWidget* stopAll = bench.window.findChild<QWidget*>("stopAll");
        QCOMPARE(stopAll->nextInFocusChain(), static_cast<QWidget*>(bench.window.Tile(0)->StartButton()));
        QTest::keyClick(bench.window.Tile(1)->StopButton(), Qt::Key_Space);
        QTRY_COMPARE(bench.Text(1, "state"), QString("Stopped"));
        QCOMPARE(bench.Text(0, "state"), QString("Lost"));
    }

    // With TESSAVO2_SHOT_DIR set: the window with a PASS, a FAIL, a slow line mid-flash and a lost line.
    void screenshot()
    {
        if (qEnvironmentVariableIsEmpty("TESSAVO2_SHOT_DIR"))
            QSKIP("no TESSAVO2_SHOT_DIR");
        Bench bench(32768);
        QVERIFY(bench.AddEmulators({ {}, { "--fail-receiver", "1" }, { "--baud", "9600" }, {} }));
        bench.window.resize(1000, 760);
        bench.window.show();
        bench.Click("startAll");
        QTRY_COMPARE_WITH_TIMEOUT(bench.Text(3, "state"), QString("PASS"), 30000);
        bench.emulators[3]->Stop();
        QTRY_COMPARE_WITH_TIMEOUT(bench.Text(3, "state"), QString("Lost"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(bench.Text(0, "state") + bench.Text(1, "state"), QString("PASSFAIL"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(
            bench.Text(2, "state").startsWith("Flashing") && !bench.Text(2, "state").endsWith(" 0%"), 30000);
        SaveShot(bench.window, "station.png");
    }

    void dayExport_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("the day's records, in file order")
            << QDate(2024, 5, 2)
            << QStringList { "2024-05-02T09:00:00.000+02:00,,,1,completed,,",
                   "2024-05-02T23:30:00.000+02:00,,,2,failed,\"Answer \"\"T\"\", frame 3\"," };
        QTest::newRow("another day") << QDate(2024, 5, 1)
                                     << QStringList { "2024-05-01T23:59:59.000+02:00,,,7,completed,," };
        QTest::newRow("a day with none") << QDate(2024, 5, 3) << QStringList {};
    }
    // Only the chosen day leaves the log, torn lines are skipped, and a field with a comma or a quote is quoted.
    void dayExport()
    {
        QFETCH(QDate, day);
        QFETCH(QStringList, rows);
        QTemporaryDir dir;
        QFile log(dir.filePath("station.jsonl"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("{\"started\":\"2024-05-02T09:00:00.000+02:00\",\"receiver\":1,\"result\":\"completed\"}\n"
                  "{\"started\":\"2024-05-01T23:59:59.000+02:00\",\"receiver\":7,\"result\":\"completed\"}\n"
                  "{\"started\":\"2024-05-02T09:00:01.0\n"
                  "{\"started\":\"2024-05-02T23:30:00.000+02:00\",\"receiver\":2,\"result\":\"failed\","
                  "\"reason\":\"Answer \\\"T\\\", frame 3\"}\n");
        log.close();
        QCOMPARE(ExportDayCsv(log.fileName(), day, dir.filePath("day.csv")), QString());
        QFile csv(dir.filePath("day.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = csv.readAll().split('\n');
        QVERIFY(lines.takeFirst().startsWith("started,station,line,receiver,result,reason,"));
        QCOMPARE(lines.takeLast(), QByteArray());
        QCOMPARE(lines.size(), rows.size());
        for (int row = 0; row < rows.size(); ++row)
            QVERIFY2(lines[row].startsWith(rows[row].toUtf8()), lines[row].constData());
    }
};

QTEST_MAIN(TestStationWindow)
#include "test_stationwindow.moc"
