#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

struct SerialPortEntry {
    QString device; // "/dev/ttyUSB0"
    QString byIdPath; // "/dev/serial/by-id/usb-..." or empty
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    QList<int> comPorts; // which of COM1..COM4 resolve to this device today
};

inline constexpr int kComPortCount = 4;

// The serial ports of the machine, plus any existing device that a COMn names through the
// environment or the user's mapping (a pseudo-terminal, say), in device order.
[[nodiscard]] QList<SerialPortEntry> ListSerialPorts();

// A by-id name survives the adapter moving to another USB socket, so it is what a choice keeps.
[[nodiscard]] QString StablePortName(const SerialPortEntry& entry);
// The by-id name (or device) and the description, as a list of ports shows an entry.
[[nodiscard]] QString PortEntryText(const SerialPortEntry& entry);

// Whether path names a character device now (a serial port, a pseudo-terminal, a link to one).
[[nodiscard]] bool IsDevicePresent(const QString& path);
