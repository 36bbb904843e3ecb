#pragma once

#include <cstddef>
#include <cstdint>

// The PresetImage: the whole content of an rcu file and what a preset copy sends or receives.

inline constexpr std::size_t kPresetImageBufferSize = 100000;
inline constexpr std::size_t kPresetImageHeaderSize = 1124;
inline constexpr std::size_t kPresetImageMaxSize = 6756;
// Where the preset records of an image the program writes begin.
inline constexpr std::size_t kPresetRecordsOffset = 356;

struct PresetCounts {
    std::uint32_t lnbs = 0;
    std::uint32_t satellites = 0;
    std::uint32_t transponders = 0;
    // offset of the preset section's header
    std::size_t section = 0;
};

// Checks an image without touching the tables. On success fills counts (when given) with its preset
// section's counts and offset. Refuses images over kPresetImageBufferSize bytes, images whose announced
// contents run past their end, and preset sections with more records than the tables take.
[[nodiscard]] bool CheckPresetImage(const std::uint8_t* image, std::size_t length, PresetCounts* counts = nullptr);

// Replaces all three tables by the image's preset section when the image passes CheckPresetImage;
// otherwise returns false and changes nothing.
bool ParsePresetImage(const std::uint8_t* image, std::size_t length);

// Writes the kPresetRecordsOffset bytes that a save puts before the preset records, with the given counts.
void WritePresetImageHead(std::uint8_t* buffer, const PresetCounts& counts);

// Writes the tables as an image and returns its length, or 0 when capacity is below kPresetImageMaxSize.
// Bytes the image leaves unused are written as zero.
std::size_t BuildPresetImage(std::uint8_t* buffer, std::size_t capacity);
