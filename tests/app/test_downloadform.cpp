#include "../preset/editortestkit.h"
#include "../serial/ptypair.h"
#include "../tools/emulatorprocess.h"
#include "app/ccolorlabel.h"
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "app/ctessavo2view.h"
#include "base/dialogunits.h"
#include "base/filedialog.h"
#include "base/guimessagebox.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "preset/cpreseteditdlg.h"
#include "preset/cpresetgrid.h"
#include "saveshot.h"
#include "transfer/ctransferengine.h"
#include "transfer/transferrecord.h"

#include <QAbstractButton>
#include <QAction>
#include <QCryptographicHash>
#include <QDialog>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace {

const QColor kYellow(255, 255, 0);

// A main window past its start-up, with the port dialog answered by SET, a scripted file dialog and the
// preset editor, whose copy buttons lock and progress texts are logged.
class Bench : public QObject {
public:
    Bench()
    {
        SetModalHandler([](QDialog& dialog) { ::Button(dialog, 1024)->click(); });
        frame = std::make_unique<CMainFrame>();
        SetModalHandler(nullptr);
        frame->Create();
        frame->show();
        view = frame->View();
        editor = InstallPresetEditor(*frame);
        QObject::connect(Progress(*editor), &QProgressBar::valueChanged, this, [this](int value) {
            if (value != 0)
                editorLog << StatusText(*editor);
        });
        ::Button(*editor, 1000)->installEventFilter(this);
        SetFileDialogHandler([this](const FileDialogRequest& request) {
            requests.append(request);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        QObject::connect(Label(1007), &CColorLabel::TextChanged, view, [this](const QString& text) {
            // Under a slow machine a sync may go unanswered once; that is not what these tests look at.
            if (!text.startsWith(QLatin1String("No Answer ")))
                statusTexts << text;
            for (int id : { 1002, 1005, 1010 })
                enabledDuringTransfer = enabledDuringTransfer || Button(id)->isEnabled();
        });
    }
    ~Bench() override { SetFileDialogHandler(nullptr); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            editorLog << (static_cast<QWidget*>(watched)->isEnabled() ? "unlock" : "lock");
        return false;
    }

    [[nodiscard]] CColorLabel* Label(int id) const { return view->findChild<CColorLabel*>(ResourceIdName(id)); }
    [[nodiscard]] QAbstractButton* Button(int id) const { return ::Button(*view, id); }
    [[nodiscard]] bool StartButtonsEnabled() const
    {
        return Button(1002)->isEnabled() && Button(1005)->isEnabled() && Button(1010)->isEnabled();
    }
    void Open(int buttonId, const QString& answer)
    {
        answers << answer;
        Button(buttonId)->click();
    }

    std::unique_ptr<CMainFrame> frame;
    CTessavo2View* view = nullptr;
    CPresetEditDlg* editor = nullptr;
    QStringList editorLog;
    QList<FileDialogRequest> requests;
    QStringList answers;
    QStringList statusTexts;
    bool enabledDuringTransfer = false;
};

QString WriteRandomFile(const QTemporaryDir& dir, const QString& name, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    return WriteFile(dir.filePath(name), bytes) ? dir.filePath(name) : QString();
}

} // namespace

// A file sent through the form to the receiver emulator: the file, the receiver, the recorded boxes and
// the window, made in the order a download needs them.
struct EmulatedDownload {
    EmulatedDownload(const QStringList& emulatorArgs, const QString& name, int size, int openButton)
        : path(WriteRandomFile(dir, name, size))
        , emulator(QStringList { "--save-dir", dir.path() } + emulatorArgs)
    {
        bench.Open(openButton, path);
    }

