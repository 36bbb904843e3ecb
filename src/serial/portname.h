#pragma once

#include <QString>

// "COMn" is the device in the environment variable TESSAVO2_COMn, else /dev/ttyS<n-1>.
[[nodiscard]] QString DevicePathForPort(int port);

// A "COMn" name (any case) resolved as above; anything else is taken as a device path.
[[nodiscard]] QString DevicePathForName(const QString& name);
