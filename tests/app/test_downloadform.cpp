#include "../tools/emulatorprocess.h"
#include "app/ccolorlabel.h"
#include "app/cmainframe.h"
#include "app/ctessavo2view.h"
#include "base/filedialog.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "transfer/ctransferengine.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QColor kNavy(0, 0, 128);
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
    void colourLabelsAtStart()
    {
        Bench bench;
        const std::pair<int, const char*> titles[]
            = { { 1017, "Code Download" }, { 1014, "Preset Data Download" }, { 1016, "Loader Data Download" } };
        for (const auto& [id, text] : titles) {
            CColorLabel* title = bench.Label(id);
            QCOMPARE(title->Text(), QString::fromLatin1(text));
            QCOMPARE(title->TextColor(), kYellow);
            QCOMPARE(title->BkColor(), kNavy);
            QVERIFY(title->LabelFont().bold());
            QCOMPARE(title->LabelFont().pixelSize(), 16);
        }
        QCOMPARE(bench.Label(1011)->BkColor(), QColor(0, 128, 0));
        QCOMPARE(bench.Label(1004)->BkColor(), QColor(0, 128, 0));
        QCOMPARE(bench.Label(1015)->TextColor(), kYellow);
        QCOMPARE(bench.Label(1003)->BkColor(), kNavy);
        QCOMPARE(bench.Button(1005)->text(), QStringLiteral("Start Send "));
        QCOMPARE(bench.Button(1012)->text(), QStringLiteral("Open Preset Data file"));
    }

    void openDialogsAskForTheSectionsFiles_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pathLabel");
        QTest::newRow("code") << 1009 << "bin (*.bin)"
                              << "bin" << 2 << 1003;
        QTest::newRow("preset") << 1012 << "rcu (*.rcu)"
                                << "rcu" << 3 << 1015;
        QTest::newRow("loader") << 1000 << "bin (*.bin)"
                                << "bin" << 4 << 1006;
    }

    void openDialogsAskForTheSectionsFiles()
    {
        QFETCH(int, button);
        QFETCH(int, pathLabel);
        Bench bench;
        bench.Open(button, QStringLiteral("/data/image.x"));
        QCOMPARE(bench.requests.size(), 1);
        const FileDialogRequest& request = bench.requests.first();
        QTEST(request.filter, "filter");
        QTEST(request.defaultSuffix, "suffix");
        QCOMPARE(request.initialName, QStringLiteral("*.") + request.defaultSuffix);
        QVERIFY(!request.save);
        QTEST(bench.view->SelectedKind(), "kind");
        QCOMPARE(bench.frame->SelectedPath(), QStringLiteral("/data/image.x"));
        QCOMPARE(bench.Label(pathLabel)->Text(), QStringLiteral("/data/image.x"));
        QCOMPARE(bench.Label(pathLabel)->TextColor(), kYellow);
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

    void downloadsReachTheReceiver_data()
    {
        QTest::addColumn<int>("open");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("countText");
        QTest::newRow("code") << 1009 << 1002 << "code.bin"
                              << "Trnasmited Count %1";
        QTest::newRow("preset") << 1012 << 1010 << "preset.rcu"
                                << "Trnasmited Count %1";
        QTest::newRow("loader") << 1000 << 1005 << "loader.bin"
                                << "Transmited Count %1";
    }

    void downloadsReachTheReceiver()
    {
        QFETCH(int, open);
        QFETCH(int, start);
        QFETCH(QString, name);
        QFETCH(QString, countText);
        EmulatedDownload d({}, name, 3000, open);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        auto& messages = d.messages;
        bench.Button(start)->click();
        QVERIFY(!bench.StartButtonsEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(bench.StartButtonsEnabled(), 30000);
        QCOMPARE(bench.statusTexts,
            (QStringList {
                "Transmitting .... ", "Sync Dectected ...", countText.arg(1), countText.arg(2), countText.arg(3) }));
        QVERIFY(!bench.enabledDuringTransfer);
        QCOMPARE(messages.Texts(), QStringList { "Transfer Completed " });
        QCOMPARE(bench.frame->findChild<QLabel*>(QStringLiteral("devicePane"))->text(),
            qEnvironmentVariable("TESSAVO2_COM1"));
        auto* progress = bench.view->findChild<QProgressBar*>(QStringLiteral("progress"));
        QCOMPARE(progress->maximum(), 3);
        QCOMPARE(progress->value(), 3);
        // Code and loader frames carry zero padding up to the chunk size; preset frames do not.
        QByteArray expected = ReadAll(d.path);
        if (name.endsWith(QLatin1String(".bin")))
            expected.append(3 * 1024 - expected.size(), '\0');
        const QStringList summaries = d.emulator.Summaries(1, 10000);
        QCOMPARE(summaries.size(), 1);
        QCOMPARE(ReadAll(summaries.first().section(QStringLiteral(" file="), 1)), expected);

        const QString shots = qEnvironmentVariable("TESSAVO2_SHOT_DIR");
        if (!shots.isEmpty() && name == QLatin1String("loader.bin"))
            QVERIFY(bench.frame->grab().save(shots + QStringLiteral("/download-finished.png")));
    }

    void exitDuringATransferClosesThePort()
    {
        EmulatedDownload d({ "--silent-syncs", "1000" }, QStringLiteral("code.bin"), 100, 1009);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        bench.Button(1002)->click();
        QTRY_VERIFY_WITH_TIMEOUT(bench.statusTexts.contains(QStringLiteral("Transmitting .... ")), 5000);
        QVERIFY(bench.frame->Engine().IsTransferRunning());
        bench.frame->findChild<QAction*>(QStringLiteral("id57665"))->trigger();
        QVERIFY(!bench.frame->isVisible());
        QVERIFY(!bench.frame->Engine().IsTransferRunning());
        QCOMPARE(d.messages.Count(), 0);
    }

    void terminateEndsWithAnError()
    {
        EmulatedDownload d({ "--terminate", "2" }, QStringLiteral("code.bin"), 5000, 1009);
        QVERIFY(d.portReady);
        auto& bench = d.bench;
        bench.Button(1002)->click();
        QTRY_VERIFY_WITH_TIMEOUT(bench.StartButtonsEnabled(), 30000);
        QCOMPARE(bench.statusTexts, (QStringList { "Transmitting .... ", "Sync Dectected ...", "Trnasmited Count 1" }));
        QVERIFY(!bench.enabledDuringTransfer);
        QCOMPARE(d.messages.Texts(), QStringList { "Transfer Error !! " });
    }

    void portOpenFailureKeepsTheProgramRunning()
    {
        QTemporaryDir dir;
        const QString path = WriteRandomFile(dir, QStringLiteral("code.bin"), 100);
        qputenv("TESSAVO2_COM4", dir.filePath(QStringLiteral("no-such-device")).toLocal8Bit());
        MessageRecorder messages;
        Bench bench;
        SetModalHandler([](QDialog& dialog) {
            dialog.findChild<QAbstractButton*>(QStringLiteral("id1005"))->click();
            dialog.findChild<QAbstractButton*>(QStringLiteral("id1024"))->click();
        });
        bench.frame->OnPortSetup();
        SetModalHandler(nullptr);
        QCOMPARE(bench.frame->GetPortSettings().port, 4);
        bench.Open(1009, path);
        bench.Button(1002)->click();
        QCOMPARE(messages.Texts(), QStringList { "CommPort Open Error" });
        const QString device = dir.filePath(QStringLiteral("no-such-device"));
        QVERIFY(bench.frame->statusBar()->currentMessage().startsWith(device + QStringLiteral(": no such device")));
        QVERIFY(bench.StartButtonsEnabled());
        QVERIFY(bench.frame->isVisible());
    }
};

QTEST_MAIN(TestDownloadForm)
#include "test_downloadform.moc"