    QTemporaryDir dir;
    QString path;
    EmulatorProcess emulator;
    bool portReady = emulator.UseAsComPort();
    MessageRecorder messages;
    Bench bench;
};

class TestDownloadForm : public QObject {
    Q_OBJECT
private slots:
    // Each section asks for its own file; a start needs its section's file, and a port that cannot be
    // opened is refused with its reason while the program goes on.
    void filesChosenPerSectionAndRefusedStarts()
    {
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("no-such-device"));
        qputenv("TESSAVO2_COM1", device.toLocal8Bit());
        MessageRecorder messages;
        Bench bench;
        for (int id : { 1002, 1010, 1005 })
            bench.Button(id)->click();
        QCOMPARE(messages.Texts(), QStringList(3, QStringLiteral("Select file first!")));
        QCOMPARE(bench.view->DownloadKind(), 4);
        // Open button, filter, kind, path label.
        const std::tuple<int, QLatin1String, int, int> rows[] = { { 1012, QLatin1String("rcu (*.rcu)"), 3, 1015 },
            { 1009, QLatin1String("bin (*.bin)"), 2, 1003 }, { 1000, QLatin1String("bin (*.bin)"), 4, 1006 } };
        for (const auto& [button, filter, kind, pathLabel] : rows) {
            const QString path = QStringLiteral("/data/image%1.x").arg(kind);
            bench.Open(button, path);
            QCOMPARE(bench.requests.last().filter, filter);
            QCOMPARE(bench.requests.last().initialName, QStringLiteral("*.") + filter.left(3));
            QCOMPARE(std::pair(bench.view->SelectedKind(), bench.frame->SelectedPath()), std::pair(kind, path));
            QCOMPARE(std::pair(bench.Label(pathLabel)->Text(), bench.Label(pathLabel)->TextColor()),
                std::pair(path, kYellow));
        }
        // A cancelled file dialog keeps the earlier choice: the code file is not the one chosen last.
        bench.Open(1009, QString());
        messages.Clear();
        bench.Button(1002)->click();
        QCOMPARE(messages.Texts(), QStringList { "Select file first!" });
        QCOMPARE(bench.view->DownloadKind(), 2);
        QCOMPARE(bench.frame->SelectedPath(), QStringLiteral("/data/image4.x"));
        QCOMPARE(bench.Label(1003)->Text(), QStringLiteral("/data/image2.x"));
        QVERIFY(bench.statusTexts.isEmpty());

        bench.Open(1000, WriteRandomFile(dir, QStringLiteral("loader.bin"), 100));
        messages.Clear();
        bench.Button(1005)->click();
        QCOMPARE(messages.Texts(), QStringList { "CommPort Open Error" });
        QVERIFY(bench.frame->statusBar()->currentMessage().startsWith(device + QStringLiteral(": no such device")));
        QVERIFY(bench.StartButtonsEnabled());
        QVERIFY(bench.Label(1007)->Text().isEmpty());
        QVERIFY(!bench.view->findChild<QProgressBar*>(QStringLiteral("progress"))->isVisible());
        QVERIFY(bench.frame->isVisible());
    }

    // Frames per kind are the engine's to check; here what the user sees of a download.
    void downloadReachesTheReceiver()
    {
        EmulatedDownload d({}, QStringLiteral("loader.bin"), 3000, 1000);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        bench.Button(1005)->click();
        QTRY_VERIFY_WITH_TIMEOUT(bench.StartButtonsEnabled(), 30000);
        QCOMPARE(bench.statusTexts,
            (QStringList { "Transmitting .... ", "Sync Dectected ...", "Transmited Count 1", "Transmited Count 2",
                "Transmited Count 3" }));
        QVERIFY(!bench.enabledDuringTransfer);
        QCOMPARE(d.messages.Texts(), QStringList { "Transfer Completed " });
        QCOMPARE(bench.frame->findChild<QLabel*>(QStringLiteral("devicePane"))->text(),
            qEnvironmentVariable("TESSAVO2_COM1"));
        auto* progress = bench.view->findChild<QProgressBar*>(QStringLiteral("progress"));
        QCOMPARE(progress->maximum(), 3);
        QCOMPARE(progress->value(), 3);
        const QStringList summaries = d.emulator.Summaries(1, 10000);
        QCOMPARE(ReadFile(summaries.value(0).section(QStringLiteral(" file="), 1)).left(3000), ReadFile(d.path));

        // What stays: the result on the form, a record in the history file and its row in Tools > History,
        // and the section's folder and file for its next Open.
        const QString sha = QCryptographicHash::hash(ReadFile(d.path), QCryptographicHash::Sha256).toHex();
        const QString last = bench.view->findChild<QLabel*>(QStringLiteral("lastResult"))->text();
        QVERIFY2(last.startsWith("Last: loader completed\n3 frames, 0 resent") && last.contains(sha.left(8)),
            qPrintable(last));
        const QJsonObject record = ReadTransferRecords(CMainFrame::HistoryPath()).last();
        QCOMPARE(QStringList({ record["kind"].toString(), record["result"].toString(), record["file"].toString(),
                     record["sha256"].toString(), QString::number(record["bytes"].toInt()) }),
            QStringList({ "loader", "completed", d.path, sha, "3000" }));
        QString historyFile;
        SetModalHandler([&historyFile](QDialog& dialog) {
            historyFile = dialog.findChild<QTableWidget*>(QStringLiteral("historyTable"))->item(0, 3)->text();
            SaveShot(dialog, "history.png");
        });
        bench.frame->findChild<QAction*>(QStringLiteral("history"))->trigger();
        SetModalHandler(nullptr);
        QCOMPARE(historyFile, d.path);
        bench.Open(1000, QString());
        QCOMPARE(std::pair(bench.requests.last().directory, bench.requests.last().initialName),
            std::pair(d.dir.path(), QStringLiteral("loader.bin")));

        SaveShot(*bench.frame, "download-finished.png");
    }

