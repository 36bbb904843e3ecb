#include "transfer/receivestore.h"

std::array<uint8_t, kReceiveStoreSize> g_ReceiveStore {};
std::atomic<int> g_nReceivedPackets { 0 };
std::atomic<int> g_nExpectedPackets { 0 };
std::atomic<bool> g_bReceiveMode { false };
std::atomic<bool> g_bReceiveDone { false };
std::atomic<int> g_nBufferKind { 0 };
