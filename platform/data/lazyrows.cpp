// The lazy reading of the editor's list. For the one query shape the editor
// sends, "SELECT <columns> FROM <table> ORDER BY <columns>", over a file in
// WAL mode, open() reads only the rows' rowids in the query's order, and
// each row's values when they are first needed, all from one snapshot of
// the file. Every other query, and this one over a file in another journal
// mode, is read whole (adodataset.cpp).
//
// Divisions: opening (the shape, the rowids from a snapshot); reading rows.
#include "adoconnection.h"
#include "adodataset.h"
#include "dataerrors.h"
#include "statement.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

// The editor's list, lazily where a snapshot can be kept; false leaves it to
// be read whole, from `sql` as rewritten here so that it keeps the same order.
bool AdoDataSet::openLazily(QString &sql)
{
    // Plain names of one table's columns, ordered by named columns; anything
    // else (a WHERE, an alias, an expression, a position, a join) is not it.
    static const QString name = QStringLiteral("[A-Za-z_]\\w*(?:\\.[A-Za-z_]\\w*)?");
    static const QString key = name + QStringLiteral("(?:\\s+(?:ASC|DESC))?");
    static const QRegularExpression shape(
        QStringLiteral("^\\s*SELECT\\s+(%1(?:\\s*,\\s*%1)*)\\s+FROM\\s+([A-Za-z_]\\w*)"
                       "(?:\\s+ORDER\\s+BY\\s+(%2(?:\\s*,\\s*%2)*))?\\s*$")
            .arg(name, key),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch list = shape.match(sql);
    if (!list.hasMatch())
        return false;
    m_tableName = list.captured(2);
    // Rows of equal keys keep the order in which they were added, whichever
    // index SQLite walks for the rowids alone.
    const QString order = list.captured(3).isEmpty() ? QStringLiteral("rowid")
                                                     : list.captured(3) + QStringLiteral(", rowid");
    sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(list.captured(1), m_tableName, order);
    m_fetchText =
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(list.captured(1), m_tableName);
    readFields(Statement(connectedHandle(), m_fetchText).get(), 0);
    m_snapshot = m_connection->openSnapshot();
    if (!m_snapshot) {
        clear();
        return false;
    }
    Statement rowids(*m_snapshot,
                     QStringLiteral("SELECT rowid FROM %1 ORDER BY %2").arg(m_tableName, order));
    while (rowids.step())
        m_rows.emplace_back().rowid = sqlite3_column_int64(rowids.get(), 0);
    fetchFrom(0);
    return true;
}

const AdoDataSet::Row &AdoDataSet::fetched(int row) const
{
    const Row &found = m_rows[row];
    if (found.values.empty())
        fetchFrom(row);
    if (found.values.empty())
        throw DatabaseError(m_unreadable[found.rowid]);
    return found;
}

// Reads from the snapshot the values of a row not read yet and of the
// unread rows after it, enough for a screen. A row that cannot be read is
// kept unread with the database's reason, and is not tried again.
void AdoDataSet::fetchFrom(int first) const
{
    constexpr int rowsAtOnce = 64;
    if (!m_snapshot || first >= recordCount())
        return;
    // Closing the connection closed the snapshot too: nothing more is read.
    if (!*m_snapshot)
        throw DataErrors::connectionClosed();
    const int end = std::min(recordCount(), first + rowsAtOnce);
    std::optional<Statement> fetch;
    for (int index = first; index < end; ++index) {
        Row &row = m_rows[index];
        if (!row.values.empty() || m_unreadable.count(row.rowid))
            continue;
        try {
            if (!fetch)
                fetch.emplace(*m_snapshot, m_fetchText);
            fetch->reset();
            fetch->bind(1, qlonglong(row.rowid));
            // The snapshot holds every row its list of rowids named.
            if (!fetch->step())
                throw DataErrors::fromConnection(*m_snapshot, SQLITE_CORRUPT);
            row.values = fetch->row();
        } catch (const DatabaseError &error) {
            if (m_unreadable.empty())
                emit readFailed(error.message());
            m_unreadable.emplace(row.rowid, error.message());
        }
    }
}
