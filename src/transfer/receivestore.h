#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// Process-wide values of the receive transfer, shared with the preset editor.
inline constexpr int kReceiveStoreSize = 100000;

extern std::array<uint8_t, kReceiveStoreSize> g_ReceiveStore;
extern std::atomic<int> g_nReceivedPackets;
extern std::atomic<int> g_nExpectedPackets;
extern std::atomic<bool> g_bReceiveMode;
extern std::atomic<bool> g_bReceiveDone;

// 5 sends the buffer to the receiver; any other value (in practice 6) receives from it.
extern std::atomic<int> g_nBufferKind;
