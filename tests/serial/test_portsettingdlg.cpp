#include "base/modaldialog.h"
#include "ptypair.h"
#include "serial/cportsettingdlg.h"
#include "serial/portname.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

QAbstractButton* Button(QDialog& dialog, int id)
{
    return dialog.findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
}

// Runs the dialog once with act as the user; returns how it ended.
int Run(CPortSettingDlg& dialog, const std::function<void(QDialog&)>& act)
{
    SetModalHandler([&act](QDialog& shown) { act(shown); });
    const int result = ExecModal(dialog);
    SetModalHandler(nullptr);
    return result;
}

// Clicks the buttons in order, the last one being SET (1024) or CLOSE (1025).
int Click(CPortSettingDlg& dialog, const QList<int>& ids)
{
    return Run(dialog, [&ids](QDialog& shown) {
        for (int id : ids)
            Button(shown, id)->click();
    });
}

// What the dialog keeps: port, speed, data bits, stop bits, parity and the flow control choice.
QString Kept(const CPortSettingDlg& dialog)
{
    const PortSettings& s = dialog.Settings();
    return QString::asprintf("COM%d %u %d %d %d flow%d", int(s.port), unsigned(s.baudRate), int(s.dataBits),
        int(s.stopBits), int(s.parity), dialog.Choice(CPortSettingDlg::FlowControl));
}

QComboBox* DeviceList(QDialog& dialog)
{
    return dialog.findChild<QComboBox*>(QStringLiteral("deviceList"));
}

QString FocusName(QDialog& dialog)
{
    QWidget* focus = dialog.focusWidget();
    while (focus && focus->objectName().isEmpty())
        focus = focus->parentWidget();
    return focus ? focus->objectName() : QString();
}

struct DeviceCase {
    const char* action;
    const char* device;
    int end;
    bool kept;
};

// Mappings of COMn go to a settings folder of the test's own.
struct OwnSettings {
    OwnSettings() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    QTemporaryDir dir;
};

} // namespace

class TestPortSettingDlg : public QObject {
    Q_OBJECT
private slots:
    void everyOpeningStartsFromTheFirstButtons()
    {
        CPortSettingDlg dialog;
        QCOMPARE(Click(dialog, { 1004, 1009, 1024 }), int(QDialog::Accepted));
        QCOMPARE(Kept(dialog), QStringLiteral("COM3 9600 8 0 0 flow0"));
        QList<int> checked;
        QCOMPARE(Run(dialog,
                     [&checked](QDialog& shown) {
                         for (QAbstractButton* radio : shown.findChildren<QAbstractButton*>()) {
                             if (radio->isCheckable() && radio->isChecked())
                                 checked.append(radio->objectName().mid(2).toInt());
                         }
                         Button(shown, 1025)->click();
                     }),
            int(QDialog::Rejected));
        std::sort(checked.begin(), checked.end());
        QCOMPARE(checked, (QList<int> { 1002, 1011, 1015, 1018, 1021, 1044 }));
    }

    // From settings that differ in every field, one button of each group clicked and SET.
    void setDerivesTheSettings_data()
    {
        QTest::addColumn<QList<int>>("radios");
        QTest::addColumn<QString>("kept");
        QTest::newRow("57.6K, 9 bits, 1.5 stop bits, odd, Xon/Xoff")
            << QList<int> { 1006, 1012, 1016, 1019, 1022 } << "COM1 57600 9 1 1 flow1";
        QTest::newRow("33.6K, 11 bits, 2 stop bits, even, hardware")
            << QList<int> { 1007, 1014, 1017, 1020, 1023 } << "COM1 33600 11 2 2 flow2";
        QTest::newRow("19.2K") << QList<int> { 1008 } << "COM1 19200 8 0 0 flow0";
    }
    void setDerivesTheSettings()
    {
        QFETCH(QList<int>, radios);
        CPortSettingDlg dialog;
        QCOMPARE(Click(dialog, { 1004, 1009, 1013, 1016, 1019, 1023, 1024 }), int(QDialog::Accepted));
        QCOMPARE(Click(dialog, radios << 1024), int(QDialog::Accepted));
        QTEST(Kept(dialog), "kept");
    }

    // Only SET keeps what was clicked (here Com2 over the Com4 kept before).
    void endingsOfTheDialog_data()
    {
        QTest::addColumn<int>("ending");
        QTest::addColumn<int>("result");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
        QTest::newRow("close box") << 0 << int(QDialog::Rejected);
        QTest::newRow("CLOSE") << -1 << int(QDialog::Rejected);
    }
    void endingsOfTheDialog()
    {
        QFETCH(int, ending);
        CPortSettingDlg dialog;
        QCOMPARE(Click(dialog, { 1005, 1024 }), int(QDialog::Accepted));
        QTEST(Run(dialog,
                  [ending](QDialog& shown) {
                      Button(shown, 1003)->click();
                      if (ending > 0)
                          QTest::keyClick(&shown, Qt::Key(ending));
                      else if (ending == 0)
                          shown.close();
                      else
                          Button(shown, 1025)->click();
                  }),
            "result");
        QCOMPARE(dialog.Settings().port, ending == Qt::Key_Return ? 2 : 4);
    }

