#include "transfer/transferkind.h"

#include "transfer/frame.h"

const TransferKindTraits& TraitsOf(TransferKind kind)
{
    static constexpr TransferKindTraits kCode { kTypeCode, "Trnasmited Count ", true, false };
    static constexpr TransferKindTraits kPreset { kTypePreset, "Trnasmited Count ", true, false };
    static constexpr TransferKindTraits kLoader { kTypeLoader, "Transmited Count ", true, false };
    static constexpr TransferKindTraits kToReceiver { kTypePreset, "", false, false };
    static constexpr TransferKindTraits kFromReceiver { kTypePreset, "", false, true };
    switch (kind) {
    case TransferKind::Preset:
        return kPreset;
    case TransferKind::Loader:
        return kLoader;
    case TransferKind::PresetToReceiver:
        return kToReceiver;
    case TransferKind::PresetFromReceiver:
        return kFromReceiver;
    case TransferKind::Code:
        break;
    }
    return kCode;
}
