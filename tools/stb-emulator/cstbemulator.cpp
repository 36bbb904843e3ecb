#include "cstbemulator.h"

#include "serial/serialline.h"
#include "transfer/frame.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

// A lone "U" with nothing after it for this long is a sync, not the start of a frame.
constexpr int kSyncQuietMs = 100;
constexpr int kSyncRetryMs = 1000;
constexpr int kMaxRefusals = 10;
constexpr int kPaceSlice = 16;

int64_t NowNs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Waking from a long sleep can take a millisecond on a virtual machine, which would be charged to the
// tool as line time. A long sleep ends early, a short one (which wakes promptly) brings it close, and
// the last moments are spun.
void SleepTo(int64_t wake)
{
    timespec ts { time_t(wake / 1000000000), long(wake % 1000000000) };
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) { }
}

void SleepUntilNs(int64_t when)
{
    constexpr int64_t kEarlyNs = 3000000;
    constexpr int64_t kSpinNs = 300000;
    if (when - kEarlyNs > NowNs())
        SleepTo(when - kEarlyNs);
    if (when - kSpinNs > NowNs())
        SleepTo(when - kSpinNs);
    while (NowNs() < when) { }
}

const char* KindName(char type)
{
    switch (type) {
    case kTypeCode:
        return "code";
    case kTypePreset:
        return "preset";
    case kTypeLoader:
        return "loader";
    default:
        return "none";
    }
}

void PrintSummary(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Expected size of the frame whose header is at data, or 0 when the header cannot be a frame.
int FrameSizeFromHeader(const uint8_t* data)
{
    const int length = FrameLengthField(data);
    switch (char(data[2])) {
    case kTypeCode:
    case kTypeLoader:
        return length == kFramePayloadMax ? kFrameMaxSize : 0;
    case kTypePreset:
        return length >= 1 && length <= kFramePayloadMax ? kFrameHeaderSize + length + kFrameCrcSize : 0;
    case kTypeEnd:
        return length == kEndFramePayload ? kFrameHeaderSize + length + kFrameCrcSize : 0;
    default:
        return 0;
    }
}

} // namespace

CStbEmulator::CStbEmulator(EmulatorOptions options)
    : m_options(std::move(options))
{
    m_silentSyncsLeft = m_options.silentSyncs;
    if (m_options.baud > 0)
        m_byteNs = int64_t(10) * 1000000000 / m_options.baud;
}

CStbEmulator::~CStbEmulator()
{
    if (!m_options.link.isEmpty())
        QFile::remove(m_options.link);
    if (m_slaveFd >= 0)
        ::close(m_slaveFd);
    if (m_fd >= 0)
        ::close(m_fd);
}

void CStbEmulator::Log(const char* format, ...) const
{
    if (!m_options.verbose)
        return;
    va_list args;
    va_start(args, format);
    std::fputs("stb-emulator: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

bool CStbEmulator::Start(QString& devicePath, QString& error)
{
    if (!m_options.device.isEmpty()) {
        m_fd = ::open(QFile::encodeName(m_options.device).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0) {
            error = QStringLiteral("cannot open %1").arg(m_options.device);
            return false;
        }
        const uint32_t baud = m_options.baud > 0 ? uint32_t(m_options.baud) : 115200u;
        if (isatty(m_fd) && !ConfigureSerialLine(m_fd, baud, 8, 0, 0)) {
            error = QStringLiteral("cannot configure %1").arg(m_options.device);
            return false;
        }
        devicePath = m_options.device;
        return true;
    }
    m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0) {
        error = QStringLiteral("cannot create a pseudo-terminal");
        return false;
    }
    const char* name = ptsname(m_fd);
    if (name == nullptr) {
        error = QStringLiteral("cannot name the pseudo-terminal");
        return false;
    }
    devicePath = QString::fromLocal8Bit(name);
    // Holding the other end open keeps the line up between the tool's openings, and a raw line
    // keeps what we send before the tool opens it from being echoed back to us.
    m_slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveFd < 0) {
        error = QStringLiteral("cannot open %1").arg(devicePath);
        return false;
    }
    termios tio {};
    tcgetattr(m_slaveFd, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_slaveFd, TCSANOW, &tio);
    if (!m_options.link.isEmpty()) {
        QFile::remove(m_options.link);
        if (::symlink(name, QFile::encodeName(m_options.link).constData()) != 0) {
            error = QStringLiteral("cannot make the link %1").arg(m_options.link);
            m_options.link.clear();
            return false;
        }
    }
    return true;
}

