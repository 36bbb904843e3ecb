#pragma once

// What a transfer moves. The numbers are the receiver's own names for the kinds and are what the form
// and the editor have always passed around.
enum class TransferKind : int {
    Code = 2,
    Preset = 3,
    Loader = 4,
    // The preset editor's copies: its tables to the receiver, and the receiver's tables to the tool.
    PresetToReceiver = 5,
    PresetFromReceiver = 6,
};

// The frame type a kind's data frames carry, and the status text that counts its acknowledged chunks.
struct TransferKindTraits {
    char frameType;
    const char* ackText;
    bool fileDownload;
    bool receives;
    const char* name; // in records: what the command line's --kind takes, "receive" for a copy from the receiver
};

[[nodiscard]] const TransferKindTraits& TraitsOf(TransferKind kind);
