#include "ptypair.h"
#include "serial/ccomm.h"
#include "serial/ccommowner.h"
#include "serial/portname.h"
#include "serial/portsettings.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

// Records, for each delivery, the receive count the owner saw.
class RecordingOwner : public CCommOwner {
public:
    void CommRead(CComm& port, unsigned tag) override
    {
        std::lock_guard lock(m_mutex);
        m_counts.push_back(port.ReceiveCount());
        m_tags.push_back(tag);
        if (m_clear)
            port.ClearReceive();
        m_changed.notify_all();
    }
    std::vector<int> WaitForCount(size_t deliveries, int timeoutMs = 2000)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_counts.size() >= deliveries; });
        return m_counts;
    }
    std::vector<int> Counts()
    {
        std::lock_guard lock(m_mutex);
        return m_counts;
    }
    std::vector<unsigned> Tags()
    {
        std::lock_guard lock(m_mutex);
        return m_tags;
    }
    bool m_clear = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_counts;
    std::vector<unsigned> m_tags;
};

std::unique_ptr<CComm> OpenOn(const QString& path, const PortSettings& s = {}, CCommOwner* owner = nullptr)
{
    auto comm = std::make_unique<CComm>();
    comm->SetSettings(uint8_t(s.port), s.baudRate, s.dataBits, s.stopBits, s.parity);
    comm->SetDevice(path);
    comm->SetMessageTag(1);
    EXPECT_EQ(comm->CreateEvents(), 1);
    comm->SetOwner(owner);
    return comm;
}

struct RejectedSettings {
    const char* name;
    uint32_t baud;
    uint8_t dataBits;
    uint8_t parity;
    uint8_t stopBits;
};

class CCommRejects : public testing::TestWithParam<RejectedSettings> { };

TEST_P(CCommRejects, OpenFailsAndLeavesNothingOpen)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    const RejectedSettings& p = GetParam();
    PortSettings s;
    s.baudRate = p.baud;
    s.dataBits = p.dataBits;
    s.parity = p.parity;
    s.stopBits = p.stopBits;
    auto comm = OpenOn(pty.SlavePath(), s);
    EXPECT_EQ(comm->Open(), 0);
    EXPECT_FALSE(comm->IsOpen());
    // The line is free again: a correct opening succeeds.
    auto good = OpenOn(pty.SlavePath());
    EXPECT_EQ(good->Open(), 1);
}

INSTANTIATE_TEST_SUITE_P(Settings, CCommRejects,
    testing::Values(RejectedSettings { "nine_bits", 115200, 9, 0, 0 },
        RejectedSettings { "ten_bits", 115200, 10, 0, 0 }, RejectedSettings { "eleven_bits", 115200, 11, 0, 0 },
        RejectedSettings { "one_and_a_half_stop", 115200, 8, 0, kStopBitsOneHalf },
        RejectedSettings { "mark_parity", 115200, 8, 3, 0 }, RejectedSettings { "zero_baud", 0, 8, 0, 0 }),
    [](const testing::TestParamInfo<RejectedSettings>& info) { return std::string(info.param.name); });

TEST(CComm, AcceptsEveryOfferedSpeedParityAndStopBits)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    for (uint32_t baud : { 115200u, 57600u, 33600u, 19200u, 9600u }) {
        for (uint8_t parity : { kParityNone, kParityOdd, kParityEven }) {
            PortSettings s;
            s.baudRate = baud;
            s.parity = parity;
            s.stopBits = kStopBitsTwo;
            auto comm = OpenOn(pty.SlavePath(), s);
            EXPECT_EQ(comm->Open(), 1) << baud << " parity " << int(parity);
            comm->Close();
        }
    }
}

