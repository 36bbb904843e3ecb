#include "transfer/receivecheck.h"

#include "transfer/ccrc32.h"

#include <cstring>

CReceiveCheck::CReceiveCheck(const CCrc32& crc, int storeSize)
    : m_crc(crc)
    , m_nStoreSize(storeSize)
{
}

void CReceiveCheck::Reset()
{
    m_nStored = 0;
    m_nOffset = 0;
    m_nLength = 0;
    m_bHasRefused = false;
}

CReceiveCheck::Verdict CReceiveCheck::Judge(const uint8_t* frame)
{
    constexpr int kCovered = kFrameMaxSize - kFrameCrcSize;
    const int length = FrameLengthField(frame);
    const bool crcOk = m_crc.Compute(frame, kCovered) == FrameCrc(frame, kFrameMaxSize);
    // Some receivers may fill the CRC in a way of their own: the same bytes twice in a row did not
    // change on the line, whatever their CRC says.
    const bool sameAsRefused = m_bHasRefused && std::memcmp(frame, m_refused.data(), m_refused.size()) == 0;
    const int packet = frame[1];
    const int offset = m_nStored * kFramePayloadMax;
    const bool whole = length >= 1 && length <= kFramePayloadMax && (crcOk || sameAsRefused);
    if (whole && m_nStored > 0 && packet == ((m_nStored - 1) & 0xFF)) {
        m_bHasRefused = false;
        return Verdict::Repeat;
    }
    if (!whole || packet != (m_nStored & 0xFF) || offset + length > m_nStoreSize) {
        std::memcpy(m_refused.data(), frame, m_refused.size());
        m_bHasRefused = true;
        return Verdict::Refuse;
    }
    m_bHasRefused = false;
    m_nOffset = offset;
    m_nLength = length;
    ++m_nStored;
    return crcOk ? Verdict::Store : Verdict::StoreDespiteCrc;
}
