// The messages of the record files' input/output error codes.
#include "errors.h"

#include <cstring>

InOutError::InOutError(int code) : OrvistaError(messageFor(code)), m_code(code) {}

QString InOutError::messageFor(int code)
{
    if (code < 0)
        return QString::fromLocal8Bit(std::strerror(-code));
    switch (code) {
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Invalid filename");
    case 4:
        return QStringLiteral("Too many open files");
    case 5:
        return QStringLiteral("File access denied");
    case 100:
        return QStringLiteral("Read beyond end of file");
    case 101:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(code);
    }
}
