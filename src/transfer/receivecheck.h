#pragma once

#include "transfer/frame.h"

#include <array>
#include <cstdint>

class CCrc32;

// Judges each data frame of a receive before anything of it is stored: its CRC-32, a length field of 1
// to 1024 and the packet number that comes next. Payloads go one after the other into the store, so a
// gap never becomes zeros. A pure function of the frames it is shown, so it can be fuzzed.
class CReceiveCheck {
public:
    enum class Verdict {
        Store, // the next frame: store Length() bytes at Offset()
        StoreDespiteCrc, // as Store; its CRC disagrees, but the same bytes came twice in a row
        Repeat, // the frame stored last, again (its answer was lost): answer A, store nothing
        Refuse, // answer N
    };

    explicit CReceiveCheck(const CCrc32& crc, int storeSize);

    void Reset();
    // frame holds kFrameMaxSize bytes of a type "6" frame: the receiver always sends data frames whole,
    // the length field telling how much of the payload counts.
    [[nodiscard]] Verdict Judge(const uint8_t* frame);

    [[nodiscard]] int Offset() const { return m_nOffset; }
    [[nodiscard]] int Length() const { return m_nLength; }

private:
    const CCrc32& m_crc;
    const int m_nStoreSize;
    int m_nStored = 0;
    int m_nOffset = 0;
    int m_nLength = 0;
    bool m_bHasRefused = false;
    std::array<uint8_t, kFrameMaxSize> m_refused {};
};
