#include "autostart.h"

#include "errors.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace AutoStart
{

QString folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString entryPath(const QString &valueName)
{
    return folder() + QLatin1Char('/') + valueName + QStringLiteral(".desktop");
}

bool exists(const QString &valueName)
{
    return QFile::exists(entryPath(valueName));
}

QString execValue(const QString &command)
{
    // Inside double quotes the desktop entry format reserves ", `, $ and \;
    // each is escaped with a backslash, and the backslash of the escape is
    // itself escaped once more as a string value.
    QString quoted;
    for (const QChar c : command) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\");
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void write(const QString &valueName, const QString &command)
{
    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=%1\n"
                                            "Exec=%2\n"
                                            "Terminal=false\n")
                                 .arg(valueName, execValue(command))
                                 .toUtf8();
    QSaveFile file(entryPath(valueName));
    if (!QDir().mkpath(folder()) || !file.open(QIODevice::WriteOnly) ||
        file.write(entry) != entry.size() || !file.commit())
        throw RegistryError(QStringLiteral("Failed to set data for '%1'").arg(valueName));
}

void remove(const QString &valueName)
{
    QFile::remove(entryPath(valueName));
}

} // namespace AutoStart
