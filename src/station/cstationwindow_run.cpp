#include "station/cstationtile.h"
#include "station/cstationwindow.h"
#include "station/stationrecords.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSysInfo>
#include <QTreeWidget>

namespace {

constexpr int kTileColumns = 4;

} // namespace

void CStationWindow::MakeTiles(int count)
{
    for (CStationTile* tile : m_tiles)
        delete tile;
    m_tiles.clear();
    QWidget* previous = m_stopAll;
    for (int line = 0; line < count; ++line) {
        auto* tile = new CStationTile(line);
        m_tileGrid->addWidget(tile, line / kTileColumns, line % kTileColumns);
        connect(tile, &CStationTile::startClicked, this, &CStationWindow::StartLine);
        connect(tile, &CStationTile::stopClicked, this, &CStationWindow::StopLine);
        setTabOrder(previous, tile->StartButton());
        setTabOrder(tile->StartButton(), tile->StopButton());
        previous = tile->StopButton();
        m_tiles.push_back(tile);
    }
}

// Until a run starts, the tiles show the lines as ticked, each stopped.
void CStationWindow::ShowPlannedTiles()
{
    if (m_station && m_station->Running())
        return;
    const QStringList ports = TickedPorts();
    MakeTiles(int(ports.size()));
    for (int line = 0; line < ports.size(); ++line)
        m_tiles[std::size_t(line)]->Show(LineStatus { .port = ports[line] });
}

bool CStationWindow::PrepareStation()
{
    if (m_station && (m_station->Running() || !m_stationStale))
        return true;
    StationConfig config;
    config.kind = TransferKind(m_kind->currentData().toInt());
    config.image = ReadSendImage(m_imagePath);
    if (m_imagePath.isEmpty() || !config.image.failure.isEmpty()) {
        Say(m_imagePath.isEmpty() ? QStringLiteral("Open the image to flash first.") : config.image.failure);
        return false;
    }
    config.sha256
        = QString::fromLatin1(QCryptographicHash::hash(config.image.bytes, QCryptographicHash::Sha256).toHex());
    m_sha->setText(config.sha256);
    config.ports = TickedPorts();
    if (config.ports.isEmpty()) {
        Say(QStringLiteral("Tick the lines to flash on first."));
        return false;
    }
    config.settings.baudRate = m_speed->currentData().toUInt();
    config.rearmMs = qRound(m_rearm->value() * 1000);
    config.logPath = m_logPath;
    if (!m_logPath.isEmpty())
        QDir().mkpath(QFileInfo(m_logPath).absolutePath());
    config.station = QSysInfo::machineHostName();

    m_station.reset();
    m_station = std::make_unique<CStation>(std::move(config));
    connect(m_station.get(), &CStation::lineChanged, this, &CStationWindow::OnLineChanged);
    connect(m_station.get(), &CStation::recordWritten, this, &CStationWindow::OnRecord);
    connect(m_station.get(), &CStation::finished, this, &CStationWindow::ShowRunning);
    connect(m_station.get(), &CStation::logFailed, this, &CStationWindow::Say);
    MakeTiles(m_station->LineCount());
    for (int line = 0; line < m_station->LineCount(); ++line)
        m_tiles[std::size_t(line)]->Show(m_station->Line(line));
    m_stationStale = false;
    Say({});
    ShowTotals();
    return true;
}

void CStationWindow::StartAll()
{
    if (!PrepareStation())
        return;
    if (m_station->Running()) {
        for (int line = 0; line < m_station->LineCount(); ++line) {
            if (m_station->Line(line).state == LineState::Stopped)
                m_station->StartLine(line);
        }
    } else {
        m_station->Start();
    }
    ShowRunning();
}

void CStationWindow::StopAll()
{
    if (m_station)
        m_station->Stop();
    ShowRunning();
}

void CStationWindow::StartLine(int line)
{
    if (!PrepareStation() || line >= m_station->LineCount())
        return;
    m_station->StartLine(line);
    ShowRunning();
}

void CStationWindow::StopLine(int line)
{
    if (m_station && line < m_station->LineCount())
        m_station->StopLine(line);
    ShowRunning();
}

void CStationWindow::OnLineChanged(int line)
{
    if (CStationTile* tile = Tile(line); tile && m_station)
        tile->Show(m_station->Line(line));
    ShowRunning();
}

void CStationWindow::OnRecord(const QJsonObject& record)
{
    const bool passed = RecordPassed(record);
    const QDateTime started
        = QDateTime::fromString(record.value(QLatin1String("started")).toString(), Qt::ISODateWithMs);
    auto* row = new QTreeWidgetItem(QStringList {
        started.time().toString(QStringLiteral("HH:mm:ss")),
        record.value(QLatin1String("line")).toString(),
        QString::number(record.value(QLatin1String("receiver")).toInt()),
        passed ? QStringLiteral("PASS") : QStringLiteral("FAIL"),
        QString::number(record.value(QLatin1String("seconds")).toDouble(), 'f', 2),
        record.value(QLatin1String("reason")).toString(),
        record.value(QLatin1String("sha256")).toString(),
    });
    row->setForeground(3, CStationTile::StateColor(passed ? LineState::Pass : LineState::Fail));
    m_records->insertTopLevelItem(0, row);
    ShowTotals();
    if (m_sound->isChecked())
        QApplication::beep();
    emit announced(passed);
}

void CStationWindow::ShowTotals()
{
    const StationTotals totals = m_station ? m_station->Totals() : StationTotals {};
    m_totals->setText(QStringLiteral("Passed %1    Failed %2    %3 per hour")
                          .arg(totals.passed)
                          .arg(totals.failed)
                          .arg(totals.perHour, 0, 'f', 1));
}

// The image, the lines and the speed hold still while any line runs: every line flashes the same bytes.
void CStationWindow::ShowRunning()
{
    const bool running = m_station && m_station->Running();
    for (QWidget* control : std::initializer_list<QWidget*> {
             m_open, m_kind, m_ports, m_typed, m_add, m_refresh, m_speed, m_rearm, m_pickLog })
        control->setEnabled(!running);
    m_stopAll->setEnabled(running);
    bool anyStopped = !running;
    for (const CStationTile* tile : m_tiles)
        anyStopped = anyStopped || tile->StartButton()->isEnabled();
    m_startAll->setEnabled(anyStopped);
}

void CStationWindow::closeEvent(QCloseEvent* event)
{
    StopAll();
    event->accept();
}
