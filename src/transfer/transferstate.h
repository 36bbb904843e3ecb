#pragma once

enum TransferState : int {
    Waiting = 0,
    Ack = 1,
    Nak = 2,
    Other = 3,
    NoAnswer = 4,
    Terminate = 5,
    WaitSync = 6,
};
