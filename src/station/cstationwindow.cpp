#include "station/cstationwindow.h"

#include "base/filedialog.h"
#include "serial/serialportlist.h"
#include "station/cstationtile.h"
#include "station/stationrecords.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSysInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPortRole = Qt::UserRole;
constexpr std::array kSpeeds { 9600, 19200, 38400, 57600, 115200, 230400 };

QLabel* Buddy(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QString EntryText(const SerialPortEntry& entry)
{
    QString text = PortEntryText(entry);
    QStringList coms;
    for (const int com : entry.comPorts)
        coms << QStringLiteral("COM%1").arg(com);
    if (!coms.isEmpty())
        text += QStringLiteral("  (%1)").arg(coms.join(QStringLiteral(", ")));
    return text;
}

} // namespace

CStationWindow::CStationWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_logPath(DefaultStationLogPath())
{
    setObjectName(QStringLiteral("productionStation"));
    setWindowTitle(QStringLiteral("Production Station"));
    auto* setup = new QGridLayout;
    BuildSetup(setup);

    auto* tiles = new QWidget;
    m_tileGrid = new QGridLayout(tiles);
    auto* scroll = Named(new QScrollArea, "tiles");
    scroll->setWidgetResizable(true);
    scroll->setWidget(tiles);
    scroll->setMinimumHeight(170);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(setup);
    layout->addWidget(scroll, 1);
    layout->addWidget(BuildRecords());
    m_status = Named(new QLabel, "status");
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_status);

    RefreshPorts();
    ShowPlannedTiles();
    ShowRunning();
    resize(900, 720);
}

CStationWindow::~CStationWindow() = default;

