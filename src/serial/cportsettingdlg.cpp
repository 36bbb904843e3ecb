#include "serial/cportsettingdlg.h"

#include "base/dialogunits.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

namespace {

struct GroupLayout {
    CPortSettingDlg::Group group;
    const char* title;
    int x;
    int width;
    std::array<const char*, 5> texts;
    std::array<int, 5> ids;
};

// Left to right as the dialog shows them; ids are the controls' resource ids.
constexpr std::array<GroupLayout, 6> kGroups { {
    { CPortSettingDlg::ComPort, "Com Port", 7, 40, { "Com1", "Com2", "Com3", "Com4", nullptr },
        { 1002, 1003, 1004, 1005, 0 } },
    { CPortSettingDlg::Speed, "Speed", 51, 46, { "115.2k", "57.6K", "33.6K", "19.2K", "9.6K" },
        { 1044, 1006, 1007, 1008, 1009 } },
    { CPortSettingDlg::DataBits, "Data Bits", 101, 46, { "8 Bits", "9 Bits", "10 Bits", "11 Bits", nullptr },
        { 1011, 1012, 1013, 1014, 0 } },
    { CPortSettingDlg::StopBits, "Stop Bits", 151, 38, { "1", "1.5", "2", nullptr, nullptr },
        { 1015, 1016, 1017, 0, 0 } },
    { CPortSettingDlg::Parity, "Parity", 193, 40, { "None", "Odd", "Even", nullptr, nullptr },
        { 1018, 1019, 1020, 0, 0 } },
    { CPortSettingDlg::FlowControl, "Flow Control", 237, 55, { "None", "Xon/Xoff", "Hardware", nullptr, nullptr },
        { 1021, 1022, 1023, 0, 0 } },
} };

constexpr std::array<uint32_t, 5> kBaudRates { 115200, 57600, 33600, 19200, 9600 };

} // namespace

CPortSettingDlg::CPortSettingDlg(QWidget* parent)
    : QDialog(parent)
{
    m_choices.fill(-1);
    setWindowTitle(QStringLiteral("Port Setting"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.X(299), du.Y(111));

    for (const GroupLayout& layout : kGroups) {
        auto* box = new QGroupBox(QString::fromLatin1(layout.title), this);
        du.Place(box, layout.x, 6, layout.width, 74);
        auto* group = new QButtonGroup(this);
        m_groups[layout.group] = group;
        for (int i = 0; i < int(layout.texts.size()) && layout.texts[i]; ++i) {
            auto* radio = new QRadioButton(QString::fromLatin1(layout.texts[i]), this);
            radio->setObjectName(ResourceIdName(layout.ids[i]));
            du.Place(radio, layout.x + 6, 18 + i * 12, layout.width - 8, 10);
            group->addButton(radio, i);
        }
    }

    auto* set = new QPushButton(QStringLiteral("SET"), this);
    set->setObjectName(ResourceIdName(1024));
    set->setDefault(true);
    du.Place(set, 183, 88, 50, 15);
    connect(set, &QPushButton::clicked, this, &CPortSettingDlg::OnSet);

    auto* close = new QPushButton(QStringLiteral("CLOSE"), this);
    close->setObjectName(ResourceIdName(1025));
    close->setAutoDefault(false);
    du.Place(close, 239, 88, 53, 15);
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
    m_choices.fill(0);
    for (int g = 0; g < GroupCount; ++g)
        m_groups[g]->button(m_choices[g])->setChecked(true);
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
    accept();
}
