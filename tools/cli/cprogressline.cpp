#include "cprogressline.h"

#include "transfer/transferresult.h"

#include <cstdio>

namespace {

QString Duration(double seconds)
{
    const int whole = int(seconds + 0.5);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString ProgressText(const TransferStats& stats, std::uint64_t total, double seconds)
{
    if (total == 0)
        return QStringLiteral("%1 frames, %2 bytes received").arg(stats.frames).arg(stats.bytes);
    const double rate = seconds > 0 ? double(stats.bytes) / seconds : 0;
    const QString left
        = rate > 0 ? Duration(double(total - std::min(total, stats.bytes)) / rate) : QStringLiteral("-:--");
    return QStringLiteral("%1% %2/%3 bytes %4 bytes/s %5 left")
        .arg(int(100 * stats.bytes / total), 3)
        .arg(stats.bytes)
        .arg(total)
        .arg(qint64(rate))
        .arg(left);
}

CProgressLine::CProgressLine(bool shown, std::uint64_t total)
    : m_shown(shown)
    , m_total(total)
{
}

void CProgressLine::Update(const TransferStats& stats, double seconds)
{
    if (!m_shown)
        return;
    const std::lock_guard lock(m_mutex);
    m_text = ProgressText(stats, m_total, seconds);
    std::fprintf(stderr, "\r%s\033[K", m_text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void CProgressLine::Print(std::FILE* out, const QString& text)
{
    const std::lock_guard lock(m_mutex);
    Erase();
    std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
    std::fflush(out);
    if (m_shown && !m_text.isEmpty()) {
        std::fprintf(stderr, "%s\033[K", m_text.toLocal8Bit().constData());
        std::fflush(stderr);
    }
}

void CProgressLine::Finish()
{
    const std::lock_guard lock(m_mutex);
    Erase();
    m_text.clear();
}

void CProgressLine::Erase()
{
    if (m_shown && !m_text.isEmpty()) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}
