#include "base/localpath.h"

#include <QFile>
#include <QStringDecoder>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot lead one.
int SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsEscape(QChar c)
{
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

} // namespace

QString DecodePath(QByteArrayView bytes)
{
    QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString whole = strict.decode(bytes);
    if (!strict.hasError())
        return whole;
    QString path;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int n = lead < 0x80 ? 1 : SequenceLength(lead);
        if (n > 0 && i + n <= bytes.size()) {
            const QByteArrayView sequence = bytes.sliced(i, n);
            // Qt turns overlong forms, surrogates and bad continuations into U+FFFD: those do not round-trip.
            const QString decoded = QString::fromUtf8(sequence);
            if (decoded.toUtf8() == sequence) {
                path += decoded;
                i += n;
                continue;
            }
        }
        path += QChar(char16_t(kEscapeBase + lead));
        ++i;
    }
    return path;
}

QByteArray EncodePath(const QString& path)
{
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const bool paired = i > 0 && path[i - 1].isHighSurrogate();
        if (!IsEscape(path[i]) || paired)
            continue;
        bytes += QFile::encodeName(path.mid(run, i - run));
        bytes += char(path[i].unicode() - kEscapeBase);
        run = i + 1;
    }
    return run == 0 ? QFile::encodeName(path) : bytes + QFile::encodeName(path.mid(run));
}
