// The connection of the ADO-like data access layer. It stands in for ADO
// with the Jet provider: it takes the Jet connection string as the programs
// give it, finds the database file named by its "Data Source=" and opens it
// with SQLite. It never creates a database.
#pragma once

#include <QString>
#include <memory>
#include <vector>

struct sqlite3;

class AdoConnection
{
public:
    AdoConnection() = default;
    ~AdoConnection() { close(); }
    AdoConnection(const AdoConnection &) = delete;
    AdoConnection &operator=(const AdoConnection &) = delete;

    // Kept for the programs' sake; this layer never prompts.
    void setLoginPrompt(bool on) { m_loginPrompt = on; }
    bool loginPrompt() const { return m_loginPrompt; }

    void setConnectionString(const QString &text) { m_connectionString = text; }
    QString connectionString() const { return m_connectionString; }

    // Connects; raises DatabaseError when the file is missing or is not a
    // database. The file name is matched without regard to case in its
    // folder; where several files match, every spelling opens the same one.
    void open();
    // No effect when not connected.
    void close();
    bool connected() const { return m_db != nullptr; }

    sqlite3 *handle() const { return m_db; }

    // A second, read-only connection to the very file, in a read transaction
    // kept open, so that every read through it sees the rows as they stood
    // at its first, whatever is written meanwhile. Only in WAL mode, where a
    // reader holds up no writer (this connection included); the price is a
    // -wal that no checkpoint empties while it is open. Null in the other
    // journal modes, where it would lock out every writer, when not connected
    // and where the file cannot be read so. Closed when the last copy of the
    // pointer goes or this connection closes, whichever is first; its handle
    // is null after that.
    std::shared_ptr<sqlite3 *> openSnapshot();

    // The value of "Data Source=" in a connection string.
    static QString dataSourceOf(const QString &connectionString);

private:
    sqlite3 *m_db = nullptr;
    // The snapshots given out, so that closing closes them too: the last
    // connection to close is the one that checkpoints the -wal file.
    std::vector<std::weak_ptr<sqlite3 *>> m_snapshots;
    bool m_loginPrompt = true;
    QString m_connectionString;
};
