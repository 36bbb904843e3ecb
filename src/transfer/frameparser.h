#pragma once

#include "transfer/transferstate.h"

#include <cstdint>
#include <optional>

// What the bytes at the start of the port's receive buffer say. Pure functions of the bytes: they
// neither keep nor change anything, so the reader thread can call them while it holds the buffer.

// Sending side: the receiver's reply, or nothing yet. The two bytes before the first LF from the
// third byte on are the reply, so noise ahead of a reply does not hide it; the buffer is cleared once
// a reply is found.
[[nodiscard]] std::optional<TransferState> ParseReply(const std::uint8_t* bytes, int count);

// Receiving side: what the receiver has sent so far.
enum class ReceivedUnit {
    Incomplete, // wait for more bytes
    Sync, // the receiver's sync byte
    Noise, // bytes before the sync: dropped
    DataFrame, // a whole data frame, to be judged
    EndFrame, // a whole end frame
    Other, // a frame of another type: answered N
};
[[nodiscard]] ReceivedUnit ParseReceived(const std::uint8_t* bytes, int count, bool waitingForSync);