    // Alt and a letter reach every control (a group's checked radio, the arrows move within the
    // group; a button's letter clicks it), and Tab walks them in reading order.
    void keyboardReachesEveryControl()
    {
        CPortSettingDlg dialog;
        QStringList reached;
        QStringList order;
        const int result = Run(dialog, [&](QDialog& shown) {
            shown.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&shown));
            QAbstractButton* refresh = shown.findChild<QAbstractButton*>(QStringLiteral("refreshDevices"));
            connect(refresh, &QAbstractButton::clicked, &shown, [&reached] { reached << "Refresh clicked"; });
            for (const char letter : { 'c', 's', 'd', 't', 'p', 'f', 'v', 'r' }) {
                QTest::keyClick(&shown, letter, Qt::AltModifier);
                reached << FocusName(shown);
            }
            Button(shown, 1002)->setFocus();
            for (int i = 0; i < 11; ++i) {
                order << FocusName(shown);
                QTest::keyClick(shown.focusWidget(), Qt::Key_Tab);
            }
            QTest::keyClick(&shown, 'e', Qt::AltModifier);
            QTRY_VERIFY(!shown.isVisible());
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(reached.join(' '),
            QStringLiteral("id1002 id1044 id1011 id1015 id1018 id1021 deviceList deviceList Refresh clicked"));
        QCOMPARE(order.join(' '),
            QStringLiteral("id1002 id1044 id1011 id1015 id1018 id1021 deviceList refreshDevices id1024 id1025 id1002"));
    }

    // What the Device row of Com1 leaves saved for it (Com2 is mapped to a link that turns up while
    // the dialog is open, Com3 to a pseudo-terminal): a device chosen or typed and SET, when it exists.
    void deviceRow_data()
    {
        QTest::addColumn<DeviceCase>("c");
        QTest::newRow("chosen, SET") << DeviceCase { "choose", "pty", 1024, true };
        QTest::newRow("chosen, CLOSE") << DeviceCase { "choose", "pty", 1025, false };
        QTest::newRow("typed") << DeviceCase { "type", "pty", 1024, true };
        QTest::newRow("typed, not there") << DeviceCase { "type", "gone", 1024, false };
        QTest::newRow("typed, a folder") << DeviceCase { "type", ".", 1024, false };
        QTest::newRow("listed after Refresh") << DeviceCase { "refresh", "stb", 1024, true };
        QTest::newRow("Esc on the open list") << DeviceCase { "esc", "pty", 1024, false };
    }
    void deviceRow()
    {
        QFETCH(DeviceCase, c);
        const QLatin1String action(c.action);
        OwnSettings settings;
        PtyPair pty;
        const QString device = c.device == QLatin1String("pty") ? pty.SlavePath() : settings.dir.filePath(c.device);
        SaveDeviceForPort(2, settings.dir.filePath(QStringLiteral("stb")));
        SaveDeviceForPort(3, pty.SlavePath());
        CPortSettingDlg dialog;
        Run(dialog, [&](QDialog& shown) {
            QComboBox* list = DeviceList(shown);
            Button(shown, 1004)->click();
            QCOMPARE(list->currentData().toString(), pty.SlavePath());
            Button(shown, 1002)->click();
            const QString row = list->currentText();
            if (action == "type") {
                list->lineEdit()->selectAll();
                QTest::keyClicks(list->lineEdit(), device);
            } else if (action == "esc") {
                list->showPopup();
                QTest::keyClick(list->view(), Qt::Key_Down);
                QTest::keyClick(list->view(), Qt::Key_Escape);
                QVERIFY(shown.isVisible() && !list->view()->isVisible());
                QCOMPARE(list->currentText(), row);
            } else {
                if (action == "refresh") {
                    QVERIFY(list->findData(device) < 0 && QFile::link(pty.SlavePath(), device));
                    shown.findChild<QAbstractButton*>(QStringLiteral("refreshDevices"))->click();
                }
                const int index = list->findData(device);
                list->setCurrentIndex(index);
                emit list->activated(index);
            }
            Button(shown, c.end)->click();
        });
        QCOMPARE(SavedDeviceForPort(1) == device, c.kept);
    }

    // The variable wins, and the row says so instead of offering a choice.
    void environmentWinsOverTheRow()
    {
        OwnSettings settings;
        PtyPair pty;
        qputenv("TESSAVO2_COM1", pty.SlavePath().toLocal8Bit());
        CPortSettingDlg dialog;
        QString row;
        Run(dialog, [&row](QDialog& shown) {
            row = DeviceList(shown)->currentText() + (DeviceList(shown)->isEnabled() ? "" : "|off");
            Button(shown, 1024)->click();
        });
        qunsetenv("TESSAVO2_COM1");
        QCOMPARE(row, pty.SlavePath() + " (set by TESSAVO2_COM1)|off");
        QCOMPARE(SavedDeviceForPort(1), QString());
    }
};

QTEST_MAIN(TestPortSettingDlg)
#include "test_portsettingdlg.moc"
