#include "transfer/transferkind.h"

#include "transfer/frame.h"

#include <array>
#include <cstddef>

const TransferKindTraits& TraitsOf(TransferKind kind)
{
    // In the order of the kinds, from Code on.
    static constexpr std::array<TransferKindTraits, 5> kTraits { {
        { kTypeCode, "Trnasmited Count ", true, false, "code" },
        { kTypePreset, "Trnasmited Count ", true, false, "preset" },
        { kTypeLoader, "Transmited Count ", true, false, "loader" },
        { kTypePreset, "", false, false, "preset-copy" },
        { kTypePreset, "", false, true, "receive" },
    } };
    return kTraits[std::size_t(int(kind) - int(TransferKind::Code))];
}
