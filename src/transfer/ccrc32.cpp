#include "transfer/ccrc32.h"

namespace {

constexpr uint32_t kPolynomial = 0x04C11DB7u;

} // namespace

CCrc32::CCrc32()
{
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 0x80000000u) ? (value << 1) ^ kPolynomial : value << 1;
        m_table[i] = value;
    }
}

uint32_t CCrc32::Compute(const uint8_t* data, size_t size, uint32_t crc) const
{
    for (size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ m_table[((crc >> 24) ^ data[i]) & 0xFFu];
    return crc;
}
