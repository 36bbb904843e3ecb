#include "preset/presetkeptbytes.h"

#include "preset/presettypes.h"

#include <QtEndian>
#include <array>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = sizeof(data_header_t);
constexpr std::size_t kCountsInHeader = 80;

const std::uint8_t* Data(const QByteArray& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

} // namespace

PresetKeptBytes KeptBytesOf(const std::uint8_t* image, std::size_t length)
{
    PresetCounts counts;
    if (!CheckPresetImage(image, length, &counts))
        return {};
    const std::size_t records = counts.section + kHeaderSize;
    const std::size_t end = records + sizeof(pre_lnb_t) * counts.lnbs + (sizeof(pre_sat_t) + 2) * counts.satellites
        + sizeof(pre_tp_t) * counts.transponders;
    std::array<std::uint8_t, kPresetRecordsOffset> saved {};
    WritePresetImageHead(saved.data(), counts);
    PresetKeptBytes kept;
    if (records != saved.size() || std::memcmp(image, saved.data(), records) != 0)
        kept.head = QByteArray(reinterpret_cast<const char*>(image), qsizetype(records));
    if (end < length)
        kept.tail = QByteArray(reinterpret_cast<const char*>(image + end), qsizetype(length - end));
    return kept;
}

QByteArray JoinPresetImage(
    QByteArray head, const PresetCounts& counts, const QByteArray& records, const QByteArray& tail)
{
    if (head.isEmpty()) {
        head.resize(qsizetype(kPresetRecordsOffset));
        WritePresetImageHead(reinterpret_cast<std::uint8_t*>(head.data()), counts);
    } else if (head.size() >= qsizetype(kHeaderSize)) {
        auto* numbers = reinterpret_cast<std::uint8_t*>(head.data()) + head.size() - qsizetype(kHeaderSize)
            + qsizetype(kCountsInHeader);
        for (const std::uint32_t number : { counts.lnbs, counts.satellites, counts.transponders }) {
            qToLittleEndian(number, numbers);
            numbers += 4;
        }
    }
    const QByteArray image = head + records + tail;
    PresetCounts found;
    if (!CheckPresetImage(Data(image), std::size_t(image.size()), &found)
        || found.section + kHeaderSize != std::size_t(head.size()))
        return {};
    return image;
}

QByteArray BuildPresetImageKeeping(const PresetKeptBytes& kept)
{
    std::array<std::uint8_t, kPresetImageMaxSize> plain {};
    const std::size_t length = BuildPresetImage(plain.data(), plain.size());
    const QByteArray image(reinterpret_cast<const char*>(plain.data()), qsizetype(length));
    if (kept.IsPlain())
        return image;
    PresetCounts counts;
    (void)CheckPresetImage(plain.data(), length, &counts);
    return JoinPresetImage(kept.head, counts, image.mid(qsizetype(kPresetRecordsOffset)), kept.tail);
}
