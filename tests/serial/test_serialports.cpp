#include "ptypair.h"
#include "serial/ccomm.h"
#include "serial/openerror.h"
#include "serial/portname.h"
#include "serial/serialportlist.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstring>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

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
    const auto at
        = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) { return entry.device == device; });
    return at == entries.end() ? nullptr : &*at;
}

TEST_F(SerialPorts, VariableWinsOverTheMappingWhichWinsOverTheDefaultAndBothAreListed)
{
    // Whatever the machine has (often nothing), only a UART at a default name carries a COMn.
    for (const SerialPortEntry& entry : ListSerialPorts())
        for (int port : entry.comPorts)
            EXPECT_EQ(entry.device, QStringLiteral("/dev/ttyS%1").arg(port - 1));
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    SaveDeviceForPort(1, QStringLiteral("/dev/ttyUSB9"));
    qputenv("TESSAVO2_COM1", pty.SlavePath().toLocal8Bit());
    EXPECT_EQ(ResolvePort(1).source, PortNameSource::Environment);
    SaveDeviceForPort(3, pty.SlavePath());
    EXPECT_EQ(ResolvePort(3).source, PortNameSource::Saved);
    EXPECT_EQ(DevicePathForName(QStringLiteral("com3")), pty.SlavePath());
    SaveDeviceForPort(4, QStringLiteral("/dev/tessavo-no-such-port"));
    const QList<SerialPortEntry> entries = ListSerialPorts();
    const SerialPortEntry* entry = Find(entries, pty.SlavePath());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->comPorts, (QList<int> { 1, 3 }));
    EXPECT_TRUE(entry->byIdPath.isEmpty());
    EXPECT_EQ(Find(entries, QStringLiteral("/dev/tessavo-no-such-port")), nullptr);
    SaveDeviceForPort(3, {});
    EXPECT_EQ(ResolvePort(3).device, QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(ResolvePort(3).source, PortNameSource::Default);
}

// The errno an opening kept; 0 when the port is open.
int TryOpen(CComm& comm, const QString& device)
{
    comm.SetSettings(1, 115200, 8, 0, 0);
    comm.SetDevice(device);
    (void)comm.CreateEvents();
    return comm.Open() == 1 ? 0 : comm.OpenError();
}

TEST_F(SerialPorts, FailedOpeningsKeepTheirReason)
{
    PtyPair pty;
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(pty.Ok() && plain.open(QIODevice::WriteOnly));
    CComm holder;
    ASSERT_EQ(TryOpen(holder, pty.SlavePath()), 0);
    // A pseudo-terminal has no low-latency setting: nothing is changed, nothing is put back.
    EXPECT_FALSE(holder.LowLatencySet());
    const std::tuple<QString, int, const char*> cases[] = {
        { QStringLiteral("/dev/tessavo-no-such-port"), ENOENT, "no such device" },
        { plain.fileName(), ENOTTY, "not a serial port" },
        { pty.SlavePath(), EBUSY, "in use by another program" },
    };
    for (const auto& [device, error, reason] : cases) {
        CComm comm;
        EXPECT_EQ(TryOpen(comm, device), error) << qPrintable(device);
        const QString text = DescribeOpenError(device, error);
        EXPECT_TRUE(text.startsWith(device + QStringLiteral(": ") + QLatin1String(reason))) << qPrintable(text);
    }
}

// As root the opening runs in a child that has given up its rights, or a mode 000 node would open.
int OpenErrorAsUnprivileged(const QString& device)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(255);
        CComm comm;
        _exit(TryOpen(comm, device));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SerialPorts, PermissionErrorNamesTheGroupAndHowToJoinIt)
{
    QTemporaryDir dir;
    ASSERT_EQ(chmod(qPrintable(dir.path()), 0755), 0);
    const QString node = dir.filePath(QStringLiteral("ttyLOCKED"));
    if (geteuid() == 0) {
        if (mknod(qPrintable(node), S_IFCHR, makedev(5, 0)) != 0)
            GTEST_SKIP() << "mknod refused here: " << std::strerror(errno);
        const group* dialout = getgrnam("dialout");
        ASSERT_EQ(chown(qPrintable(node), 0, dialout ? dialout->gr_gid : 20), 0);
    } else {
        ASSERT_TRUE(QFile(node).open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(chmod(qPrintable(node), 0), 0);
    const int error = OpenErrorAsUnprivileged(node);
    ASSERT_EQ(error, EACCES);
    const QString text = DescribeOpenError(node, error);
    EXPECT_TRUE(text.startsWith(node + QStringLiteral(": permission denied; "))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("\"dialout\""))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral(": add your user to it and log in again ("))) << qPrintable(text);
}

} // namespace
