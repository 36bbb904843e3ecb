#pragma once

#include <cstdint>

class CCrc32;

// Frame layout on the line: lead "U", packet number, type, 16-bit length (little-endian), payload,
// CRC-32 over everything before it (big-endian).
inline constexpr uint8_t kLeadByte = 0x55;
inline constexpr uint8_t kLineFeed = 0x0A;
inline constexpr int kFrameHeaderSize = 5;
inline constexpr int kFrameCrcSize = 4;
inline constexpr int kFramePayloadMax = 1024;
inline constexpr int kEndFramePayload = 32;
inline constexpr int kFrameMaxSize = kFrameHeaderSize + kFramePayloadMax + kFrameCrcSize;
inline constexpr int kReplySize = 3;

inline constexpr char kTypeCode = '5';
inline constexpr char kTypePreset = '6';
inline constexpr char kTypeLoader = '7';
inline constexpr char kTypeEnd = '9';

// Writes a frame into out (room for kFrameHeaderSize + payloadSize + kFrameCrcSize bytes) and returns
// its size. A null payload sends zero bytes.
int BuildFrame(const CCrc32& crc, uint8_t* out, uint8_t packet, char type, uint16_t lengthField, const uint8_t* payload,
    int payloadSize);

// The CRC carried at the end of a frame of frameSize bytes.
[[nodiscard]] uint32_t FrameCrc(const uint8_t* frame, int frameSize);

[[nodiscard]] inline uint16_t FrameLengthField(const uint8_t* frame)
{
    return uint16_t(frame[3] | (frame[4] << 8));
}
