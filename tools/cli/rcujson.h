#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>
#include <cstddef>
#include <cstdint>

// A preset image as the JSON of `rcu export` and `rcu import`. The tables hold every record as the image
// stores it, and "head" and "tail" (hex) the bytes before and after the preset records where they differ
// from what a save writes, so that an unedited export imports to the very same image.

// image must pass CheckPresetImage.
[[nodiscard]] QByteArray PresetImageToJson(const std::uint8_t* image, std::size_t length);

// Builds the image root describes into image. On a bad entry, or an image that would not pass
// CheckPresetImage, returns a text naming the entry and what is wrong with it; empty on success.
[[nodiscard]] QString PresetImageFromJson(const QJsonObject& root, QByteArray& image);

// What the preset editor cannot show of image, or what a save of it would not keep, one line each;
// image must just have been loaded into the tables.
[[nodiscard]] QStringList PresetImageWarnings(const std::uint8_t* image, std::size_t length);
