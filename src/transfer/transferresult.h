#pragma once

#include <cstdint>

// How a transfer ended.
enum class TransferResult {
    Completed,
    Failed, // refused by the receiver, a file that cannot be read, a receiver out of step
    PortLost, // the line hung up or reported an I/O error while the transfer ran
    Cancelled, // CancelTransfer
    PortError, // the port could not be opened (or is in use): the transfer never started
};

// What a transfer has moved so far.
struct TransferStats {
    std::uint64_t bytes = 0; // payload bytes acknowledged (send) or stored (receive)
    unsigned frames = 0; // data frames acknowledged (send) or stored (receive)
    unsigned resentFrames = 0; // data frames sent again after a NAK, another answer or a time-out
    unsigned noAnswers = 0; // "No Answer" time-outs, the sync's included
};
