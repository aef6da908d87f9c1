// The data layer's errors from SQLite's failures. They stand in for the Jet
// provider's, which a Russian system gives in Russian: a Russian sentence
// naming the database file, SQLite's own text in brackets after it and a
// full stop.
#pragma once

#include "errors.h"

struct sqlite3;

namespace DataErrors
{

// The failure `code` (SQLite's result code, primary or extended) on the
// file at `path`; `detail` is SQLite's text, left out where empty.
DatabaseError fromCode(int code, const QString &path, const QString &detail = {});

// An operation on a closed connection.
DatabaseError connectionClosed();

// The failure of the last call on the connection `db`, or, where given, the
// failure `code` on its file.
DatabaseError fromConnection(sqlite3 *db, int code = 0);

} // namespace DataErrors
