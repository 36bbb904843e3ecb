// The real message box and file dialog behind the seams, answered through the modal seam.
#include "base/filedialog.h"
#include "base/guimessagebox.h"
#include "base/messagebox.h"
#include "base/modaldialog.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

struct SeenBox {
    QString text;
    QString title;
    bool onGuiThread = false;
};

// Answers every message box with the given button and records it.
void AnswerBoxes(QList<SeenBox>& seen, QMessageBox::StandardButton answer)
{
    SetModalHandler([&seen, answer](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        seen.append({ box.text(), box.windowTitle(), QThread::currentThread() == qApp->thread() });
        if (answer == QMessageBox::NoButton)
            box.reject();
        else
            box.button(answer)->click();
    });
}

} // namespace

class TestSeams : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallGuiMessageBoxHandler(); }
    void cleanup() { SetModalHandler(nullptr); }

    void boxOnTheGuiThread_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("ok") << uint(MB_OK) << int(QMessageBox::Ok) << int(IDOK);
        QTest::newRow("ok, escape") << uint(MB_OK | MB_ICONSTOP) << int(QMessageBox::NoButton) << int(IDOK);
        QTest::newRow("yes") << uint(MB_YESNO | MB_ICONQUESTION) << int(QMessageBox::Yes) << int(IDYES);
        QTest::newRow("no") << uint(MB_YESNO) << int(QMessageBox::No) << int(IDNO);
        QTest::newRow("yes/no, escape") << uint(MB_YESNO) << int(QMessageBox::NoButton) << int(IDNO);
        QTest::newRow("cancel") << uint(MB_YESNOCANCEL) << int(QMessageBox::Cancel) << int(IDCANCEL);
        QTest::newRow("ok/cancel, escape") << uint(MB_OKCANCEL) << int(QMessageBox::NoButton) << int(IDCANCEL);
    }

    void boxOnTheGuiThread()
    {
        QFETCH(uint, type);
        QFETCH(int, answer);
        QList<SeenBox> seen;
        AnswerBoxes(seen, QMessageBox::StandardButton(answer));
        QTEST(ShowMessageBox(QStringLiteral("EXIT NOW?"), QString(), type), "result");
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, QStringLiteral("EXIT NOW?"));
        QCOMPARE(seen[0].title, QStringLiteral("Tessavo2"));
    }

    void workerWaitsForTheAnswerFromTheGuiThread()
    {
        QList<SeenBox> seen;
        AnswerBoxes(seen, QMessageBox::No);
        std::atomic<int> result { 0 };
        std::thread worker([&result] {
            result
                = ShowMessageBox(QStringLiteral("Transfer Completed "), QStringLiteral("EDIT PRESET DATA"), MB_YESNO);
        });
        QTRY_VERIFY_WITH_TIMEOUT(result != 0, 10000);
        worker.join();
        QCOMPARE(result.load(), int(IDNO));
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen[0].onGuiThread);
        QCOMPARE(seen[0].text, QStringLiteral("Transfer Completed "));
        QCOMPARE(seen[0].title, QStringLiteral("EDIT PRESET DATA"));
    }

    void realFileDialogGivesTheChosenPath()
    {
        QTemporaryDir dir;
        const QString wanted = dir.filePath(QStringLiteral("out.rcu"));
        QStringList filters;
        SetModalHandler([&](QDialog& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            filters = files.nameFilters();
            files.selectFile(wanted);
            dialog.accept();
        });
        FileDialogRequest request;
        request.save = true;
        request.filter = QString::fromLatin1(kRcuFilter);
        request.defaultSuffix = QStringLiteral("rcu");
        request.initialName = QStringLiteral("*.rcu");
        QCOMPARE(GetFileName(request), wanted);
        QCOMPARE(filters, QStringList { "rcu (*.rcu)" });

        SetModalHandler([](QDialog& dialog) { dialog.reject(); });
        QVERIFY(GetFileName(request).isEmpty());
    }

    void dialogLeftOpenByAHandlerIsRejected()
    {
        QDialog dialog;
        SetModalHandler([](QDialog&) {});
        QCOMPARE(ExecModal(dialog), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestSeams)
#include "test_seams.moc"
