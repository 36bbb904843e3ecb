#pragma once

#include <cstdint>
#include <optional>

// Line set-up of an open terminal device, kept apart because the kernel's termios2 (any baud rate)
// cannot share a translation unit with <termios.h>.

// Raw 8-bit line, receiver on, no flow control, modem lines ignored. False when the driver cannot take
// the settings: data bits outside 5 to 8, 1.5 stop bits, an unknown parity code or a speed it refuses.
[[nodiscard]] bool ConfigureSerialLine(int fd, uint32_t baud, uint8_t dataBits, uint8_t parity, uint8_t stopBits);

// Waits (at most timeoutMs) until the driver has sent what was written.
void DrainSerialLine(int fd, int timeoutMs);

// Drops what was received and not read.
void FlushSerialInput(int fd);

// A line without modem lines (a pseudo-terminal) ignores these.
void RaiseDtrRts(int fd);
void DropDtr(int fd);

// Asks the driver to hand over received bytes at once instead of batching them (a USB adapter's
// latency timer otherwise holds a 3-byte reply for up to 16 ms). Returns the flags to put back on
// close when it changed them; nothing when the driver has no such setting (a pseudo-terminal, most
// UARTs) or has it on already.
[[nodiscard]] std::optional<int> EnableLowLatency(int fd);
void RestoreSerialFlags(int fd, int flags);
