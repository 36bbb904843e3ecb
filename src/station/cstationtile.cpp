#include "station/cstationtile.h"

#include "station/stationrecords.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CStationTile::CStationTile(int line, QWidget* parent)
    : QFrame(parent)
    , m_port(new QLabel(this))
    , m_state(new QLabel(this))
    , m_detail(new QLabel(this))
    , m_count(new QLabel(this))
    , m_start(new QPushButton(QStringLiteral("Start"), this))
    , m_stop(new QPushButton(QStringLiteral("Stop"), this))
{
    setObjectName(QStringLiteral("tile%1").arg(line));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setMinimumSize(220, 150);
    m_state->setObjectName(QStringLiteral("state"));
    m_detail->setObjectName(QStringLiteral("detail"));
    m_count->setObjectName(QStringLiteral("count"));
    m_start->setObjectName(QStringLiteral("startLine"));
    m_stop->setObjectName(QStringLiteral("stopLine"));
    QFont big = m_state->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    m_state->setFont(big);
    m_state->setAlignment(Qt::AlignCenter);
    m_detail->setAlignment(Qt::AlignCenter);
    m_detail->setWordWrap(true);
    QFont bold = m_port->font();
    bold.setBold(true);
    m_port->setFont(bold);
    m_port->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_port->setWordWrap(true);
    m_count->setFont(bold);
    auto* header = new QHBoxLayout;
    header->addWidget(m_port, 1);
    header->addWidget(m_count, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(m_state, 1);
    layout->addWidget(m_detail);
    layout->addLayout(buttons);

    connect(m_start, &QPushButton::clicked, this, [this, line] { emit startClicked(line); });
    connect(m_stop, &QPushButton::clicked, this, [this, line] { emit stopClicked(line); });
}

QColor CStationTile::StateColor(LineState state)
{
    switch (state) {
    case LineState::Pass:
        return QColor(0x2e, 0x7d, 0x32);
    case LineState::Fail:
        return QColor(0xc6, 0x28, 0x28);
    case LineState::Flashing:
        return QColor(0x15, 0x65, 0xc0);
    case LineState::Lost:
        return QColor(0x6d, 0x4c, 0x41);
    case LineState::Waiting:
        return QColor(0xe3, 0xe8, 0xee);
    case LineState::Stopped:
        break;
    }
    return QColor(0xc8, 0xc8, 0xc8);
}

void CStationTile::Show(const LineStatus& status)
{
    const TileText text = LineTileText(status);
    const QString name = status.device.isEmpty() || status.device == status.port
        ? status.port
        : QStringLiteral("%1  (%2)").arg(status.port, status.device);
    m_port->setText(name);
    m_state->setText(text.state);
    m_detail->setText(text.detail);
    m_count->setText(QStringLiteral("Receivers: %1").arg(status.receivers));
    QPalette colours = palette();
    const bool quiet = status.state == LineState::Waiting || status.state == LineState::Stopped;
    colours.setColor(QPalette::Window, StateColor(status.state));
    colours.setColor(QPalette::WindowText, quiet ? QColor(Qt::black) : QColor(Qt::white));
    setPalette(colours);
    m_start->setToolTip(QStringLiteral("Start %1").arg(status.port));
    m_stop->setToolTip(QStringLiteral("Stop %1").arg(status.port));
    m_start->setAccessibleName(m_start->toolTip());
    m_stop->setAccessibleName(m_stop->toolTip());
    const bool stopped = status.state == LineState::Stopped;
    m_start->setEnabled(stopped);
    m_stop->setEnabled(!stopped);
    setAccessibleName(QStringLiteral("%1: %2 %3").arg(name, text.state, text.detail).trimmed());
}
