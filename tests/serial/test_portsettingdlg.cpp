#include "base/modaldialog.h"
#include "serial/cportsettingdlg.h"

#include <QAbstractButton>
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
        // CLOSE keeps what the last SET chose.
        QCOMPARE(dialog.Settings().port, 3);
        QCOMPARE(dialog.Settings().baudRate, 9600u);

        QCOMPARE(RunDialog(dialog, {}, 1024), int(QDialog::Accepted));
        const PortSettings& s = dialog.Settings();
        QCOMPARE(s.port, 1);
        QCOMPARE(s.baudRate, 115200u);
        QCOMPARE(int(s.dataBits), 8);
        QCOMPARE(int(s.parity), int(kParityNone));
        QCOMPARE(int(s.stopBits), int(kStopBitsOne));
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

    void returnPressesSetEscapeAndTheCloseBoxKeepTheSettings()
    {
        CPortSettingDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Port Setting"));
        SetModalHandler([](QDialog& shown) {
            Button(shown, 1005)->click();
            QTest::keyClick(&shown, Qt::Key_Return);
        });
        QCOMPARE(ExecModal(dialog), int(QDialog::Accepted));
        SetModalHandler([](QDialog& shown) {
            Button(shown, 1003)->click();
            QTest::keyClick(&shown, Qt::Key_Escape);
        });
        QCOMPARE(ExecModal(dialog), int(QDialog::Rejected));
        SetModalHandler([](QDialog& shown) {
            Button(shown, 1003)->click();
            shown.close();
        });
        QCOMPARE(ExecModal(dialog), int(QDialog::Rejected));
        SetModalHandler(nullptr);
        QCOMPARE(dialog.Settings().port, 4);
    }
};

QTEST_MAIN(TestPortSettingDlg)
#include "test_portsettingdlg.moc"
