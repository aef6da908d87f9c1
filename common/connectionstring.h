// The connection string both programs give the data access layer to name
// their database file.
#pragma once

#include <QString>

// The Jet 4.0 provider's string with the file as its data source and
// security info not kept. A file path holding ";" or a quote is written as
// a quoted value (double quotes, an inner double quote doubled), as OLE DB
// connection strings allow; every other path stands as it is.
QString datesConnectionString(const QString &databaseFile);
