#include "../tools/cli/rcujson.h"
#include "preset/presetimage.h"
#include "preset/presettables.h"

#include <QJsonDocument>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::array<std::uint8_t, kPresetImageMaxSize> g_first;
std::array<std::uint8_t, kPresetImageMaxSize> g_second;

// A sound image with some of everything, so that byte patches reach the deeper checks at once.
std::vector<std::uint8_t> MakeTemplate()
{
    ResetPresetTables();
    for (std::size_t i = 0; i < 3; ++i) {
        g_SatTable[i].name[0] = char('A' + i);
        g_TpTable[2 * i] = { std::uint16_t(11000 + i), 27500, std::uint8_t(i), 2, 1, 0 };
        g_TpTable[2 * i + 1] = { std::uint16_t(12000 + i), 22000, std::uint8_t(i), 5, 2, 0 };
    }
    const std::size_t length = BuildPresetImage(g_first.data(), g_first.size());
    return { g_first.begin(), g_first.begin() + std::ptrdiff_t(length) };
}

bool SameAsFirst(std::size_t length)
{
    return BuildPresetImage(g_second.data(), g_second.size()) == length
        && std::memcmp(g_first.data(), g_second.data(), length) == 0;
}

// An image the reader accepts (now in the tables) must survive a save and a second load unchanged, and
// an export to JSON and an import must give the image itself back, byte for byte.
void CheckRoundTrip(const std::uint8_t* image, std::size_t size)
{
    (void)PresetImageWarnings(image, size);
    const std::size_t length = BuildPresetImage(g_first.data(), g_first.size());
    if (!ParsePresetImage(g_first.data(), length) || !SameAsFirst(length))
        std::abort();
    QByteArray back;
    const QJsonDocument json = QJsonDocument::fromJson(PresetImageToJson(image, size));
    if (!PresetImageFromJson(json.object(), back).isEmpty()
        || back != QByteArray::fromRawData(reinterpret_cast<const char*>(image), qsizetype(size)))
        std::abort();
}

} // namespace

// Even first byte: the rest is an image as it stands. Odd: the rest patches the template, three bytes per
// patch (offset low, offset high, value), and the first byte also moves the image's end by -64..63 bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<std::uint8_t> kTemplate = MakeTemplate();
    if (size == 0)
        return 0;
    if ((data[0] & 1) == 0) {
        if (ParsePresetImage(data + 1, size - 1))
            CheckRoundTrip(data + 1, size - 1);
        return 0;
    }
    std::vector<std::uint8_t> image = kTemplate;
    image.resize(std::size_t(std::ptrdiff_t(image.size()) + (data[0] >> 1) - 64));
    for (std::size_t i = 1; i + 2 < size; i += 3) {
        const std::size_t at = std::size_t(data[i] | data[i + 1] << 8) % image.size();
        image[at] = data[i + 2];
    }
    if (ParsePresetImage(image.data(), image.size()))
        CheckRoundTrip(image.data(), image.size());
    return 0;
}