CStbEmulator::Wait CStbEmulator::ReadSome(int timeoutMs)
{
    pollfd fds[2] = { { m_stopFd, POLLIN, 0 }, { m_fd, POLLIN, 0 } };
    const int n = poll(fds, 2, timeoutMs);
    if (n < 0)
        return errno == EINTR ? Wait::Timeout : Wait::Stop;
    if (fds[0].revents != 0) {
        m_bStop = true;
        return Wait::Stop;
    }
    if (n == 0)
        return Wait::Timeout;
    uint8_t buffer[4096];
    const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
    if (got <= 0) {
        // A device that went away: wait a little instead of spinning on it.
        ::usleep(20000);
        return Wait::Timeout;
    }
    const int64_t now = NowNs();
    if (m_ackWrittenNs != 0 && m_options.timing)
        m_replyGapsNs.push_back(now - m_ackWrittenNs);
    m_ackWrittenNs = 0;
    m_lastInputNs = now;
    m_inputDoneNs = std::max(now, m_inputDoneNs) + m_byteNs * got;
    m_input.append(reinterpret_cast<const char*>(buffer), qsizetype(got));
    return Wait::Data;
}

void CStbEmulator::WritePaced(const uint8_t* data, int size, bool answer)
{
    // An answer follows the last byte of what it answers on the line; measuring from when this
    // process woke up would add its own latency to every exchange.
    if (m_byteNs > 0)
        m_outputFreeNs = std::max(m_outputFreeNs, answer ? m_inputDoneNs : NowNs());
    int done = 0;
    while (done < size) {
        int slice = size - done;
        if (m_byteNs > 0) {
            slice = std::min(slice, kPaceSlice);
            m_outputFreeNs += m_byteNs * slice;
            SleepUntilNs(m_outputFreeNs);
        }
        const ssize_t n = ::write(m_fd, data + done, size_t(slice));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += int(n);
    }
}

void CStbEmulator::Reply(char letter, bool noise)
{
    const uint8_t reply[kReplySize + 1] = { 0xFF, kLeadByte, uint8_t(letter), kLineFeed };
    if (noise)
        WritePaced(reply, kReplySize + 1, true);
    else
        WritePaced(reply + 1, kReplySize, true);
}

void CStbEmulator::StartDownload()
{
    m_phase = Phase::Frames;
    m_framesSeen = 0;
    m_ackWrittenNs = 0;
    m_replyGapsNs.clear();
    m_expectedPacket = 0;
    m_framesStored = 0;
    m_type = 0;
    m_download.clear();
}

void CStbEmulator::ProcessInput()
{
    while (!m_input.isEmpty()) {
        const auto* data = reinterpret_cast<const uint8_t*>(m_input.constData());
        if (data[0] != kLeadByte) {
            m_input.remove(0, 1);
            continue;
        }
        if (m_input.size() == 1) {
            // Between downloads a lone lead byte is a sync. During one it may also be the start of a
            // frame, so it counts as a (repeated) sync only once the line has been quiet a while.
            if (m_phase == Phase::Frames && NowNs() - m_lastInputNs < int64_t(kSyncQuietMs) * 1000000)
                return;
            m_input.clear();
            if (Rebooting()) {
                Log("sync ignored: no receiver in its loader");
                continue;
            }
            if (m_silentSyncsLeft > 0) {
                --m_silentSyncsLeft;
                Log("sync ignored");
                continue;
            }
            Log("sync");
            StartDownload();
            Reply('A', false);
            m_silentSyncsLeft = m_options.silentSyncs;
            continue;
        }
        if (m_phase == Phase::Idle) {
            m_input.remove(0, 1);
            continue;
        }
        if (!TakeFrame())
            return;
    }
}

