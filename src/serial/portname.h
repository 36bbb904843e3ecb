#pragma once

#include <QString>

// Where the device of a "COMn" came from, in order of precedence.
enum class PortNameSource { Environment, Saved, Default };

struct ResolvedPort {
    QString device;
    PortNameSource source = PortNameSource::Default;
};

// "COMn" is the device in the environment variable TESSAVO2_COMn, else the device the user mapped
// to it (kept in the user's settings), else /dev/ttyS<n-1>.
[[nodiscard]] ResolvedPort ResolvePort(int port);
[[nodiscard]] QString DevicePathForPort(int port);

// A "COMn" name (any case) resolved as above; anything else is taken as a device path.
[[nodiscard]] QString DevicePathForName(const QString& name);

// The user's mapping of COMn to a device; an empty device removes it.
[[nodiscard]] QString SavedDeviceForPort(int port);
void SaveDeviceForPort(int port, const QString& device);
