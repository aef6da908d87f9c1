// The connection string to the dates database, built in this one place.
#include "connectionstring.h"

namespace
{

// Only a value that the plain "Key=Value;" form would cut or misread is
// quoted, so that an ordinary path keeps the exact text of old.
QString dataSourceValue(const QString &path)
{
    if (!path.contains(QLatin1Char(';')) && !path.contains(QLatin1Char('"')) &&
        !path.contains(QLatin1Char('\'')))
        return path;
    QString inner = path;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace

QString datesConnectionString(const QString &databaseFile)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
           dataSourceValue(databaseFile) + QStringLiteral(";Persist Security Info=False");
}
