#include "ptypair.h"
#include "serial/portname.h"
#include "serial/serialportlist.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every case starts with no variables set and an empty settings file of its own.
class SerialPorts : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        for (int port = 1; port <= kComPortCount; ++port) {
            qunsetenv(qPrintable(QStringLiteral("TESSAVO2_COM%1").arg(port)));
            SaveDeviceForPort(port, {});
        }
    }
    void TearDown() override { qunsetenv("TESSAVO2_COM1"); }

    QTemporaryDir m_config;
};

const SerialPortEntry* Find(const QList<SerialPortEntry>& entries, const QString& device)
{
    for (const SerialPortEntry& entry : entries)
        if (entry.device == device)
            return &entry;
    return nullptr;
}

TEST_F(SerialPorts, VariableWinsOverTheSavedMappingWhichWinsOverTheDefault)
{
    EXPECT_EQ(ResolvePort(2).device, QStringLiteral("/dev/ttyS1"));
    EXPECT_EQ(ResolvePort(2).source, PortNameSource::Default);
    SaveDeviceForPort(2, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(SavedDeviceForPort(2), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(ResolvePort(2).source, PortNameSource::Saved);
    EXPECT_EQ(DevicePathForName(QStringLiteral("com2")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(DevicePathForPort(1), QStringLiteral("/dev/ttyS0"));
    qputenv("TESSAVO2_COM2", "/tmp/link-to-pty");
    EXPECT_EQ(ResolvePort(2).device, QStringLiteral("/tmp/link-to-pty"));
    EXPECT_EQ(ResolvePort(2).source, PortNameSource::Environment);
    qunsetenv("TESSAVO2_COM2");
    SaveDeviceForPort(2, {});
    EXPECT_EQ(DevicePathForPort(2), QStringLiteral("/dev/ttyS1"));
    EXPECT_EQ(DevicePathForName(QStringLiteral("/dev/pts/7")), QStringLiteral("/dev/pts/7"));
}

TEST_F(SerialPorts, ListsAPseudoTerminalThatAComPortNames)
{
    // Whatever the machine has (often nothing), only a UART at a default name carries a COMn.
    for (const SerialPortEntry& entry : ListSerialPorts())
        for (int port : entry.comPorts)
            EXPECT_EQ(entry.device, QStringLiteral("/dev/ttyS%1").arg(port - 1));
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    qputenv("TESSAVO2_COM1", pty.SlavePath().toLocal8Bit());
    SaveDeviceForPort(3, pty.SlavePath());
    SaveDeviceForPort(4, QStringLiteral("/dev/tessavo-no-such-port"));
    const QList<SerialPortEntry> entries = ListSerialPorts();
    const SerialPortEntry* entry = Find(entries, pty.SlavePath());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->comPorts, (QList<int> { 1, 3 }));
    EXPECT_TRUE(entry->byIdPath.isEmpty());
    EXPECT_FALSE(entry->vendorId.has_value());
    EXPECT_EQ(Find(entries, QStringLiteral("/dev/tessavo-no-such-port")), nullptr);
}

} // namespace