TEST(CComm, MissingOrBusyPortFailsToOpen)
{
    auto missing = OpenOn(QStringLiteral("/dev/tessavo-no-such-port"));
    EXPECT_EQ(missing->Open(), 0);

    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    auto first = OpenOn(pty.SlavePath());
    ASSERT_EQ(first->Open(), 1);
    auto second = OpenOn(pty.SlavePath());
    EXPECT_EQ(second->Open(), 0);
    first->Close();
    EXPECT_EQ(second->Open(), 1);
}

TEST(CComm, PortNamesResolve)
{
    qunsetenv("TESSAVO2_COM3");
    EXPECT_EQ(DevicePathForPort(3), QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(DevicePathForName(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    qputenv("TESSAVO2_COM3", "/tmp/link-to-pty");
    EXPECT_EQ(DevicePathForPort(3), QStringLiteral("/tmp/link-to-pty"));
    EXPECT_EQ(DevicePathForName(QStringLiteral("com3")), QStringLiteral("/tmp/link-to-pty"));
    qunsetenv("TESSAVO2_COM3");
    EXPECT_EQ(DevicePathForName(QStringLiteral("/dev/pts/7")), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(DevicePathForName(QStringLiteral("COMX")), QStringLiteral("COMX"));
}

TEST(CComm, ReplyInOnePieceIsOneDeliveryAndInTwoPiecesTwo)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    RecordingOwner owner;
    auto comm = OpenOn(pty.SlavePath(), {}, &owner);
    ASSERT_EQ(comm->Open(), 1);

    pty.Send(QByteArrayLiteral("UA\n"));
    EXPECT_EQ(owner.WaitForCount(1), std::vector<int> { 3 });
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(comm->ReceiveBuffer()), 3), QByteArrayLiteral("UA\n"));
    comm->ClearReceive();

    pty.Send(QByteArrayLiteral("U"));
    ASSERT_EQ(owner.WaitForCount(2).size(), 2u);
    pty.Send(QByteArrayLiteral("N\n"));
    EXPECT_EQ(owner.WaitForCount(3), (std::vector<int> { 3, 1, 3 }));
    EXPECT_EQ(owner.Tags(), (std::vector<unsigned> { 1, 1, 1 }));
}

TEST(CComm, ReadsAtMostEightyBytesAndNeverOverflows)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    RecordingOwner owner;
    auto comm = OpenOn(pty.SlavePath(), {}, &owner);
    ASSERT_EQ(comm->Open(), 1);

    QByteArray bytes;
    for (int i = 0; i < 1400; ++i)
        bytes.append(char(i % 251));
    pty.Send(bytes);
    std::vector<int> counts;
    for (size_t n = 1; n < 100; ++n) {
        counts = owner.WaitForCount(n);
        if (counts.size() < n || counts.back() == CComm::kReceiveBufferSize)
            break;
    }
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.back(), CComm::kReceiveBufferSize);
    int previous = 0;
    for (int c : counts) {
        EXPECT_LE(c - previous, CComm::kReadChunk);
        previous = c;
    }
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(comm->ReceiveBuffer()), CComm::kReceiveBufferSize),
        bytes.left(CComm::kReceiveBufferSize));
}

TEST(CComm, WritesReachTheLineAndCloseEndsDeliveries)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    RecordingOwner owner;
    auto comm = OpenOn(pty.SlavePath(), {}, &owner);
    ASSERT_EQ(comm->Open(), 1);
    QByteArray frame(1033, '\0');
    for (int i = 0; i < frame.size(); ++i)
        frame[i] = char(i * 7);
    comm->Write(reinterpret_cast<const uint8_t*>(frame.constData()), int(frame.size()));
    EXPECT_EQ(pty.Receive(frame.size(), 2000), frame);

    EXPECT_EQ(comm->Close(), 1);
    EXPECT_FALSE(comm->IsOpen());
    pty.Send(QByteArrayLiteral("UA\n"));
    EXPECT_TRUE(owner.WaitForCount(1, 200).empty());
    EXPECT_EQ(comm->Destroy(), 1);
    EXPECT_EQ(comm->Destroy(), 1);
}

} // namespace
