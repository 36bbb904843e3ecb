#include "../serial/ptypair.h"
#include "../tools/emulatorprocess.h"
#include "app/ccolorlabel.h"
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "app/ctessavo2view.h"
#include "base/dialogunits.h"
#include "base/filedialog.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "preset/cpreseteditdlg.h"
#include "transfer/ctransferengine.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace {

const QColor kYellow(255, 255, 0);

// A main window past its start-up, with the port dialog answered by SET and a scripted file dialog.
class Bench {
public:
    Bench()
    {
        SetModalHandler([](QDialog& dialog) { dialog.findChild<QAbstractButton*>(QStringLiteral("id1024"))->click(); });
        frame = std::make_unique<CMainFrame>();
        SetModalHandler(nullptr);
        frame->Create();
        frame->show();
        view = frame->View();
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
    ~Bench() { SetFileDialogHandler(nullptr); }

    [[nodiscard]] CColorLabel* Label(int id) const
    {
        return view->findChild<CColorLabel*>(QStringLiteral("id%1").arg(id));
    }
    [[nodiscard]] QAbstractButton* Button(int id) const
    {
        return view->findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
    }
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
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != size)
        return {};
    return file.fileName();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    void openDialogsAskForTheSectionsFiles()
    {
        struct Row {
            int button;
            const char* filter;
            const char* suffix;
            int kind;
            int pathLabel;
        };
        const Row rows[] = { { 1009, "bin (*.bin)", "bin", 2, 1003 }, { 1012, "rcu (*.rcu)", "rcu", 3, 1015 },
            { 1000, "bin (*.bin)", "bin", 4, 1006 } };
        Bench bench;
        for (const Row& row : rows) {
            const QString path = QStringLiteral("/data/image%1.x").arg(row.kind);
            bench.Open(row.button, path);
            const FileDialogRequest& request = bench.requests.last();
            QCOMPARE(request.filter, QLatin1String(row.filter));
            QCOMPARE(request.defaultSuffix, QLatin1String(row.suffix));
            QCOMPARE(request.initialName, QStringLiteral("*.") + request.defaultSuffix);
            QVERIFY(!request.save);
            QCOMPARE(bench.view->SelectedKind(), row.kind);
            QCOMPARE(bench.frame->SelectedPath(), path);
            QCOMPARE(bench.Label(row.pathLabel)->Text(), path);
            QCOMPARE(bench.Label(row.pathLabel)->TextColor(), kYellow);
        }
    }

    void selectFileFirstAndCancelledFileDialogs()
    {
        MessageRecorder messages;
        Bench bench;
        for (int id : { 1002, 1010, 1005 })
            bench.Button(id)->click();
        QCOMPARE(messages.Texts(), QStringList(3, QStringLiteral("Select file first!")));
        QCOMPARE(bench.view->DownloadKind(), 4);

        messages.Clear();
        bench.Open(1009, QStringLiteral("/data/code.bin"));
        bench.Open(1000, QStringLiteral("/data/loader.bin"));
        bench.Button(1002)->click();
        QCOMPARE(messages.Texts(), QStringList { "Select file first!" });
        QCOMPARE(bench.view->DownloadKind(), 2);
        QCOMPARE(bench.Label(1003)->Text(), QStringLiteral("/data/code.bin"));
        QVERIFY(bench.StartButtonsEnabled());
        QVERIFY(bench.statusTexts.isEmpty());

        // A cancelled file dialog keeps the earlier choice.
        bench.Open(1000, QString());
        bench.Open(1012, QString());
        QCOMPARE(bench.requests.size(), 4);
        QCOMPARE(bench.frame->SelectedPath(), QStringLiteral("/data/loader.bin"));
        QCOMPARE(bench.view->SelectedKind(), 4);
        QCOMPARE(bench.Label(1006)->Text(), QStringLiteral("/data/loader.bin"));
        QVERIFY(bench.Label(1015)->Text().isEmpty());
    }

