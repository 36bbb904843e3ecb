#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>
#include <cstddef>
#include <cstdint>

// The preset tables as the JSON of `rcu export` and `rcu import`. Export and import carry every value the
// tables keep, so that an image loaded, exported, imported and saved comes out as the load and a save
// alone would give it.
[[nodiscard]] QByteArray PresetTablesToJson();

// Replaces the tables by root's content. On a bad entry the tables stay as they were and the returned
// text names the entry and what is wrong with it; empty on success.
[[nodiscard]] QString PresetTablesFromJson(const QJsonObject& root);

// What the preset editor cannot show of image, or what a save of it would not keep, one line each;
// image must just have been loaded into the tables.
[[nodiscard]] QStringList PresetImageWarnings(const std::uint8_t* image, std::size_t length);
