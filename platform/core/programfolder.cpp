// The Program folder from the running executable's path.
#include "programfolder.h"

#include <QFile>

namespace ProgramFolder
{

namespace
{
QString overrideFolder;
} // namespace

QString folderOf(const QString &path)
{
    QString folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString fromExecutable()
{
    if (!overrideFolder.isEmpty())
        return folderOf(overrideFolder + QLatin1Char('/'));
    return folderOf(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
}

void setOverride(const QString &folder)
{
    overrideFolder = folder;
}

} // namespace ProgramFolder