    void stoppedTransferGivesEverythingBack_data()
    {
        QTest::addColumn<bool>("editorCopy");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("status");
        const char* lost = "CommPort Lost";
        const char* cancelled = "Transfer Cancelled";
        QTest::newRow("download, line lost") << false << "lost" << lost;
        QTest::newRow("download, Esc") << false << "Esc" << cancelled;
        QTest::newRow("STB -> PC copy, line lost") << true << "lost" << lost;
        QTest::newRow("STB -> PC copy, Esc in the editor") << true << "Esc" << cancelled;
    }

    // A download waiting on an unanswered frame, or a copy waiting for the receiver, is stopped by a lost
    // line or by Cancel Transfer: at once, without spinning, the port free again.
    void stoppedTransferGivesEverythingBack()
    {
        QFETCH(bool, editorCopy);
        QFETCH(QString, how);
        QFETCH(QString, status);
        EmulatedDownload d({ "--silent", "3" }, QStringLiteral("code.bin"), 5000, 1009);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        CPresetEditDlg* editor = bench.editor;
        auto editorButton = [editor](int id) { return ::Button(*editor, id); };
        auto* cancel = bench.frame->findChild<QAction*>(QStringLiteral("cancelTransfer"));
        QVERIFY(!cancel->isEnabled());
        QWidget* window = bench.frame.get();
        if (editorCopy) {
            editor->show();
            window = editor;
            editorButton(1002)->click();
            // A download refused meanwhile leaves the form as it was and the copy running.
            bench.Button(1002)->click();
            QVERIFY(bench.StartButtonsEnabled());
            QVERIFY(bench.Label(1007)->Text().isEmpty());
        } else {
            bench.Button(1002)->click();
            QTRY_VERIFY_WITH_TIMEOUT(bench.statusTexts.contains(QStringLiteral("Trnasmited Count 2")), 10000);
            // A copy refused meanwhile leaves the download as it was.
            editorButton(1002)->click();
            QVERIFY(!bench.StartButtonsEnabled());
            QCOMPARE(bench.Label(1007)->Text(), QStringLiteral("Trnasmited Count 2"));
            QCOMPARE(bench.view->findChild<QProgressBar*>(QStringLiteral("progress"))->value(), 2);
        }
        QCOMPARE(d.messages.Texts(), QStringList { "CommPort Open Error" });
        QVERIFY(!editorButton(1002)->isEnabled() == editorCopy);
        QVERIFY(cancel->isEnabled());

        const double cpu = CpuSeconds();
        if (how == QLatin1String("lost")) {
            d.emulator.Stop();
        } else {
            window->windowHandle()->requestActivate();
            QTRY_COMPARE(QApplication::activeWindow(), window);
            QTest::keyClick(window, Qt::Key_Escape);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!bench.frame->Engine().IsTransferRunning() && !cancel->isEnabled(), 2000);
        QVERIFY(CpuSeconds() - cpu < 0.2);
        QTRY_VERIFY(bench.StartButtonsEnabled() && editorButton(1002)->isEnabled() && editorButton(1000)->isEnabled());
        QCOMPARE(editorCopy ? StatusText(*editor) : bench.Label(1007)->Text(), status);
        QCOMPARE(d.messages.Texts().mid(1), how == QLatin1String("lost") ? QStringList { status } : QStringList {});
        if (how == QLatin1String("lost"))
            return;
        // The port is free again: a preset copy of the empty tables (two frames) goes through.
        editorButton(1003)->click();
        QTRY_VERIFY_WITH_TIMEOUT(d.messages.Texts().contains(QStringLiteral("Transfer Completed ")), 10000);
    }

    void exitEndsEveryPhaseWithinASecond_data()
    {
        QTest::addColumn<QStringList>("emulatorArgs");
        QTest::addColumn<QString>("statusFirst"); // none: the outcome's message box is shown
        QTest::newRow("waiting for the receiver") << QStringList { "--silent-syncs", "1000" } << "Transmitting .... ";
        QTest::newRow("sending") << QStringList { "--silent", "3" } << "Trnasmited Count 2";
        QTest::newRow("message box shown") << QStringList { "--terminate", "1" } << QString();
    }

