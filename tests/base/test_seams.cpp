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

class TestSeams : public QObject {
    Q_OBJECT

    // Every box shown: its title, its text, and "gui" when it ran on the GUI thread.
    QStringList m_seen;

    // Answers every message box with the given button, or Escape for NoButton.
    void AnswerBoxes(QMessageBox::StandardButton answer)
    {
        SetModalHandler([this, answer](QDialog& dialog) {
            auto& box = static_cast<QMessageBox&>(dialog);
            m_seen << box.windowTitle() + ": " + box.text()
                    + (QThread::currentThread() == qApp->thread() ? " gui" : "");
            if (answer == QMessageBox::NoButton)
                box.reject();
            else
                box.button(answer)->click();
        });
    }

private slots:
    void initTestCase() { InstallGuiMessageBoxHandler(); }
    void init() { m_seen.clear(); }
    void cleanup() { SetModalHandler(nullptr); }

    void boxOnTheGuiThread_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("ok") << uint(MB_OK) << int(QMessageBox::Ok) << int(IDOK);
        QTest::newRow("ok, escape") << uint(MB_OK | MB_ICONSTOP) << int(QMessageBox::NoButton) << int(IDOK);
        QTest::newRow("yes") << uint(MB_YESNO | MB_ICONQUESTION) << int(QMessageBox::Yes) << int(IDYES);
        QTest::newRow("yes/no, escape") << uint(MB_YESNO) << int(QMessageBox::NoButton) << int(IDNO);
        QTest::newRow("cancel") << uint(MB_YESNOCANCEL) << int(QMessageBox::Cancel) << int(IDCANCEL);
        QTest::newRow("ok/cancel, escape") << uint(MB_OKCANCEL) << int(QMessageBox::NoButton) << int(IDCANCEL);
    }
    void boxOnTheGuiThread()
    {
        QFETCH(uint, type);
        QFETCH(int, answer);
        AnswerBoxes(QMessageBox::StandardButton(answer));
        QTEST(ShowMessageBox(QStringLiteral("EXIT NOW?"), QString(), type), "result");
        QCOMPARE(m_seen, QStringList { "Tessavo2: EXIT NOW? gui" });
    }

    void workerWaitsForTheAnswerFromTheGuiThread()
    {
        AnswerBoxes(QMessageBox::No);
        std::atomic<int> result { 0 };
        std::thread worker([&result] {
            result
                = ShowMessageBox(QStringLiteral("Transfer Completed "), QStringLiteral("EDIT PRESET DATA"), MB_YESNO);
        });
        QTRY_VERIFY_WITH_TIMEOUT(result != 0, 10000);
        worker.join();
        QCOMPARE(result.load(), int(IDNO));
        QCOMPARE(m_seen, QStringList { "EDIT PRESET DATA: Transfer Completed  gui" });
    }

    // A handler that leaves the real file dialog open gets it rejected.
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
        const FileDialogRequest request { true, kRcuFilter, "rcu", "*.rcu", {} };
        QCOMPARE(GetFileName(request), wanted);
        QCOMPARE(filters, QStringList { "rcu (*.rcu)" });
        SetModalHandler([](QDialog&) {});
        QVERIFY(GetFileName(request).isEmpty());
    }
};

QTEST_MAIN(TestSeams)
#include "test_seams.moc"
