// Reading a file the program did not make safely: only an ordinary file, never
// waiting on it (a named pipe, a device) and never more than a bound (a file
// that grows without end, /dev/zero).
#pragma once

#include <QByteArray>
#include <QString>

namespace lumora {

enum class OrdinaryRead {
    Ok,
    NotOrdinary, // a device, a named pipe, a socket or a folder
    TooLarge,    // more than maxBytes
    Failed,      // the platform refused (see *error)
};

// Reads the whole file at path into *bytes (emptied unless Ok), opened without
// blocking and checked to be an ordinary file before a byte is read. *error
// holds the platform's reason on Failed.
OrdinaryRead ReadOrdinaryFile(const QString &path, qint64 maxBytes, QByteArray *bytes,
                              QString *error = nullptr);

} // namespace lumora