bool CStbEmulator::TakeFrame()
{
    if (m_input.size() < kFrameHeaderSize)
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(m_input.constData());
    const int size = FrameSizeFromHeader(data);
    if (size == 0) {
        Log("no frame header at lead byte, skipping it");
        m_input.remove(0, 1);
        return true;
    }
    if (m_input.size() < size)
        return false;
    const QByteArray frame = m_input.left(size);
    m_input.remove(0, size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(frame.constData());
    if (char(bytes[2]) == kTypeEnd)
        HandleEndFrame(bytes, size);
    else
        HandleDataFrame(bytes, size);
    return true;
}

void CStbEmulator::HandleDataFrame(const uint8_t* frame, int size)
{
    const int number = ++m_framesSeen;
    const int packet = frame[1];
    const char type = char(frame[2]);
    const bool noise = m_options.noiseFrames.contains(number);
    if (m_options.silentFrames.contains(number)) {
        Log("frame %d (packet %d): silent", number, packet);
        return;
    }
    char letter = 'A';
    if (m_options.terminateFrames.contains(number) || (m_options.failReceiver == m_receiver && number == 3)) {
        letter = 'T';
    } else if (m_options.nakFrames.contains(number)) {
        letter = 'N';
    } else if (m_options.otherFrames.contains(number)) {
        letter = 'X';
    } else if (m_crc.Compute(frame, size_t(size - kFrameCrcSize)) != FrameCrc(frame, size)
        || (m_type != 0 && type != m_type)) {
        letter = 'N';
    } else if (packet == (m_expectedPacket & 0xFF)) {
        m_type = type;
        m_download.append(reinterpret_cast<const char*>(frame + kFrameHeaderSize), FrameLengthField(frame));
        m_expectedPacket = (m_expectedPacket + 1) & 0xFF;
        ++m_framesStored;
    } else if (m_framesStored == 0 || packet != ((m_expectedPacket + 255) & 0xFF)) {
        // Not a repeat of the frame stored last (whose answer was lost): out of order.
        letter = 'N';
    }
    Log("frame %d (packet %d type %c): %c", number, packet, type, letter);
    Reply(letter, noise);
    if (letter == 'A')
        m_ackWrittenNs = NowNs();
    else if (letter == 'T')
        NextReceiver();
}

// The receiver done with leaves its loader (or is unplugged); the next one answers after the swap gap.
void CStbEmulator::NextReceiver()
{
    if (m_options.receivers == 0 || m_options.stayInLoader)
        return;
    ++m_receiver;
    m_rebootedNs = NowNs();
    m_phase = Phase::Idle;
}

bool CStbEmulator::Rebooting() const
{
    return m_options.receivers > 0
        && (m_receiver > m_options.receivers || NowNs() - m_rebootedNs < int64_t(m_options.swapGapMs) * 1000000);
}

void CStbEmulator::HandleEndFrame(const uint8_t* frame, int size)
{
    const bool crcOk = m_crc.Compute(frame, size_t(size - kFrameCrcSize)) == FrameCrc(frame, size);
    if (!crcOk || frame[1] != (m_expectedPacket & 0xFF)) {
        Log("end frame rejected (crc %s, packet %d, expected %d)", crcOk ? "ok" : "bad", frame[1],
            m_expectedPacket & 0xFF);
        PrintSummary(QByteArrayLiteral("failed reason=bad-end-frame"));
        m_phase = Phase::Idle;
        return;
    }
    SaveDownload();
    PrintTiming();
    m_phase = Phase::Idle;
    NextReceiver();
}

void CStbEmulator::PrintTiming()
{
    if (!m_options.timing || m_replyGapsNs.empty())
        return;
    std::sort(m_replyGapsNs.begin(), m_replyGapsNs.end());
    const auto at = [this](double share) {
        return double(m_replyGapsNs[std::min(m_replyGapsNs.size() - 1, std::size_t(share * double(m_replyGapsNs.size())))])
            / 1000.0;
    };
    PrintSummary(QStringLiteral("timing replies=%1 reply_to_frame_median_us=%2 reply_to_frame_p99_us=%3")
                     .arg(m_replyGapsNs.size())
                     .arg(at(0.5), 0, 'f', 1)
                     .arg(at(0.99), 0, 'f', 1)
                     .toLocal8Bit());
    m_replyGapsNs.clear();
}

void CStbEmulator::SaveDownload()
{
    const QByteArray sha = QCryptographicHash::hash(m_download, QCryptographicHash::Sha256).toHex();
    QString file = QStringLiteral("-");
    if (!m_options.saveDir.isEmpty()) {
        const char type = m_type != 0 ? m_type : '0';
        const QDir dir(m_options.saveDir);
        // Numbered on from the saves of earlier runs, never over one of them.
        if (m_savedCount == 0) {
            static const QRegularExpression saved(QStringLiteral("^._(\\d+)\\.bin$"));
            for (const QString& name : dir.entryList(QDir::Files))
                if (const QRegularExpressionMatch match = saved.match(name); match.hasMatch())
                    m_savedCount = std::max(m_savedCount, match.captured(1).toInt());
        }
        do {
            file = dir.filePath(
                QStringLiteral("%1_%2.bin").arg(QChar(type)).arg(++m_savedCount, 4, 10, QLatin1Char('0')));
        } while (QFileInfo::exists(file));
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(m_download) != m_download.size() || !out.commit()) {
            std::fprintf(stderr, "stb-emulator: cannot write %s\n", file.toLocal8Bit().constData());
            file = QStringLiteral("-");
        }
    }
    PrintSummary(QStringLiteral("saved kind=%1 type=%2 frames=%3 size=%4 sha256=%5 file=%6")
                     .arg(QLatin1String(KindName(m_type)), QChar(m_type != 0 ? m_type : '-'))
                     .arg(m_framesStored)
                     .arg(m_download.size())
                     .arg(QString::fromLatin1(sha), file)
                     .toLocal8Bit());
}

