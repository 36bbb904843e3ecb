#pragma once

#include <QString>

// One line telling why the device could not be opened, from the errno CComm::Open kept. For a
// permission error it names the device's group and how to join it.
[[nodiscard]] QString DescribeOpenError(const QString& device, int error);
