#include "station/cstation.h"

#include "station/cstationline.h"

#include <QJsonDocument>

CStation::CStation(StationConfig config, QObject* parent)
    : QObject(parent)
    , m_config(std::move(config))
{
    for (int i = 0; i < m_config.ports.size(); ++i) {
        auto line = std::make_unique<CStationLine>(m_config, i);
        connect(line.get(), &CStationLine::changed, this, [this, i] { emit lineChanged(i); });
        connect(line.get(), &CStationLine::downloadEnded, this,
            [this, i](const TransferRecord& record) { OnDownloadEnded(i, record); });
        connect(line.get(), &CStationLine::stopped, this, &CStation::OnLineStopped);
        m_lines.push_back(std::move(line));
    }
    m_since.start();
}

CStation::~CStation() = default;

void CStation::Start()
{
    m_nDone = 0;
    m_since.restart();
    for (int i = 0; i < LineCount(); ++i)
        StartLine(i);
}

void CStation::Stop()
{
    for (int i = 0; i < LineCount(); ++i)
        StopLine(i);
}

void CStation::StartLine(int line)
{
    if (line >= 0 && line < LineCount())
        m_lines[std::size_t(line)]->Start();
}

void CStation::StopLine(int line)
{
    if (line >= 0 && line < LineCount())
        m_lines[std::size_t(line)]->Stop();
}

int CStation::LineCount() const
{
    return int(m_lines.size());
}

LineStatus CStation::Line(int line) const
{
    return line >= 0 && line < LineCount() ? m_lines[std::size_t(line)]->Status() : LineStatus {};
}

StationTotals CStation::Totals() const
{
    StationTotals totals = m_totals;
    const double hours = double(m_since.elapsed()) / 3600000.0;
    totals.perHour = hours > 0 ? double(totals.passed + totals.failed) / hours : 0;
    return totals;
}

void CStation::ResetTotals()
{
    m_totals = {};
    m_since.restart();
}

bool CStation::Running() const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [](const auto& line) { return line->Active(); });
}

void CStation::OnDownloadEnded(int line, const TransferRecord& record)
{
    (void)line;
    if (record.result == TransferResult::Completed)
        ++m_totals.passed;
    else
        ++m_totals.failed;
    const QByteArray text = TransferRecordLine(record);
    if (!m_config.logPath.isEmpty()) {
        if (const QString failure = AppendToLog(m_config.logPath, text); !failure.isEmpty())
            emit logFailed(failure);
    }
    emit recordWritten(QJsonDocument::fromJson(text).object());
    if (m_config.count > 0 && ++m_nDone >= m_config.count) {
        for (const auto& each : m_lines)
            each->Finish();
    }
}

void CStation::OnLineStopped()
{
    if (!Running())
        emit finished();
}
