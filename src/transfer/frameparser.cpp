#include "transfer/frameparser.h"

#include "transfer/frame.h"

std::optional<TransferState> ParseReply(const std::uint8_t* bytes, int count)
{
    for (int i = 2; i < count; ++i) {
        if (bytes[i] != kLineFeed)
            continue;
        switch (bytes[i - 1]) {
        case 'A':
            return Ack;
        case 'N':
            return Nak;
        case 'T':
            return Terminate;
        default:
            return Other;
        }
    }
    return std::nullopt;
}

ReceivedUnit ParseReceived(const std::uint8_t* bytes, int count, bool waitingForSync)
{
    if (waitingForSync)
        return count > 0 && bytes[0] == kLeadByte ? ReceivedUnit::Sync : ReceivedUnit::Noise;
    if (count <= kFrameHeaderSize)
        return ReceivedUnit::Incomplete;
    switch (char(bytes[2])) {
    // A data frame always comes whole at its full size, whatever its length field says.
    case kTypePreset:
        return count < kFrameMaxSize ? ReceivedUnit::Incomplete : ReceivedUnit::DataFrame;
    // Whatever its length field says, the end frame is whole at its fixed size.
    case kTypeEnd:
        return count < kFrameHeaderSize + kEndFramePayload + kFrameCrcSize ? ReceivedUnit::Incomplete
                                                                            : ReceivedUnit::EndFrame;
    default:
        return ReceivedUnit::Other;
    }
}