void CStationWindow::BuildSetup(QGridLayout* grid)
{
    m_image = Named(new QLabel(QStringLiteral("(none)")), "image");
    m_image->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_open = Named(new QPushButton(QStringLiteral("&Open...")), "openImage");
    m_kind = Named(new QComboBox, "kind");
    m_kind->addItem(QStringLiteral("Code"), int(TransferKind::Code));
    m_kind->addItem(QStringLiteral("Loader"), int(TransferKind::Loader));
    m_kind->addItem(QStringLiteral("Preset"), int(TransferKind::Preset));
    m_sha = Named(new QLabel, "sha256");
    m_sha->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_ports = Named(new QListWidget, "lines");
    m_ports->setMaximumHeight(96);
    m_typed = Named(new QLineEdit, "typedPath");
    m_typed->setPlaceholderText(QStringLiteral("/dev/ttyUSB0 or COM2"));
    m_add = Named(new QPushButton(QStringLiteral("&Add")), "addLine");
    m_refresh = Named(new QPushButton(QStringLiteral("Re&fresh")), "refreshLines");
    m_speed = Named(new QComboBox, "speed");
    for (const int speed : kSpeeds)
        m_speed->addItem(QString::number(speed), speed);
    m_speed->setCurrentText(QStringLiteral("115200"));
    m_rearm = Named(new QDoubleSpinBox, "rearm");
    m_rearm->setRange(0.2, 60);
    m_rearm->setSingleStep(0.5);
    m_rearm->setDecimals(1);
    m_rearm->setValue(2);
    m_rearm->setSuffix(QStringLiteral(" s"));
    m_rearm->setToolTip(QStringLiteral("How long a line must be silent before the next receiver counts as new"));
    m_sound = Named(new QCheckBox(QStringLiteral("Sou&nd on PASS and FAIL")), "sound");
    m_sound->setChecked(true);
    m_log = Named(new QLabel(m_logPath), "logPath");
    m_log->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pickLog = Named(new QPushButton(QStringLiteral("Lo&g File...")), "pickLog");
    m_startAll = Named(new QPushButton(QStringLiteral("&Start All")), "startAll");
    m_stopAll = Named(new QPushButton(QStringLiteral("S&top All")), "stopAll");

    grid->addWidget(Buddy(QStringLiteral("Image:"), m_open), 0, 0);
    grid->addWidget(m_image, 0, 1, 1, 3);
    grid->addWidget(m_open, 0, 4);
    grid->addWidget(Buddy(QStringLiteral("&Kind:"), m_kind), 0, 5);
    grid->addWidget(m_kind, 0, 6);
    grid->addWidget(new QLabel(QStringLiteral("SHA-256:")), 1, 0);
    grid->addWidget(m_sha, 1, 1, 1, 6);
    grid->addWidget(Buddy(QStringLiteral("&Lines:"), m_ports), 2, 0, Qt::AlignTop);
    grid->addWidget(m_ports, 2, 1, 2, 3);
    grid->addWidget(m_refresh, 2, 4);
    grid->addWidget(Buddy(QStringLiteral("&Path:"), m_typed), 3, 4, Qt::AlignRight);
    grid->addWidget(m_typed, 3, 5);
    grid->addWidget(m_add, 3, 6);
    grid->addWidget(Buddy(QStringLiteral("Spee&d:"), m_speed), 4, 0);
    grid->addWidget(m_speed, 4, 1);
    grid->addWidget(Buddy(QStringLiteral("Re-ar&m:"), m_rearm), 4, 2, Qt::AlignRight);
    grid->addWidget(m_rearm, 4, 3, Qt::AlignLeft);
    grid->addWidget(m_sound, 4, 4, 1, 2);
    grid->addWidget(Buddy(QStringLiteral("Log:"), m_pickLog), 5, 0);
    grid->addWidget(m_log, 5, 1, 1, 3);
    grid->addWidget(m_pickLog, 5, 4);
    grid->addWidget(m_startAll, 5, 5);
    grid->addWidget(m_stopAll, 5, 6);
    grid->setColumnStretch(3, 1);

    const auto stale = [this] {
        m_stationStale = true;
        ShowPlannedTiles();
    };
    connect(m_open, &QPushButton::clicked, this, &CStationWindow::OnOpen);
    connect(m_kind, &QComboBox::currentIndexChanged, this, stale);
    connect(m_speed, &QComboBox::currentIndexChanged, this, stale);
    connect(m_rearm, &QDoubleSpinBox::valueChanged, this, stale);
    connect(m_ports, &QListWidget::itemChanged, this, stale);
    connect(m_add, &QPushButton::clicked, this, [this] {
        AddTypedLine(m_typed->text().trimmed());
        m_typed->clear();
    });
    connect(m_typed, &QLineEdit::returnPressed, m_add, &QPushButton::click);
    connect(m_refresh, &QPushButton::clicked, this, &CStationWindow::RefreshPorts);
    connect(m_pickLog, &QPushButton::clicked, this, &CStationWindow::OnPickLog);
    connect(m_startAll, &QPushButton::clicked, this, &CStationWindow::StartAll);
    connect(m_stopAll, &QPushButton::clicked, this, &CStationWindow::StopAll);
}

QWidget* CStationWindow::BuildRecords()
{
    auto* box = new QGroupBox(QStringLiteral("Records"));
    m_totals = Named(new QLabel, "totals");
    QFont bold = m_totals->font();
    bold.setBold(true);
    m_totals->setFont(bold);
    m_reset = Named(new QPushButton(QStringLiteral("&Reset Totals")), "resetTotals");
    m_records = Named(new QTreeWidget, "records");
    m_records->setRootIsDecorated(false);
    m_records->setHeaderLabels({ QStringLiteral("Time"), QStringLiteral("Line"), QStringLiteral("Receiver"),
        QStringLiteral("Result"), QStringLiteral("Seconds"), QStringLiteral("Reason"), QStringLiteral("SHA-256") });
    m_records->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_records->setMinimumHeight(120);
    m_day = Named(new QDateEdit(QDate::currentDate()), "exportDay");
    m_day->setCalendarPopup(true);
    m_day->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_export = Named(new QPushButton(QStringLiteral("&Export CSV...")), "exportCsv");

    auto* top = new QHBoxLayout;
    top->addWidget(m_totals, 1);
    top->addWidget(m_reset);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Buddy(QStringLiteral("Da&y:"), m_day));
    bottom->addWidget(m_day);
    bottom->addWidget(m_export);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(top);
    layout->addWidget(m_records, 1);
    layout->addLayout(bottom);

    connect(m_reset, &QPushButton::clicked, this, [this] {
        if (m_station)
            m_station->ResetTotals();
        ShowTotals();
    });
    connect(m_export, &QPushButton::clicked, this, &CStationWindow::OnExport);
    ShowTotals();
    return box;
}

