#include "transfer/ccrc32.h"
#include "transfer/frameparser.h"
#include "transfer/receivecheck.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kStoreSize = 100000;

// A reply exists exactly when a LF stands at the third byte or later.
void CheckReply(const std::uint8_t* bytes, int count)
{
    bool lineFeed = false;
    for (int i = 2; i < count && !lineFeed; ++i)
        lineFeed = bytes[i] == kLineFeed;
    if (ParseReply(bytes, count).has_value() != lineFeed)
        std::abort();
}

} // namespace

// The input is what the port's buffer holds, cut into deliveries as the reader thread sees them: the first
// byte says how many bytes go into each (1 to 256). The receive side judges every whole frame in turn, as a
// receive does, so a frame the check takes must fit the store.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CCrc32 crc;
    if (size == 0)
        return 0;
    const std::size_t step = std::size_t(data[0]) + 1;
    std::vector<std::uint8_t> buffer;
    CReceiveCheck check(crc, kStoreSize);
    bool waitingForSync = true;
    for (std::size_t at = 1; at < size; at += step) {
        const std::size_t n = std::min(step, size - at);
        buffer.insert(buffer.end(), data + at, data + at + n);
        const int count = int(buffer.size());
        CheckReply(buffer.data(), count);
        const ReceivedUnit unit = ParseReceived(buffer.data(), count, waitingForSync);
        switch (unit) {
        case ReceivedUnit::Incomplete:
            if (count >= kFrameMaxSize)
                std::abort();
            continue;
        case ReceivedUnit::DataFrame: {
            const CReceiveCheck::Verdict verdict = check.Judge(buffer.data());
            const bool store
                = verdict == CReceiveCheck::Verdict::Store || verdict == CReceiveCheck::Verdict::StoreDespiteCrc;
            if (store
                && (check.Length() < 1 || check.Length() > kFramePayloadMax
                    || check.Offset() + check.Length() > kStoreSize))
                std::abort();
            break;
        }
        case ReceivedUnit::Sync:
            waitingForSync = false;
            break;
        default:
            break;
        }
        buffer.clear();
    }
    return 0;
}
