#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// CRC-32 of the serial frames: polynomial 0x04C11DB7, most significant bit first, start value 0,
// no final XOR. The table is built once, by the constructor.
class CCrc32 {
public:
    CCrc32();
    [[nodiscard]] uint32_t Compute(const uint8_t* data, size_t size, uint32_t crc = 0) const;

private:
    std::array<uint32_t, 256> m_table {};
};
