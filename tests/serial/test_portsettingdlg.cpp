#include "base/modaldialog.h"
#include "ptypair.h"
#include "serial/cportsettingdlg.h"
#include "serial/portname.h"

#include <QAbstractButton>
#include <QComboBox>
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

    // COM3 and COM4 are mapped to two pseudo-terminals; the list offers both, and SET keeps a choice.
    void deviceRowMapsTheCheckedCom()
    {
        QTemporaryDir config;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        PtyPair first;
        PtyPair second;
        SaveDeviceForPort(3, first.SlavePath());
        SaveDeviceForPort(4, second.SlavePath());
        CPortSettingDlg dialog;
        // Checks a Com, reads its Device row (device, text, and "off" when disabled), chooses choice if given.
        const auto deviceRow = [&dialog](int com, const QString& choice, int end) {
            QString row;
            Run(dialog, [&](QDialog& shown) {
                Button(shown, com)->click();
                auto* list = shown.findChild<QComboBox*>(QStringLiteral("deviceList"));
                row = list->currentData().toString() + '|' + list->currentText() + (list->isEnabled() ? "" : "|off");
                if (const int index = list->findData(choice); index >= 0) {
                    list->setCurrentIndex(index);
                    emit list->activated(index);
                }
                Button(shown, end)->click();
            });
            return row;
        };
        QVERIFY(deviceRow(1005, {}, 1025).startsWith(second.SlavePath() + '|'));
        QVERIFY(deviceRow(1004, second.SlavePath(), 1025).startsWith(first.SlavePath() + '|'));
        QCOMPARE(SavedDeviceForPort(3), first.SlavePath());
        deviceRow(1004, second.SlavePath(), 1024);
        QCOMPARE(DevicePathForPort(3), second.SlavePath());

        // The variable wins, and the row says so instead of offering a choice.
        qputenv("TESSAVO2_COM3", first.SlavePath().toLocal8Bit());
        const QString row = deviceRow(1004, {}, 1024);
        qunsetenv("TESSAVO2_COM3");
        QCOMPARE(row, first.SlavePath() + '|' + first.SlavePath() + " (set by TESSAVO2_COM3)|off");
        QCOMPARE(SavedDeviceForPort(3), second.SlavePath());
    }
};

QTEST_MAIN(TestPortSettingDlg)
#include "test_portsettingdlg.moc"
