// The messages of the record files' input/output error codes.
#include "errors.h"

#include <cstring>

InOutError::InOutError(int code) : OrvistaError(messageFor(code)), m_code(code) {}

QString InOutError::messageFor(int code)
{
    if (code < 0)
        return QString::fromLocal8Bit(std::strerror(-code));
    switch (code) {
    case FileNotFound:
        return QStringLiteral("File not found");
    case InvalidFilename:
        return QStringLiteral("Invalid filename");
    case TooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case FileAccessDenied:
        return QStringLiteral("File access denied");
    case ReadBeyondEnd:
        return QStringLiteral("Read beyond end of file");
    case DiskFull:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}
