// Every window of the shell fits its controls: nothing sticks out of its parent, no two controls
// overlap, every caption fits its button. With TESSAVO2_SHOT_DIR set it also saves screenshots.
#include "app/caboutdlg.h"
#include "app/cmainframe.h"
#include "base/modaldialog.h"
#include "preset/cpreseteditdlg.h"
#include "saveshot.h"
#include "serial/cportsettingdlg.h"
#include "tplist/ctplistcreatedlg.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QStatusBar>
#include <QtTest>

namespace {

void CheckControls(QWidget& window)
{
    const QList<QWidget*> children = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (!child->isVisibleTo(&window) || child->objectName().isEmpty())
            continue;
        QVERIFY2(window.rect().contains(child->geometry()), qPrintable(child->objectName()));
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
            if (shot)
                SaveShot(*dialog, shot);
        }
    }

    void mainWindow()
    {
        SetModalHandler([](QDialog& dialog) { dialog.accept(); });
        CMainFrame frame;
        SetModalHandler(nullptr);
        frame.Create();
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QWidget* view = frame.centralWidget();
        QVERIFY(view->geometry().bottom() < frame.statusBar()->geometry().top());
        CheckControls(*view);
        SaveShot(frame, "main-window.png");
    }
};

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