    // File > Exit ends the program's transfer at any moment: the worker joined, the port closed, within a
    // second, also from inside the message box that worker waits for.
    void exitEndsEveryPhaseWithinASecond()
    {
        QFETCH(QStringList, emulatorArgs);
        QFETCH(QString, statusFirst);
        EmulatedDownload d(emulatorArgs, QStringLiteral("code.bin"), 5000, 1009);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        QElapsedTimer clock;
        qint64 exitMs = -1;
        const auto exit = [&] {
            clock.start();
            bench.frame->findChild<QAction*>(QStringLiteral("id57665"))->trigger();
            exitMs = clock.elapsed();
        };
        QTimer boxWatch;
        if (statusFirst.isEmpty()) {
            InstallGuiMessageBoxHandler();
            QObject::connect(&boxWatch, &QTimer::timeout, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    boxWatch.stop();
                    exit();
                    box->reject();
                }
            });
            boxWatch.start(20);
        }
        bench.Button(1002)->click();
        if (!statusFirst.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(bench.statusTexts.contains(statusFirst), 10000);
            QTest::qWait(300);
            exit();
        }
        QTRY_VERIFY_WITH_TIMEOUT(exitMs >= 0, 10000);
        QVERIFY2(exitMs < 1000, qPrintable(QString::number(exitMs)));
        QVERIFY(!bench.frame->isVisible());
        QVERIFY(!bench.frame->Engine().IsTransferRunning());
    }

    // The receiver's tables fill the editor's grids; edited there, they go back whole.
    void presetCopiesBothWays()
    {
        QTemporaryDir dir;
        FillRealisticTables();
        const QByteArray image = BuiltImage();
        QVERIFY(image.size() > 1024 && image.size() <= 2048);
        const QString file = dir.filePath(QStringLiteral("receiver.rcu"));
        QVERIFY(WriteFile(file, image));
        ResetPresetTables();
        MessageRecorder messages;
        EmulatorProcess emulator({ "--send-preset", file, "--save-dir", dir.path() });
        QVERIFY(emulator.UseAsComPort());
        Bench bench;
        bench.frame->Engine().SetTimerIntervals(300, 3000);
        CPresetEditDlg& editor = *bench.editor;
        editor.show();
        // The tables are refilled after the buttons come back: wait for the transfer's end.
        QSignalSpy ends(&bench.frame->Engine(), &CTransferEngine::TransferFinished);
        ::Button(editor, 1002)->click();
        QCOMPARE(StatusText(editor), QStringLiteral("Waiting for Sync... "));
        QVERIFY(FileAndCopyButtons(editor, false));
        QVERIFY(::Button(editor, 1037)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(ends.size(), 1, 30000);
        QVERIFY(emulator.Summaries(1).value(0).startsWith(QLatin1String("sent kind=preset frames=2")));
        QCOMPARE(bench.editorLog,
            (QStringList { "lock", "Packet 1/64 Received", "Packet 2/64 Received", "Packet 3/64 Received", "unlock" }));
        QCOMPARE(BuiltImage(), image);
        QCOMPARE(editor.SatGrid().CellText(1, 1), QStringLiteral("Astra 19.2E"));
        QCOMPARE(editor.TpGrid().CellText(40, 1), QString::number(10714 + 29 * 39));
        QCOMPARE(Progress(editor)->value(), 0);

        bench.editorLog.clear();
        TypeCell(editor.SatGrid(), 2, 1, QStringLiteral("Hotbird 13E"));
        TypeCell(editor.TpGrid(), 1, 2, QStringLiteral("27000"));
        ::Button(editor, 1003)->click();
        QVERIFY(FileAndCopyButtons(editor, false));
        QTRY_COMPARE_WITH_TIMEOUT(ends.size(), 2, 30000);
        QVERIFY(BuiltImage() != image);
        const QString saved = emulator.Summaries(2).value(1);
        QVERIFY(saved.startsWith(QLatin1String("saved kind=preset")));
        QCOMPARE(ReadFile(saved.section(QLatin1String("file="), 1)), BuiltImage());
        QCOMPARE(bench.editorLog, (QStringList { "lock", "Packet 1/2 Received", "unlock" }));
        QCOMPARE(StatusText(editor), QStringLiteral(" "));
        QCOMPARE(messages.Texts(), QStringList(2, QStringLiteral("Transfer Completed ")));
    }
};

int main(int argc, char** argv)
{
    // The history file and the remembered folders go to a test's own places, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    QFile::remove(CMainFrame::HistoryPath());
    TestDownloadForm test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_downloadform.moc"
