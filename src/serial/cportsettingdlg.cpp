#include "serial/cportsettingdlg.h"

#include "base/dialogunits.h"
#include "serial/portname.h"
#include "serial/serialportlist.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

namespace {

struct GroupLayout {
    CPortSettingDlg::Group group;
    const char* title;
    int mnemonic; // where the title's Alt letter is
    int x;
    int width;
    std::array<const char*, 5> texts;
    std::array<int, 5> ids;
};

// Left to right as the dialog shows them; ids are the controls' resource ids.
constexpr std::array<GroupLayout, 6> kGroups { {
    { CPortSettingDlg::ComPort, "Com Port", 0, 7, 40, { "Com1", "Com2", "Com3", "Com4", nullptr },
        { 1002, 1003, 1004, 1005, 0 } },
    { CPortSettingDlg::Speed, "Speed", 0, 51, 46, { "115.2k", "57.6K", "33.6K", "19.2K", "9.6K" },
        { 1044, 1006, 1007, 1008, 1009 } },
    { CPortSettingDlg::DataBits, "Data Bits", 0, 101, 46, { "8 Bits", "9 Bits", "10 Bits", "11 Bits", nullptr },
        { 1011, 1012, 1013, 1014, 0 } },
    { CPortSettingDlg::StopBits, "Stop Bits", 1, 151, 38, { "1", "1.5", "2", nullptr, nullptr },
        { 1015, 1016, 1017, 0, 0 } },
    { CPortSettingDlg::Parity, "Parity", 0, 193, 40, { "None", "Odd", "Even", nullptr, nullptr },
        { 1018, 1019, 1020, 0, 0 } },
    { CPortSettingDlg::FlowControl, "Flow Control", 0, 237, 55, { "None", "Xon/Xoff", "Hardware", nullptr, nullptr },
        { 1021, 1022, 1023, 0, 0 } },
} };

constexpr std::array<uint32_t, 5> kBaudRates { 115200, 57600, 33600, 19200, 9600 };

// The dialog grows by the device row; SET and CLOSE move down with it.
constexpr int kDeviceRowY = 85;
constexpr int kButtonsY = kDeviceRowY + 18;

// The same port under another name (a by-id link, a symbolic link) is the same entry.
QString Canonical(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

CPortSettingDlg::CPortSettingDlg(QWidget* parent)
    : QDialog(parent)
{
    m_choices.fill(-1);
    setWindowTitle(QStringLiteral("Port Setting"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.X(299), du.Y(111 + kButtonsY - 88));

    // The radios live in their boxes, so a box's mnemonic takes the keyboard to its checked radio and
    // the arrows move within the group.
    for (const GroupLayout& layout : kGroups) {
        const QString title = QString::fromLatin1(layout.title);
        auto* box = new QGroupBox(QString(title).insert(layout.mnemonic, QLatin1Char('&')), this);
        du.Place(box, layout.x, 6, layout.width, 74);
        const QPoint origin = box->pos();
        auto* group = new QButtonGroup(this);
        m_groups[layout.group] = group;
        for (int i = 0; i < int(layout.texts.size()) && layout.texts[i]; ++i) {
            auto* radio = new QRadioButton(QString::fromLatin1(layout.texts[i]), box);
            radio->setObjectName(ResourceIdName(layout.ids[i]));
            radio->setAccessibleName(title + QLatin1Char(' ') + radio->text());
            radio->setGeometry(du.Rect(layout.x + 6, 18 + i * 12, layout.width - 8, 10).translated(-origin));
            group->addButton(radio, i);
        }
    }

    auto* deviceLabel = new QLabel(QStringLiteral("De&vice"), this);
    du.Place(deviceLabel, 7, kDeviceRowY + 2, 30, 8);
    m_deviceList = new QComboBox(this);
    m_deviceList->setObjectName(QStringLiteral("deviceList"));
    m_deviceList->setAccessibleName(QStringLiteral("Device"));
    // A device the enumeration does not know (a pseudo-terminal, a link of one's own) can be typed.
    m_deviceList->setEditable(true);
    m_deviceList->setInsertPolicy(QComboBox::NoInsert);
    deviceLabel->setBuddy(m_deviceList);
    du.Place(m_deviceList, 40, kDeviceRowY, 198, 13);
    connect(m_deviceList, &QComboBox::activated, this, &CPortSettingDlg::ChooseDeviceInRow);
    connect(m_deviceList->lineEdit(), &QLineEdit::textEdited, this, &CPortSettingDlg::ChooseDeviceInRow);
    connect(m_groups[ComPort], &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            ShowDeviceOfCheckedPort();
    });

    auto* refresh = new QPushButton(QStringLiteral("&Refresh"), this);
    refresh->setObjectName(QStringLiteral("refreshDevices"));
    refresh->setAutoDefault(false);
    du.Place(refresh, 242, kDeviceRowY - 1, 50, 15);
    connect(refresh, &QPushButton::clicked, this, [this] {
        RefreshDevices();
        ShowDeviceOfCheckedPort();
    });

    auto* set = new QPushButton(QStringLiteral("S&ET"), this);
    set->setObjectName(ResourceIdName(1024));
    set->setDefault(true);
    du.Place(set, 183, kButtonsY, 50, 15);
    connect(set, &QPushButton::clicked, this, &CPortSettingDlg::OnSet);

    auto* close = new QPushButton(QStringLiteral("C&LOSE"), this);
    close->setObjectName(ResourceIdName(1025));
    close->setAutoDefault(false);
    du.Place(close, 239, kButtonsY, 53, 15);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CPortSettingDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        OnInitDialog();
}

void CPortSettingDlg::OnInitDialog()
{
    m_chosenDevices.fill(QString());
    RefreshDevices();
    m_choices.fill(0);
    for (int g = 0; g < GroupCount; ++g)
        m_groups[g]->button(m_choices[g])->setChecked(true);
    ShowDeviceOfCheckedPort();
}

void CPortSettingDlg::RefreshDevices()
{
    m_deviceList->clear();
    for (const SerialPortEntry& entry : ListSerialPorts()) {
        const int index = AddDeviceItem(StablePortName(entry), PortEntryText(entry));
        m_deviceList->setItemData(index, entry.device, Qt::ToolTipRole);
    }
}

int CPortSettingDlg::AddDeviceItem(const QString& device, const QString& text)
{
    m_deviceList->addItem(text, device);
    return m_deviceList->count() - 1;
}

void CPortSettingDlg::ShowDeviceOfCheckedPort()
{
    const int portIndex = m_groups[ComPort]->checkedId();
    if (portIndex < 0)
        return;
    const ResolvedPort resolved = ResolvePort(portIndex + 1);
    const bool fromEnvironment = resolved.source == PortNameSource::Environment;
    const QString device
        = m_chosenDevices[portIndex].isEmpty() || fromEnvironment ? resolved.device : m_chosenDevices[portIndex];
    // Remove what an earlier Com added for its own device alone.
    for (int i = m_deviceList->count() - 1; i >= 0; --i)
        if (m_deviceList->itemData(i, Qt::UserRole + 1).toBool())
            m_deviceList->removeItem(i);
    int index = -1;
    for (int i = 0; i < m_deviceList->count() && index < 0; ++i)
        if (Canonical(m_deviceList->itemData(i).toString()) == Canonical(device))
            index = i;
    if (fromEnvironment || index < 0) {
        QString text = device;
        if (fromEnvironment)
            text += QStringLiteral(" (set by TESSAVO2_COM%1)").arg(portIndex + 1);
        else if (!IsDevicePresent(device))
            text += QStringLiteral(" (not found)");
        index = AddDeviceItem(device, text);
        m_deviceList->setItemData(index, true, Qt::UserRole + 1);
    }
    m_deviceList->setCurrentIndex(index);
    m_deviceList->setEnabled(!fromEnvironment);
}

// The row's text names an entry of the list or is a typed path.
void CPortSettingDlg::ChooseDeviceInRow()
{
    const int port = m_groups[ComPort]->checkedId();
    if (port < 0 || port >= int(m_chosenDevices.size()))
        return;
    const QString text = m_deviceList->currentText().trimmed();
    const int index = m_deviceList->findText(text, Qt::MatchExactly);
    m_chosenDevices[port] = index >= 0 ? m_deviceList->itemData(index).toString() : text;
}

void CPortSettingDlg::ReadChoices()
{
    for (int g = 0; g < GroupCount; ++g)
        m_choices[g] = m_groups[g]->checkedId();
}

void CPortSettingDlg::OnSet()
{
    ReadChoices();
    m_settings.port = m_choices[ComPort] + 1;
    if (m_choices[Speed] >= 0 && m_choices[Speed] < int(kBaudRates.size()))
        m_settings.baudRate = kBaudRates[m_choices[Speed]];
    m_settings.dataBits = uint8_t(m_choices[DataBits] + 8);
    m_settings.stopBits = uint8_t(m_choices[StopBits]);
    m_settings.parity = uint8_t(m_choices[Parity]);
    // A mapping to nothing would only turn the next transfer into "CommPort Open Error".
    for (int port = 0; port < int(m_chosenDevices.size()); ++port)
        if (!m_chosenDevices[port].isEmpty() && IsDevicePresent(m_chosenDevices[port]))
            SaveDeviceForPort(port + 1, m_chosenDevices[port]);
    accept();
}
