#pragma once

#include "preset/presetimage.h"

#include <QByteArray>

// The bytes of an image that the tables do not hold: the head, everything before the preset records (prefix,
// model text, test section with its records, preset section header), and the tail, everything after them
// (channel records, trailing bytes). A save that puts them back around the tables' records loses nothing
// that the editor merely did not show.
struct PresetKeptBytes {
    // Empty where a save of the tables alone writes the same bytes.
    QByteArray head;
    QByteArray tail;

    [[nodiscard]] bool IsPlain() const { return head.isEmpty() && tail.isEmpty(); }
};

// image must pass CheckPresetImage.
[[nodiscard]] PresetKeptBytes KeptBytesOf(const std::uint8_t* image, std::size_t length);

// head with its preset counts set to counts (an empty head: the one a save writes), then records and tail.
// Empty when the result would not pass CheckPresetImage with its records right after head.
[[nodiscard]] QByteArray JoinPresetImage(
    QByteArray head, const PresetCounts& counts, const QByteArray& records, const QByteArray& tail);

// The tables as an image around which kept is put back; empty when that image would be too large.
[[nodiscard]] QByteArray BuildPresetImageKeeping(const PresetKeptBytes& kept);
