// The send side of the engine: the sync, then the data frames of a download or a preset copy.
#include "transfer/ctransferengine.h"

#include "transfer/cwindowtimer.h"
#include "transfer/frame.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kNakLimit = 16;

} // namespace

void CTransferEngine::FileTransferThread()
{
    if (!RunSync()) {
        EndTransfer(StoppedResult());
        return;
    }
    TransferResult result = TransferResult::Failed;
    if (!m_image.failure.isEmpty()) {
        // Nothing can be sent after the sync; the transfer ends as failed, without an end frame.
        m_failMessage = m_image.failure;
    } else {
        result = RunData({ reinterpret_cast<const uint8_t*>(m_image.bytes.constData()),
                             std::size_t(m_image.bytes.size()) },
            TraitsOf(m_setup.kind).frameType);
    }
    EndTransfer(result);
}

void CTransferEngine::BufferTransferThread()
{
    TransferResult result = TransferResult::Failed;
    if (TraitsOf(m_setup.kind).receives)
        result = RunReceiveTransfer();
    else if (RunSync())
        result = RunData({ m_transmitBuffer.data(), m_nTransmitCount }, kTypePreset);
    else
        result = StoppedResult();
    EndTransfer(result);
}

bool CTransferEngine::RunSync()
{
    m_session.WaitForQuietLine(m_setup.settings.baudRate, m_word);
    m_word.Set(Waiting);
    for (;;) {
        if (m_word.Stopped())
            return false;
        m_session.Write(&kLeadByte, 1);
        m_syncTimer->Start(m_nSyncTimeoutMs);
        TransferState state = m_word.WaitWhile(Waiting);
        m_syncTimer->Stop();
        if (m_word.Stopped())
            return false;
        if (state == NoAnswer) {
            ++m_nNoAnswerCount;
            if (m_bFileWorker)
                ReportStatus("No Answer ", int(m_nNoAnswerCount.load()));
            state = Nak;
        } else if (state == Other) {
            state = Nak;
        }
        m_word.Set(Waiting);
        if (state != Nak)
            break;
    }
    if (m_bFileWorker)
        ReportStatus("Sync Dectected ...");
    return true;
}

// Builds the next frame into a slot: the next chunk of the source, or the end frame once the source is
// used up (then 0 is returned). Code and loader chunks are padded with zeros to 1024 bytes; preset
// chunks go as they are.
int CTransferEngine::BuildDataFrame(int slot, SendSource& source, char type)
{
    const int length = int(std::min<std::size_t>(source.remaining, kChunkSize));
    m_nPacketNumber = (m_nPacketNumber + 1) & 0xFF;
    const auto packet = uint8_t(m_nPacketNumber);
    uint8_t* out = m_frames[size_t(slot)].data();
    if (length == 0) {
        m_frameSizes[size_t(slot)]
            = BuildFrame(m_crc, out, packet, kTypeEnd, kEndFramePayload, nullptr, kEndFramePayload);
        return 0;
    }
    const uint8_t* payload = source.buffer;
    if (length < kChunkSize) {
        m_chunk.fill(0);
        std::memcpy(m_chunk.data(), source.buffer, size_t(length));
        payload = m_chunk.data();
    }
    source.buffer += length;
    source.remaining -= size_t(length);
    const int size = type == kTypePreset ? length : kChunkSize;
    m_frameSizes[size_t(slot)] = BuildFrame(m_crc, out, packet, type, uint16_t(size), payload, size);
    return length;
}

// Between a reply and the next frame the worker does nothing but send it: that frame is built while
// the one before is on the line, and what the user is told of a reply waits until the next frame is on
// its way.
TransferResult CTransferEngine::RunData(SendSource source, char type)
{
    const char* ackText = TraitsOf(m_setup.kind).ackText;
    PendingReport pending;
    int slot = 0;
    int length = BuildDataFrame(slot, source, type);
    unsigned chunkCounter = 0;
    while (length > 0) {
        ++chunkCounter;
        int naksInARow = 0;
        int nextLength = -1;
        for (;;) {
            m_session.Write(m_frames[size_t(slot)].data(), m_frameSizes[size_t(slot)]);
            m_frameTimer->Start(m_nFrameTimeoutMs);
            Report(pending, true);
            if (nextLength < 0)
                nextLength = BuildDataFrame(1 - slot, source, type);
            TransferState state = m_word.WaitWhile(Waiting);
            m_frameTimer->Stop();
            if (m_word.Stopped())
                return StoppedResult();
            switch (state) {
            case Ack:
                m_nBytes += uint64_t(length);
                ++m_nFrames;
                pending = m_bFileWorker ? PendingReport { ackText, int(chunkCounter) } : PendingReport { nullptr, -1, chunkCounter };
                break;
            case Nak:
                ++m_nNakCount;
                if (m_bFileWorker)
                    pending = { "NAK  Data = ", m_nNakCount };
                // A receiver still inside an earlier download refuses every frame for ever.
                if (++naksInARow >= kNakLimit) {
                    Report(pending, true);
                    ReportStatus(kOutOfStepText);
                    return TransferResult::Failed;
                }
                break;
            case Other:
                if (m_bFileWorker)
                    pending = { "Other Answer this Data" };
                state = Nak;
                naksInARow = 0;
                break;
            case NoAnswer:
                ++m_nNoAnswerCount;
                if (m_bFileWorker)
                    pending = { "No Answer ", int(m_nNoAnswerCount.load()) };
                state = Nak;
                naksInARow = 0;
                break;
            default:
                return TransferResult::Failed;
            }
            m_word.Set(Waiting);
            if (state != Nak)
                break;
            ++m_nResentFrames;
        }
        slot = 1 - slot;
        length = nextLength;
    }
    m_session.Write(m_frames[size_t(slot)].data(), m_frameSizes[size_t(slot)]);
    Report(pending, true);
    return TransferResult::Completed;
}
