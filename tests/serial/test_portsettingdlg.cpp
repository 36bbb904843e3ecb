#include "base/modaldialog.h"
#include "ptypair.h"
#include "serial/cportsettingdlg.h"
#include "serial/portname.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <initializer_list>

namespace {

QAbstractButton* Button(QDialog& dialog, int id)
{
    return dialog.findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
}

// Runs the dialog once: clicks the given radio buttons, then SET (1024) or CLOSE (1025).
// Records which radio buttons were checked when the dialog opened.
int RunDialog(
    CPortSettingDlg& dialog, std::initializer_list<int> clicks, int endButton, QList<int>* checkedAtOpen = nullptr)
{
    const QList<int> clickList(clicks);
    SetModalHandler([&](QDialog& shown) {
        if (checkedAtOpen) {
            for (QAbstractButton* radio : shown.findChildren<QAbstractButton*>()) {
                if (radio->isCheckable() && radio->isChecked())
                    checkedAtOpen->append(radio->objectName().mid(2).toInt());
            }
        }
        for (int id : clickList)
            Button(shown, id)->click();
        Button(shown, endButton)->click();
    });
    const int result = ExecModal(dialog);
    SetModalHandler(nullptr);
    return result;
}

struct DeviceRow {
    QString device;
    QString text;
    bool enabled = false;
};

// Runs the dialog once: checks a Com, records its Device row, chooses a device if given and ends.
DeviceRow RunDeviceRow(CPortSettingDlg& dialog, int com, const QString& choice, int endButton)
{
    DeviceRow row;
    SetModalHandler([&](QDialog& shown) {
        Button(shown, com)->click();
        auto* list = shown.findChild<QComboBox*>(QStringLiteral("deviceList"));
        row = { list->currentData().toString(), list->currentText(), list->isEnabled() };
        if (const int index = list->findData(choice); index >= 0) {
            list->setCurrentIndex(index);
            emit list->activated(index);
        }
        Button(shown, endButton)->click();
    });
    ExecModal(dialog);
    SetModalHandler(nullptr);
    return row;
}

} // namespace

class TestPortSettingDlg : public QObject {
    Q_OBJECT
private slots:
    void everyOpeningStartsFromTheFirstButtons()
    {
        CPortSettingDlg dialog;
        QCOMPARE(dialog.Choice(CPortSettingDlg::ComPort), -1);
        QCOMPARE(RunDialog(dialog, { 1004, 1009 }, 1024), int(QDialog::Accepted));
        QCOMPARE(dialog.Settings().port, 3);
        QCOMPARE(dialog.Settings().baudRate, 9600u);

        QList<int> checked;
        QCOMPARE(RunDialog(dialog, {}, 1025, &checked), int(QDialog::Rejected));
        std::sort(checked.begin(), checked.end());
        QCOMPARE(checked, (QList<int> { 1002, 1011, 1015, 1018, 1021, 1044 }));
    }

    void setDerivesTheSettings_data()
    {
        QTest::addColumn<int>("radio");
        QTest::addColumn<int>("port");
        QTest::addColumn<uint>("baud");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<int>("parity");
        QTest::newRow("Com2") << 1003 << 2 << 115200u << 8 << 0 << 0;
        QTest::newRow("Com4") << 1005 << 4 << 115200u << 8 << 0 << 0;
        QTest::newRow("57.6K") << 1006 << 1 << 57600u << 8 << 0 << 0;
        QTest::newRow("33.6K") << 1007 << 1 << 33600u << 8 << 0 << 0;
        QTest::newRow("19.2K") << 1008 << 1 << 19200u << 8 << 0 << 0;
        QTest::newRow("9 Bits") << 1012 << 1 << 115200u << 9 << 0 << 0;
        QTest::newRow("11 Bits") << 1014 << 1 << 115200u << 11 << 0 << 0;
        QTest::newRow("1.5 stop bits") << 1016 << 1 << 115200u << 8 << 1 << 0;
        QTest::newRow("2 stop bits") << 1017 << 1 << 115200u << 8 << 2 << 0;
        QTest::newRow("Odd") << 1019 << 1 << 115200u << 8 << 0 << 1;
        QTest::newRow("Even") << 1020 << 1 << 115200u << 8 << 0 << 2;
        QTest::newRow("Xon/Xoff") << 1022 << 1 << 115200u << 8 << 0 << 0;
        QTest::newRow("Hardware") << 1023 << 1 << 115200u << 8 << 0 << 0;
    }

    void setDerivesTheSettings()
    {
        QFETCH(int, radio);
        CPortSettingDlg dialog;
        // Start from settings that differ in every field.
        QCOMPARE(RunDialog(dialog, { 1004, 1009, 1013, 1016, 1019 }, 1024), int(QDialog::Accepted));
        QCOMPARE(RunDialog(dialog, { radio }, 1024), int(QDialog::Accepted));
        const PortSettings& s = dialog.Settings();
        QTEST(int(s.port), "port");
        QTEST(uint(s.baudRate), "baud");
        QTEST(int(s.dataBits), "dataBits");
        QTEST(int(s.stopBits), "stopBits");
        QTEST(int(s.parity), "parity");
    }

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
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Port Setting"));
        QCOMPARE(RunDialog(dialog, { 1005 }, 1024), int(QDialog::Accepted));
        SetModalHandler([ending](QDialog& shown) {
            Button(shown, 1003)->click();
            if (ending > 0)
                QTest::keyClick(&shown, Qt::Key(ending));
            else if (ending == 0)
                shown.close();
            else
                Button(shown, 1025)->click();
        });
        QTEST(ExecModal(dialog), "result");
        SetModalHandler(nullptr);
        QCOMPARE(dialog.Settings().port, ending == Qt::Key_Return ? 2 : 4);
    }

    // COM3 and COM4 are mapped to two pseudo-terminals; the list offers both.
    void deviceRowMapsTheCheckedCom()
    {
        QTemporaryDir config;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        PtyPair first;
        PtyPair second;
        SaveDeviceForPort(3, first.SlavePath());
        SaveDeviceForPort(4, second.SlavePath());
        CPortSettingDlg dialog;
        QCOMPARE(RunDeviceRow(dialog, 1005, {}, 1025).device, second.SlavePath());
        QCOMPARE(RunDeviceRow(dialog, 1004, second.SlavePath(), 1025).device, first.SlavePath());
        QCOMPARE(SavedDeviceForPort(3), first.SlavePath());
        RunDeviceRow(dialog, 1004, second.SlavePath(), 1024);
        QCOMPARE(DevicePathForPort(3), second.SlavePath());

        // The variable wins, and the row says so instead of offering a choice.
        qputenv("TESSAVO2_COM3", first.SlavePath().toLocal8Bit());
        const DeviceRow row = RunDeviceRow(dialog, 1004, {}, 1024);
        qunsetenv("TESSAVO2_COM3");
        QCOMPARE(row.text, first.SlavePath() + QStringLiteral(" (set by TESSAVO2_COM3)"));
        QVERIFY(!row.enabled);
        QCOMPARE(SavedDeviceForPort(3), second.SlavePath());
    }
};

QTEST_MAIN(TestPortSettingDlg)
#include "test_portsettingdlg.moc"
