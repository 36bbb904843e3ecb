#include "ptypair.h"
#include "serial/ccomm.h"
#include "serial/ccommowner.h"
#include "serial/portsettings.h"

#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

// Records, for each delivery, the receive count the owner saw.
class RecordingOwner : public CCommOwner {
public:
    void CommRead(CComm& port, unsigned tag) override
    {
        EXPECT_EQ(tag, 1u); // the tag set by OpenOn
        std::lock_guard lock(m_mutex);
        m_counts.push_back(port.ReceiveCount());
        m_changed.notify_all();
    }
    // The counts once done(counts) holds or timeoutMs has passed.
    std::vector<int> WaitFor(const std::function<bool(const std::vector<int>&)>& done, int timeoutMs = 2000)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return done(m_counts); });
        return m_counts;
    }
    std::vector<int> WaitForCount(size_t deliveries, int timeoutMs = 2000)
    {
        return WaitFor([deliveries](const std::vector<int>& counts) { return counts.size() >= deliveries; }, timeoutMs);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_counts;
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

// A missing or busy port is the port list's test; here the settings a line takes or refuses.
TEST(CComm, SettingsOutsideTheDialogsChoicesAreRefusedAndLeaveTheLineFree)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    const PortSettings rejected[] = { { .dataBits = 9 }, { .dataBits = 10 }, { .dataBits = 11 },
        { .stopBits = kStopBitsOneHalf }, { .parity = 3 }, { .baudRate = 0 } };
    for (const PortSettings& s : rejected) {
        auto comm = OpenOn(pty.SlavePath(), s);
        EXPECT_EQ(comm->Open(), 0) << s.baudRate << " " << int(s.dataBits) << int(s.parity) << int(s.stopBits);
        EXPECT_FALSE(comm->IsOpen());
        EXPECT_EQ(OpenOn(pty.SlavePath())->Open(), 1);
    }
    for (uint32_t baud : { 115200u, 57600u, 33600u, 19200u, 9600u })
        for (uint8_t parity : { kParityNone, kParityOdd, kParityEven })
            EXPECT_EQ(
                OpenOn(pty.SlavePath(), { .baudRate = baud, .parity = parity, .stopBits = kStopBitsTwo })->Open(), 1)
                << baud << " parity " << int(parity);
}

// A port open on a pseudo-terminal, its deliveries recorded.
class OpenCComm : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pty.Ok());
        m_comm = OpenOn(m_pty.SlavePath(), {}, &m_owner);
        ASSERT_EQ(m_comm->Open(), 1);
    }
    QByteArray Received(int count) const
    {
        return QByteArray(reinterpret_cast<const char*>(m_comm->ReceiveBuffer()), count);
    }

    PtyPair m_pty;
    RecordingOwner m_owner;
    std::unique_ptr<CComm> m_comm;
};

TEST_F(OpenCComm, ReadsAtMostEightyBytesAndNeverOverflows)
{
    QByteArray bytes;
    for (int i = 0; i < 1400; ++i)
        bytes.append(char(i % 251));
    m_pty.Send(bytes);
    const std::vector<int> counts = m_owner.WaitFor(
        [](const std::vector<int>& c) { return !c.empty() && c.back() == CComm::kReceiveBufferSize; });
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.back(), CComm::kReceiveBufferSize);
    int previous = 0;
    for (int c : counts) {
        EXPECT_LE(c - previous, CComm::kReadChunk);
        previous = c;
    }
    EXPECT_EQ(Received(CComm::kReceiveBufferSize), bytes.left(CComm::kReceiveBufferSize));
}

// Each piece that arrives is one delivery; Close ends them; a second Destroy releases nothing twice.
TEST_F(OpenCComm, EachPieceIsOneDeliveryUntilClose)
{
    m_pty.Send(QByteArrayLiteral("UA\n"));
    EXPECT_EQ(m_owner.WaitForCount(1), std::vector<int> { 3 });
    EXPECT_EQ(Received(3), QByteArrayLiteral("UA\n"));
    m_comm->ClearReceive();
    m_pty.Send(QByteArrayLiteral("U"));
    ASSERT_EQ(m_owner.WaitForCount(2).size(), 2u);
    m_pty.Send(QByteArrayLiteral("N\n"));
    EXPECT_EQ(m_owner.WaitForCount(3), (std::vector<int> { 3, 1, 3 }));

    EXPECT_EQ(m_comm->Close(), 1);
    EXPECT_FALSE(m_comm->IsOpen());
    m_pty.Send(QByteArrayLiteral("UA\n"));
    EXPECT_EQ(m_owner.WaitForCount(4, 200).size(), 3u);
    EXPECT_EQ(m_comm->Destroy(), 1);
    EXPECT_EQ(m_comm->Destroy(), 1);
}

} // namespace
