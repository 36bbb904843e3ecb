#include "../tools/emulatorprocess.h"
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "base/modaldialog.h"
#include "editortestkit.h"
#include "messagerecorder.h"
#include "preset/cpresetgrid.h"
#include "preset/presetimage.h"
#include "transfer/ctransferengine.h"

#include <QDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

namespace {

// A main window past its start-up with the editor shown, logging what the user sees of a copy.
class Bench : public QObject {
public:
    Bench()
    {
        SetModalHandler([](QDialog& dialog) { Button(dialog, 1024)->click(); });
        frame = std::make_unique<CMainFrame>();
        SetModalHandler(nullptr);
        frame->Create();
        frame->Engine().SetTimerIntervals(300, 3000);
        editor = InstallPresetEditor(*frame);
        editor->show();
        QObject::connect(Progress(*editor), &QProgressBar::valueChanged, this, [this](int value) {
            if (value != 0)
                log << StatusText(*editor);
        });
        Button(*editor, 1000)->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            log << (static_cast<QWidget*>(watched)->isEnabled() ? QStringLiteral("unlock") : QStringLiteral("lock"));
        return false;
    }

    // Runs the event loop until the copy's worker has ended.
    bool WaitForTransfer()
    {
        QSignalSpy finished(&frame->Engine(), &CTransferEngine::TransferFinished);
        return !frame->Engine().IsTransferRunning() || finished.wait(30000);
    }

    std::unique_ptr<CMainFrame> frame;
    CPresetEditDlg* editor = nullptr;
    QStringList log;
};

} // namespace

class TestPresetCopy : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void init() { ResetPresetTables(); }

    void pcToStbSendsWhatTheGridsGather()
    {
        g_SatTable[0] = MakeSat("Astra 19.2E");
        MessageRecorder messages;
        EmulatorProcess emulator({ "--save-dir", m_dir.path() });
        QVERIFY(emulator.UseAsComPort());
        Bench bench;
        CPresetEditDlg& editor = *bench.editor;
        TypeCell(editor.SatGrid(), 2, 1, QStringLiteral("Hot Bird 13E"));
        for (int r = 1; r <= 10; ++r) {
            TypeCell(editor.TpGrid(), r, 1, QString::number(10700 + 37 * r));
            TypeCell(editor.TpGrid(), r, 2, QStringLiteral("27500"));
        }
        Button(editor, 1003)->click();
        QVERIFY(FileAndCopyButtons(editor, false));
        QVERIFY(bench.WaitForTransfer());
        const QStringList summaries = emulator.Summaries(1);
        QCOMPARE(summaries.size(), 1);
        const QString saved = summaries.first();
        QVERIFY(saved.startsWith(QLatin1String("saved kind=preset")));
        const QString path = saved.mid(saved.indexOf(QLatin1String("file=")) + 5);
        QCOMPARE(ReadFile(path), BuiltImage());
        QCOMPARE(bench.log, (QStringList { "lock", "Packet 1/2 Received", "unlock" }));
        QVERIFY(FileAndCopyButtons(editor, true));
        QCOMPARE(StatusText(editor), QStringLiteral(" "));
        QCOMPARE(messages.Texts(), QStringList { "Transfer Completed " });
    }

    void stbToPcFillsTheGrids()
    {
        FillRealisticTables();
        const QByteArray image = BuiltImage();
        QVERIFY(image.size() > 1024 && image.size() <= 2048);
        const QString file = m_dir.filePath(QStringLiteral("receiver.rcu"));
        QVERIFY(WriteFile(file, image));
        ResetPresetTables();
        MessageRecorder messages;
        EmulatorProcess emulator({ "--send-preset", file });
        QVERIFY(emulator.UseAsComPort());
        Bench bench;
        CPresetEditDlg& editor = *bench.editor;
        Button(editor, 1002)->click();
        QCOMPARE(StatusText(editor), QStringLiteral("Waiting for Sync... "));
        QVERIFY(FileAndCopyButtons(editor, false));
        QVERIFY(Button(editor, 1037)->isEnabled());
        QVERIFY(bench.WaitForTransfer());
        QVERIFY(emulator.Summaries(1).value(0).startsWith(QLatin1String("sent kind=preset frames=2")));
        QCOMPARE(bench.log,
            (QStringList { "lock", "Packet 1/64 Received", "Packet 2/64 Received", "Packet 3/64 Received", "unlock" }));
        QCOMPARE(BuiltImage(), image);
        QCOMPARE(editor.SatGrid().CellText(1, 1), QStringLiteral("Astra 19.2E"));
        QCOMPARE(editor.TpGrid().CellText(40, 1), QString::number(10714 + 29 * 39));
        QCOMPARE(StatusText(editor), QStringLiteral(" "));
        QCOMPARE(Progress(editor)->value(), 0);
        QCOMPARE(messages.Texts(), QStringList { "Transfer Completed " });
    }
};

QTEST_MAIN(TestPresetCopy)
#include "test_presetcopy.moc"
