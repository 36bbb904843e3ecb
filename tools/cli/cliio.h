#pragma once

#include <QByteArray>
#include <QString>

// One line on standard error.
void PrintError(const QString& text);

// Writes bytes to standard output and flushes them; false, with the reason on standard error, when they
// did not all get there.
[[nodiscard]] bool WriteStandardOutput(const QByteArray& bytes);

// Whether everything written to standard output so far got there; says why not on standard error.
[[nodiscard]] bool StandardOutputIntact();

// An --out target: "-" is standard output, anything else is replaced whole if it is a regular file or
// new. False, with the reason on standard error, when the bytes were not stored.
[[nodiscard]] bool WriteOutput(const QString& path, const QByteArray& bytes);
