#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names are bytes. Qt reads them as UTF-8 and replaces what is not, so a name that is not UTF-8
// would come back as the name of another file. DecodePath keeps each such byte as the lone surrogate
// U+DC80 + (byte - 0x80), as other runtimes do, and EncodePath turns those back into the same bytes;
// a name that is UTF-8 is decoded as Qt decodes it.
[[nodiscard]] QString DecodePath(QByteArrayView bytes);
[[nodiscard]] QByteArray EncodePath(const QString& path);