int CStbEmulator::SendAndAwaitReply(const uint8_t* data, int size, int timeoutMs)
{
    WritePaced(data, size, false);
    const int64_t deadline = NowNs() + int64_t(timeoutMs) * 1000000;
    for (;;) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(m_input.constData());
        for (qsizetype i = 2; i < m_input.size(); ++i) {
            if (bytes[i] == kLineFeed) {
                const char letter = char(bytes[i - 1]);
                m_input.clear();
                if (m_byteNs > 0)
                    SleepUntilNs(m_inputDoneNs);
                return letter;
            }
        }
        const int64_t left = deadline - NowNs();
        if (left <= 0)
            return 0;
        if (ReadSome(int(left / 1000000) + 1) == Wait::Stop)
            return -1;
    }
}

bool CStbEmulator::SendPreset()
{
    QFile file(m_options.sendPreset);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "stb-emulator: cannot read %s\n", m_options.sendPreset.toLocal8Bit().constData());
        return false;
    }
    const QByteArray preset = file.readAll();

    const uint8_t sync = kLeadByte;
    int reply = 0;
    while ((reply = SendAndAwaitReply(&sync, 1, kSyncRetryMs)) == 0)
        Log("sync not answered");
    if (reply < 0)
        return false;

    uint8_t frame[kFrameMaxSize];
    const int chunks = int((preset.size() + kFramePayloadMax - 1) / kFramePayloadMax);
    for (int k = 0; k <= chunks; ++k) {
        int size = 0;
        if (k < chunks) {
            const int n = int(std::min<qsizetype>(kFramePayloadMax, preset.size() - qsizetype(k) * kFramePayloadMax));
            uint8_t payload[kFramePayloadMax] = {};
            std::memcpy(payload, preset.constData() + qsizetype(k) * kFramePayloadMax, size_t(n));
            // The tool takes a data frame only as a whole 1033-byte frame, whatever its length field.
            size = BuildFrame(m_crc, frame, uint8_t(k), kTypePreset, uint16_t(n), payload, kFramePayloadMax);
        } else {
            size = BuildFrame(m_crc, frame, uint8_t(k), kTypeEnd, kEndFramePayload, nullptr, kEndFramePayload);
        }
        int refusals = 0;
        for (int sending = 1;; ++sending) {
            uint8_t spoilt[kFrameMaxSize];
            const bool spoil = sending == 1 && k < chunks && m_options.spoilFrames.contains(k + 1);
            if (spoil) {
                std::memcpy(spoilt, frame, size_t(size));
                spoilt[kFrameHeaderSize] ^= 0x01;
            }
            reply = SendAndAwaitReply(spoil ? spoilt : frame, size, m_options.replyTimeoutMs);
            if (reply < 0)
                return false;
            Log("sent frame %d: reply %c", k, reply > 0 ? reply : '-');
            const char wanted = k < chunks ? 'A' : 'T';
            if (reply == wanted)
                break;
            if (reply != 0 && ++refusals >= kMaxRefusals) {
                PrintSummary(
                    QStringLiteral("send-failed kind=preset frame=%1 reply=%2").arg(k).arg(QChar(reply)).toLocal8Bit());
                return false;
            }
        }
    }
    const QByteArray sha = QCryptographicHash::hash(preset, QCryptographicHash::Sha256).toHex();
    PrintSummary(QStringLiteral("sent kind=preset frames=%1 size=%2 sha256=%3")
                     .arg(chunks)
                     .arg(preset.size())
                     .arg(QString::fromLatin1(sha))
                     .toLocal8Bit());
    return true;
}

int CStbEmulator::Run(int stopFd)
{
    m_stopFd = stopFd;
    if (!m_options.sendPreset.isEmpty())
        (void)SendPreset();
    while (!m_bStop) {
        const bool loneLead = m_input.size() == 1;
        if (ReadSome(loneLead ? kSyncQuietMs : -1) == Wait::Stop)
            break;
        ProcessInput();
    }
    return 0;
}
