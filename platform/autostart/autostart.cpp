// The autostart store over XDG autostart desktop entries: the quoting of the
// Exec line follows the desktop entry format, so a folder with blanks or
// other reserved characters still names the right program.
#include "autostart.h"

#include "errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace AutoStart
{

namespace
{

// The escapes of a desktop entry's string values, applied to the whole
// value after any quoting of its own.
QString escapeString(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// Whether the entry tells the session to skip it at logon: Hidden=true, or
// GNOME's X-GNOME-Autostart-enabled=false, in its [Desktop Entry] group.
// Only a regular file is read, so a pipe in its place cannot block.
bool switchedOff(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    bool inGroup = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inGroup || equals < 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return true;
    }
    return false;
}

} // namespace

QString folder()
{
    // The base directory rules ignore a relative XDG_CONFIG_HOME; so must
    // we, or the session would look elsewhere for the entry.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/autostart");
}

QString entryPath(const QString &valueName)
{
    return folder() + QLatin1Char('/') + valueName + QStringLiteral(".desktop");
}

bool exists(const QString &valueName)
{
    // A dangling link still occupies the name; it counts as present.
    const QFileInfo entry(entryPath(valueName));
    return (entry.exists() || entry.isSymLink()) && !switchedOff(entry.filePath());
}

QString execValue(const QString &command)
{
    // One quoted argument: inside double quotes ", `, $ and \ take a
    // backslash, and a literal % is written %% so that it is no field code.
    // The string escapes (a backslash doubled) then apply to the whole line.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : command) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        else if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return escapeString(quoted);
}

void write(const QString &valueName, const QString &command)
{
    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=%1\n"
                                            "Exec=%2\n"
                                            "Terminal=false\n")
                                 .arg(escapeString(valueName), execValue(command))
                                 .toUtf8();
    QSaveFile file(entryPath(valueName));
    // An entry that may be rewritten in a folder that may not is still set.
    file.setDirectWriteFallback(true);
    if (!QDir().mkpath(folder()) || !file.open(QIODevice::WriteOnly) ||
        file.write(entry) != entry.size() || !file.commit())
        throw RegistryError(QStringLiteral("Failed to set data for '%1'").arg(valueName));
}

void remove(const QString &valueName)
{
    QFile::remove(entryPath(valueName));
}

} // namespace AutoStart
