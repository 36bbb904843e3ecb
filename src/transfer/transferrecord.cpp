#include "transfer/transferrecord.h"

#include "base/localpath.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString ResultName(TransferResult result)
{
    switch (result) {
    case TransferResult::Completed:
        return QStringLiteral("completed");
    case TransferResult::PortLost:
        return QStringLiteral("port-lost");
    case TransferResult::Cancelled:
        return QStringLiteral("cancelled");
    case TransferResult::PortError:
        return QStringLiteral("port-error");
    case TransferResult::Failed:
        break;
    }
    return QStringLiteral("failed");
}

} // namespace

int RecordExitCode(TransferResult result)
{
    switch (result) {
    case TransferResult::Completed:
        return 0;
    case TransferResult::PortError:
        return 2;
    case TransferResult::PortLost:
        return 3;
    case TransferResult::Cancelled:
        return 128 + 2;
    case TransferResult::Failed:
        break;
    }
    return 1;
}

QList<QJsonObject> ReadTransferRecords(const QString& path)
{
    QList<QJsonObject> records;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return records;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject())
            records.append(document.object());
    }
    return records;
}

QByteArray TransferRecordLine(const TransferRecord& record)
{
    const double seconds = record.seconds;
    QJsonObject object {
        { "result", ResultName(record.result) },
        { "exit_code", record.exitCode },
        { "port", record.port },
        { "device", record.device },
        { "kind", record.kind },
        { "file", record.file },
        { "bytes", qint64(record.stats.bytes) },
        { "sha256", record.sha256 },
        { "frames", int(record.stats.frames) },
        { "resent_frames", int(record.stats.resentFrames) },
        { "no_answers", int(record.stats.noAnswers) },
        { "seconds", qRound(seconds * 1000) / 1000.0 },
        { "bytes_per_second", seconds > 0 ? qRound64(double(record.stats.bytes) / seconds) : 0 },
        { "started", record.started.toString(Qt::ISODateWithMs) },
    };
    if (!record.warning.isEmpty())
        object.insert(QStringLiteral("warning"), record.warning);
    if (!record.presetCheck.isEmpty())
        object.insert(QStringLiteral("preset_check"), record.presetCheck);
    for (auto field = record.extra.begin(); field != record.extra.end(); ++field)
        object.insert(field.key(), field.value());
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QString AppendToLog(const QString& path, const QByteArray& line)
{
    // Without blocking, and into a regular file only: a FIFO without a reader would hang the run.
    const int fd = ::open(EncodePath(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    struct stat info { };
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return QStringLiteral("%1: the record was not logged: not a regular file").arg(path);
    }
    const ssize_t written = fd >= 0 ? ::write(fd, line.constData(), std::size_t(line.size())) : -1;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (written == ssize_t(line.size()))
        return {};
    return QStringLiteral("%1: the record was not logged: %2")
        .arg(path, QString::fromLocal8Bit(std::strerror(written < 0 ? error : ENOSPC)));
}