    // Frames per kind are the engine's to check; here what the user sees of a download.
    void downloadReachesTheReceiver()
    {
        EmulatedDownload d({}, QStringLiteral("loader.bin"), 3000, 1000);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        bench.Button(1005)->click();
        QVERIFY(!bench.StartButtonsEnabled());
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
        QCOMPARE(summaries.size(), 1);
        QCOMPARE(ReadAll(summaries.first().section(QStringLiteral(" file="), 1)).left(3000), ReadAll(d.path));

        const QString shots = qEnvironmentVariable("TESSAVO2_SHOT_DIR");
        if (!shots.isEmpty())
            QVERIFY(bench.frame->grab().save(shots + QStringLiteral("/download-finished.png")));
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
        QTest::newRow("download, exit") << false << "exit" << QString();
        QTest::newRow("STB -> PC copy, line lost") << true << "lost" << lost;
        QTest::newRow("STB -> PC copy, Esc in the editor") << true << "Esc" << cancelled;
    }

    // A download waiting on an unanswered frame, or a copy waiting for the receiver, is stopped by a lost
    // line, by Cancel Transfer or by the program's end: at once, without spinning, the port free again.
    void stoppedTransferGivesEverythingBack()
    {
        QFETCH(bool, editorCopy);
        QFETCH(QString, how);
        QFETCH(QString, status);
        EmulatedDownload d({ "--silent", "3" }, QStringLiteral("code.bin"), 5000, 1009);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        CPresetEditDlg* editor = InstallPresetEditor(*bench.frame);
        auto editorButton = [editor](int id) { return editor->findChild<QAbstractButton*>(ResourceIdName(id)); };
        auto* editorStatus = editor->findChild<QLabel*>(ResourceIdName(1040));
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

        const double cpu = ProcessCpuSeconds();
        if (how == QLatin1String("lost")) {
            d.emulator.Stop();
        } else if (how == QLatin1String("Esc")) {
            window->windowHandle()->requestActivate();
            QTRY_COMPARE(QApplication::activeWindow(), window);
            QTest::keyClick(window, Qt::Key_Escape);
        } else {
            bench.frame->findChild<QAction*>(QStringLiteral("id57665"))->trigger();
            QVERIFY(!bench.frame->isVisible());
            QVERIFY(!bench.frame->Engine().IsTransferRunning());
            QCOMPARE(d.messages.Count(), 1);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!bench.frame->Engine().IsTransferRunning() && !cancel->isEnabled(), 2000);
        QVERIFY(ProcessCpuSeconds() - cpu < 0.2);
        QTRY_VERIFY(bench.StartButtonsEnabled() && editorButton(1002)->isEnabled() && editorButton(1000)->isEnabled());
        QCOMPARE(editorCopy ? editorStatus->text() : bench.Label(1007)->Text(), status);
        QCOMPARE(d.messages.Texts().mid(1), how == QLatin1String("lost") ? QStringList { status } : QStringList {});
        if (how == QLatin1String("lost"))
            return;
        // The port is free again: a preset copy of the empty tables (two frames) goes through.
        editorButton(1003)->click();
        QTRY_VERIFY_WITH_TIMEOUT(d.messages.Texts().contains(QStringLiteral("Transfer Completed ")), 10000);
    }

    void portOpenFailureKeepsTheProgramRunning()
    {
        QTemporaryDir dir;
        const QString path = WriteRandomFile(dir, QStringLiteral("code.bin"), 100);
        qputenv("TESSAVO2_COM1", dir.filePath(QStringLiteral("no-such-device")).toLocal8Bit());
        MessageRecorder messages;
        Bench bench;
        bench.Open(1009, path);
        bench.Button(1002)->click();
        QCOMPARE(messages.Texts(), QStringList { "CommPort Open Error" });
        const QString device = dir.filePath(QStringLiteral("no-such-device"));
        QVERIFY(bench.frame->statusBar()->currentMessage().startsWith(device + QStringLiteral(": no such device")));
        QVERIFY(bench.StartButtonsEnabled());
        QVERIFY(bench.Label(1007)->Text().isEmpty());
        QVERIFY(!bench.view->findChild<QProgressBar*>(QStringLiteral("progress"))->isVisible());
        QVERIFY(bench.frame->isVisible());
    }
};

QTEST_MAIN(TestDownloadForm)
#include "test_downloadform.moc"
