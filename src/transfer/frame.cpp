#include "transfer/frame.h"

#include "transfer/ccrc32.h"

#include <cstring>

int BuildFrame(const CCrc32& crc, uint8_t* out, uint8_t packet, char type, uint16_t lengthField, const uint8_t* payload,
    int payloadSize)
{
    out[0] = kLeadByte;
    out[1] = packet;
    out[2] = uint8_t(type);
    out[3] = uint8_t(lengthField & 0xFF);
    out[4] = uint8_t(lengthField >> 8);
    if (payload != nullptr)
        std::memcpy(out + kFrameHeaderSize, payload, size_t(payloadSize));
    else
        std::memset(out + kFrameHeaderSize, 0, size_t(payloadSize));
    const int covered = kFrameHeaderSize + payloadSize;
    const uint32_t value = crc.Compute(out, size_t(covered));
    out[covered] = uint8_t(value >> 24);
    out[covered + 1] = uint8_t(value >> 16);
    out[covered + 2] = uint8_t(value >> 8);
    out[covered + 3] = uint8_t(value);
    return covered + kFrameCrcSize;
}

uint32_t FrameCrc(const uint8_t* frame, int frameSize)
{
    const uint8_t* p = frame + frameSize - kFrameCrcSize;
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
