// Every window of the shell fits its controls (nothing sticks out or overlaps, every caption fits its
// button) and the screens CTest runs this on. With TESSAVO2_SHOT_DIR set it also saves screenshots.
#include "app/caboutdlg.h"
#include "app/cmainframe.h"
#include "app/ctessavo2view.h"
#include "base/dialogunits.h"
#include "base/filedialog.h"
#include "base/guimessagebox.h"
#include "base/messagebox.h"
#include "base/modaldialog.h"
#include "preset/cpreseteditdlg.h"
#include "saveshot.h"
#include "serial/cportsettingdlg.h"
#include "tplist/ctplistcreatedlg.h"
#include "windowfit.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QStatusBar>
#include <QtTest>

namespace {

void CheckControls(QWidget& window)
{
    const QList<QWidget*> children = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (!child->isVisibleTo(&window) || child->objectName().isEmpty())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(child))
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
                qPrintable(button->text()));
        for (QWidget* other : children) {
            if (other == child || other->objectName().isEmpty() || !other->isVisibleTo(&window)
                || qobject_cast<QGroupBox*>(child) || qobject_cast<QGroupBox*>(other))
                continue;
            QVERIFY2(!child->geometry().intersects(other->geometry()),
                qPrintable(child->objectName() + QLatin1Char('/') + other->objectName()));
        }
    }
}

// The main window past its start-up; with a file given, chosen with the open button openId.
std::unique_ptr<CMainFrame> ShownMainFrame(int openId = 0, const QString& file = {})
{
    SetModalHandler([](QDialog& dialog) { dialog.accept(); });
    auto frame = std::make_unique<CMainFrame>();
    SetModalHandler(nullptr);
    frame->Create();
    frame->show();
    frame->activateWindow();
    SetFileDialogHandler([file](const FileDialogRequest&) { return file; });
    if (openId != 0)
        frame->View()->findChild<QAbstractButton*>(ResourceIdName(openId))->click();
    SetFileDialogHandler(nullptr);
    return QTest::qWaitForWindowActive(frame.get()) ? std::move(frame) : nullptr;
}

// Shows a real message box over the active window and hands it to check while it is up.
void ShowBox(const QString& text, const QString& caption, unsigned type, const std::function<void(QDialog&)>& check)
{
    InstallGuiMessageBoxHandler();
    bool shown = false;
    SetModalHandler([&](QDialog& box) {
        shown = true;
        check(box);
    });
    ShowMessageBox(text, caption, type);
    QVERIFY(shown);
    SetModalHandler(nullptr);
    SetMessageBoxHandler(nullptr);
}

QString AccessibleName(QObject* object)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QStringLiteral("<none>");
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void dialogs()
    {
        CPortSettingDlg port;
        CAboutDlg about;
        CTpListCreateDlg tpList;
        CPresetEditDlg editor;
        const std::pair<QDialog*, const char*> dialogs[] = { { &port, "port-dialog.png" }, { &about, "about-box.png" },
            { &tpList, "tp-list-create.png" }, { &editor, nullptr } };
        for (const auto& [dialog, shot] : dialogs) {
            dialog->show();
            // TP List Create's status line as "List File" with nothing selected leaves it.
            if (dialog == &tpList)
                dialog->findChild<QAbstractButton*>(QStringLiteral("id1002"))->click();
            CheckControls(*dialog);
            if (dialog == &port || dialog == &about)
                CheckFitsScreen(*dialog);
            if (shot && dialog->devicePixelRatio() == 1)
                SaveShot(*dialog, shot);
        }
    }

    void mainWindow()
    {
        const auto frame = ShownMainFrame();
        QVERIFY(frame);
        QVERIFY(frame->centralWidget()->geometry().bottom() < frame->statusBar()->geometry().top());
        CheckFitsScreen(*frame);
        CheckControls(*frame->View());
        if (frame->devicePixelRatio() > 1)
            SaveShot(*frame, "main-window-200.png");
        else if (frame->size() == frame->maximumSize())
            SaveShot(*frame, "main-window.png");
    }

    // A message box fits and leaves the chosen file's path in view (here the preset section's, in
    // the middle of the form).
    void windowsFitTheScreen_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* window : { "Transfer Completed ", "EXIT NOW?" })
            QTest::newRow(window) << window;
    }
    void windowsFitTheScreen()
    {
        QFETCH(QString, window);
        const auto frame = ShownMainFrame(1012, QStringLiteral("/tmp/image.rcu"));
        QVERIFY(frame);
        QWidget* path = frame->View()->findChild<QWidget*>(ResourceIdName(1015));
        const bool question = window.startsWith(QLatin1String("EXIT"));
        ShowBox(window, question ? QStringLiteral("Rcu File Create") : QString(),
            question ? MB_YESNO | MB_ICONQUESTION : MB_OK, [path](QDialog& shown) {
                CheckFitsScreen(shown);
                QVERIFY(!shown.frameGeometry().intersects(QRect(path->mapToGlobal(QPoint(0, 0)), path->size())));
            });
    }

    // What a screen reader reads for each control of the form: names that tell the three Start Send
    // buttons apart, and the texts the form paints itself.
    void formSpeaksToScreenReaders_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("preset Start Send") << 1010 << "Start Send, Preset Data Download";
        QTest::newRow("chosen file") << 1006 << "Loader file: /tmp/image.bin";
        QTest::newRow("file not chosen") << 1003 << "Code file";
        QTest::newRow("status") << 1007 << "Transfer status: Trnasmited Count 3";
    }
    void formSpeaksToScreenReaders()
    {
        QFETCH(int, id);
        const auto frame = ShownMainFrame(1000, QStringLiteral("/tmp/image.bin"));
        QVERIFY(frame);
        CTessavo2View& view = *frame->View();
        view.SetStatusText(QStringLiteral("Trnasmited Count 3"));
        QTEST(AccessibleName(view.findChild<QWidget*>(ResourceIdName(id))), "name");
        // The visible text stays as it is.
        QCOMPARE(view.findChild<QAbstractButton*>(ResourceIdName(1005))->text(), QStringLiteral("Start Send "));
        QStringList names;
        for (QWidget* control : view.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
            if (face->role() != QAccessible::Separator)
                names << face->text(QAccessible::Name);
        }
        QVERIFY(!names.contains(QString()));
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    }
};

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
