// The autostart store over XDG autostart desktop entries: the quoting of the
// Exec line follows the desktop entry format, so a folder with blanks or
// other reserved characters still names the right program, and a path that
// some launcher would not take as a program is passed to env instead.
#include "autostart.h"

#include "errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

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

// One argument of an Exec line in double quotes: ", `, $ and \ take a
// backslash, and a literal % is written %% so that it is no field code.
QString quotedArgument(const QString &text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        else if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// Whether every launcher finds the program at this path when the Exec line
// names it: GLib and KDE look a program up before they turn "%%" into "%",
// systemd's autostart generator never does, and systemd refuses a program
// path with a quote, a backslash or a control character in it.
bool launchersTakeAsProgram(const QString &path)
{
    return std::none_of(path.begin(), path.end(), [](QChar c) {
        return c == u'%' || c == u'"' || c == u'\'' || c == u'\\' || c.unicode() < 0x20 ||
               c.unicode() == 0x7f;
    });
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
    if (launchersTakeAsProgram(command))
        return escapeString(quotedArgument(command));
    // Any other path is an argument of env, which starts the program from
    // its folder; env -C takes the folder whole, even with a "=" in it.
    const QFileInfo program(command);
    return escapeString(QStringLiteral("env -C ") + quotedArgument(program.path()) +
                        QLatin1Char(' ') +
                        quotedArgument(QStringLiteral("./") + program.fileName()));
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