void CStationWindow::RefreshPorts()
{
    QSet<QString> ticked;
    QList<QListWidgetItem*> typed;
    while (m_ports->count() > 0) {
        QListWidgetItem* item = m_ports->takeItem(0);
        if (item->checkState() == Qt::Checked)
            ticked.insert(item->data(kPortRole).toString());
        if (item->data(Qt::UserRole + 1).toBool())
            typed.append(item);
        else
            delete item;
    }
    const QSignalBlocker quiet(m_ports);
    for (const SerialPortEntry& entry : ListSerialPorts()) {
        auto* item = new QListWidgetItem(EntryText(entry), m_ports);
        item->setData(kPortRole, StablePortName(entry));
        item->setCheckState(ticked.contains(StablePortName(entry)) ? Qt::Checked : Qt::Unchecked);
    }
    for (QListWidgetItem* item : typed)
        m_ports->addItem(item);
}

void CStationWindow::AddTypedLine(const QString& path)
{
    if (path.isEmpty())
        return;
    for (int row = 0; row < m_ports->count(); ++row) {
        if (m_ports->item(row)->data(kPortRole).toString() == path) {
            m_ports->item(row)->setCheckState(Qt::Checked);
            return;
        }
    }
    const QSignalBlocker quiet(m_ports);
    auto* item = new QListWidgetItem(path, m_ports);
    item->setData(kPortRole, path);
    item->setData(Qt::UserRole + 1, true);
    item->setCheckState(Qt::Checked);
    m_stationStale = true;
    ShowPlannedTiles();
}

QStringList CStationWindow::TickedPorts() const
{
    QStringList ports;
    for (int row = 0; row < m_ports->count(); ++row) {
        if (m_ports->item(row)->checkState() == Qt::Checked)
            ports << m_ports->item(row)->data(kPortRole).toString();
    }
    return ports;
}

void CStationWindow::OpenImage(const QString& path)
{
    m_imagePath = path;
    m_image->setText(path);
    const SendImage image = ReadSendImage(path);
    m_sha->setText(image.failure.isEmpty()
            ? QString::fromLatin1(QCryptographicHash::hash(image.bytes, QCryptographicHash::Sha256).toHex())
            : QString());
    Say(image.failure);
    m_stationStale = true;
    ShowPlannedTiles();
}

void CStationWindow::SetLogPath(const QString& path)
{
    m_logPath = path;
    m_log->setText(path);
    m_stationStale = true;
}

void CStationWindow::OnOpen()
{
    const QString path = GetFileName({ .filter = QString::fromLatin1(kBinFilter),
        .defaultSuffix = QStringLiteral("bin"),
        .initialName = QStringLiteral("*.bin"),
        .parent = this });
    if (!path.isEmpty())
        OpenImage(path);
}

void CStationWindow::OnPickLog()
{
    const QString path = GetFileName({ .save = true,
        .filter = QStringLiteral("jsonl (*.jsonl)"),
        .defaultSuffix = QStringLiteral("jsonl"),
        .initialName = m_logPath,
        .parent = this });
    if (!path.isEmpty())
        SetLogPath(path);
}

void CStationWindow::OnExport()
{
    const QDate day = m_day->date();
    const QString path = GetFileName({ .save = true,
        .filter = QStringLiteral("csv (*.csv)"),
        .defaultSuffix = QStringLiteral("csv"),
        .initialName = QStringLiteral("station-%1.csv").arg(day.toString(Qt::ISODate)),
        .parent = this });
    if (path.isEmpty())
        return;
    const QString error = ExportDayCsv(m_logPath, day, path);
    Say(error.isEmpty() ? QStringLiteral("Records of %1 exported to %2").arg(day.toString(Qt::ISODate), path) : error);
}

void CStationWindow::Say(const QString& text)
{
    m_status->setText(text);
}

CStationTile* CStationWindow::Tile(int line) const
{
    return line >= 0 && std::size_t(line) < m_tiles.size() ? m_tiles[std::size_t(line)] : nullptr;
}
