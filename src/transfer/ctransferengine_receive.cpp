// The receive side of the engine: the receiver's frames judged on the reader thread, answered by the worker.
#include "transfer/ctransferengine.h"

#include "transfer/frame.h"

#include <cstring>

namespace {

constexpr int kRefusalLimit = 16;

} // namespace

// Reader thread, while the worker waits for the verdict.
void CTransferEngine::OnFrameReceived(const uint8_t* frame)
{
    const CReceiveCheck::Verdict verdict = m_receiveCheck.Judge(frame);
    if (verdict == CReceiveCheck::Verdict::Store || verdict == CReceiveCheck::Verdict::StoreDespiteCrc) {
        const int length = m_receiveCheck.Length();
        std::memcpy(m_receiveStore.data() + m_receiveCheck.Offset(), frame + kFrameHeaderSize, size_t(length));
        m_nBytes += uint64_t(length);
        ++m_nFrames;
        m_nReceiveEnd = m_receiveCheck.Offset() + length;
        if (verdict == CReceiveCheck::Verdict::StoreDespiteCrc && !m_bCrcWarning.exchange(true))
            m_bCrcWarningPending = true;
    }
    m_word.Set(verdict == CReceiveCheck::Verdict::Refuse ? Nak : Ack);
}

void CTransferEngine::SendReply(char letter)
{
    const uint8_t reply[kReplySize] = { kLeadByte, uint8_t(letter), kLineFeed };
    m_session.Write(reply, kReplySize);
}

TransferResult CTransferEngine::RunReceiveTransfer()
{
    unsigned ackCounter = 0;
    int refusalsInARow = 0;
    bool done = false;
    // Time-outs do not end a receive, so the worker simply waits for the parser's next verdict.
    while (!done && refusalsInARow < kRefusalLimit) {
        const TransferState state = m_word.WaitWhile(WaitSync, NoAnswer);
        if (m_word.Stopped())
            break;
        // The state moves on before the reply goes out: the receiver's next frame may follow it at once.
        m_word.Set(NoAnswer);
        switch (state) {
        case Ack:
            SendReply('A');
            refusalsInARow = 0;
            if (m_bCrcWarningPending.exchange(false))
                ReportStatus(kCrcWarningText);
            ReportProgress(++ackCounter, false);
            break;
        case Terminate:
            SendReply('T');
            ReportProgress(m_setup.expectedPackets + 1, false);
            done = true;
            break;
        default:
            SendReply('N');
            ++refusalsInARow;
            break;
        }
    }
    m_bReceiveMode = false;
    m_word.Set(Waiting);
    if (!done) {
        if (m_word.Stopped())
            return StoppedResult();
        // Nothing of a receive that failed may pass for the receiver's data.
        m_nReceiveEnd = 0;
        ReportStatus(kReceiveOutOfStepText);
        return TransferResult::Failed;
    }
    ReportProgress(0, false);
    return TransferResult::Completed;
}
