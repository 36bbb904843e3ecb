#pragma once

#include <cstdint>

// The settings the next port opening uses. The port dialog writes it; OpenPort reads it.
struct PortSettings {
    int32_t port = 1;          // COM port number, 1 to 4
    uint32_t baudRate = 115200;
    uint8_t dataBits = 8;      // 8 to 11 as chosen; the line takes only 8 (and fewer)
    uint8_t parity = 0;        // 0 none, 1 odd, 2 even
    uint8_t stopBits = 0;      // 0 one, 1 one and a half, 2 two
};

inline constexpr uint8_t kParityNone = 0;
inline constexpr uint8_t kParityOdd = 1;
inline constexpr uint8_t kParityEven = 2;
inline constexpr uint8_t kStopBitsOne = 0;
inline constexpr uint8_t kStopBitsOneHalf = 1;
inline constexpr uint8_t kStopBitsTwo = 2;
