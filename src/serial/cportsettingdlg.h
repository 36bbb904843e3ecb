#pragma once

#include "serial/portsettings.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QComboBox;

// The modal "Port Setting" dialog. It keeps the settings the next port opening uses; only SET
// changes them. Every opening starts from the first button of each group. Under the groups, the
// "Device" row lists the serial ports found at opening (or at Refresh) and takes a typed path; the
// device chosen for a Com is remembered for it on SET if it exists (unless the Com's environment
// variable names a device, which always wins).
class CPortSettingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPortSettingDlg(QWidget* parent = nullptr);

    [[nodiscard]] const PortSettings& Settings() const { return m_settings; }

    // Group order of the choices: stop bits, flow control, data bits, port, parity, speed.
    enum Group { StopBits, FlowControl, DataBits, ComPort, Parity, Speed, GroupCount };

    [[nodiscard]] int Choice(Group group) const { return m_choices[group]; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnSet();
    void ReadChoices();
    void RefreshDevices();
    void ChooseDeviceInRow();
    void ShowDeviceOfCheckedPort();
    int AddDeviceItem(const QString& device, const QString& text);

    PortSettings m_settings;
    std::array<int, GroupCount> m_choices;
    std::array<QButtonGroup*, GroupCount> m_groups {};
    QComboBox* m_deviceList = nullptr;
    // Devices chosen in this opening, by port index; written to the user's settings on SET.
    std::array<QString, 4> m_chosenDevices;
};
