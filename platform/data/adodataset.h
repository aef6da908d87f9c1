// The dataset of the data access layer: runs a Jet SQL command text over a
// connection and holds the resulting rows client-side, each keyed by its
// rowid, with a current row. The rows are those of one moment, the query's:
// other programs' later changes never show. Appending, editing, posting and
// deleting reach the database at once, a post or a deletion only where the
// row still holds what was read. An appended row stays at the end of the
// rows until the query runs again, and a changed row keeps its place.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

class AdoConnection;
struct sqlite3;
struct sqlite3_stmt;

class AdoDataSet : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };
    // Taken from the column's declared type: DATETIME is a Calendar date
    // (read as QDate, or QDateTime when it has a time of day), YESNO is a
    // boolean stored as -1/0.
    enum class FieldType { Date, YesNo, Text, Integer, Real };

    explicit AdoDataSet(QObject *parent = nullptr) : QObject(parent) {}

    void setConnection(AdoConnection *connection) { m_connection = connection; }
    void setCommandText(const QString &text) { m_commandText = text; }
    QString commandText() const { return m_commandText; }

    // Runs the query and fixes its rows and their order; the first row
    // becomes current. Raises DatabaseError (no connection, bad SQL,
    // missing table or column).
    void open();
    void close();
    bool active() const { return m_state != State::Inactive; }
    void setActive(bool on);

    bool isEmpty() const { return m_rows.empty(); }
    int recordCount() const { return int(m_rows.size()); }
    // The current row, -1 when there is none.
    int recNo() const { return m_current; }
    void setRecNo(int row);
    void first();
    void next();
    // True after next() went past the last row, and on an empty dataset.
    bool eof() const { return m_eof; }

    QStringList fieldNames() const { return m_fieldNames; }
    int fieldIndex(const QString &name) const;
    FieldType fieldType(int field) const { return m_fieldTypes.at(field); }
    // A column of any row; a null QVariant for Null, and for a row whose
    // values cannot be read (see readFailed()).
    QVariant value(int row, int field) const;

    // A column of the current row (or of the row being appended or edited);
    // a null QVariant for Null. Raises DatabaseError without a current row,
    // for an unknown name, and with the database's reason for an unread row.
    QVariant fieldValue(const QString &name) const;

    // Starts a new, empty row at the end; it becomes current.
    void append();
    // Raises DatabaseError for a row that cannot be read.
    void edit();
    void setFieldValue(const QString &name, const QVariant &value);
    // Writes the appended or edited row to the database at once, an edited
    // one only where the table's row still holds the values read (or last
    // posted); else DatabaseError is raised and the row stays pending.
    void post();
    void cancel();
    // Deletes the current row from the database, only where it still holds
    // the values read (or last posted), else raises DatabaseError and keeps
    // it; the row after it becomes current, or the new last row.
    void deleteCurrent();

    State state() const { return m_state; }

signals:
    void reset();
    // Each "about to" signal comes just before the rows change, the other
    // just after, as Qt's item models need them.
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowChanged(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void currentChanged(int row);
    // A row could not be read (a damaged file, an I/O error): the database's
    // text, told once for each opening, also when it arises while painting.
    void readFailed(const QString &message) const;

private:
    // The values as SQLite stores them, in their storage classes, so that a
    // post or a deletion can name them exactly as they were read.
    struct Row {
        long long rowid = 0;
        std::vector<QVariant> values;
    };

    bool openLazily(QString &sql);
    void openWhole(const QString &sql);
    void readFields(sqlite3_stmt *stmt, int shift);
    void clear();
    void requireActive() const;
    void requireCurrent() const;
    int requireField(const QString &name) const;
    QString requireTable() const;
    void moveCurrent(int row);
    void removeRow(int row, int current);
    void write(const QString &sql, const Row *values, const Row *match,
               const char *purpose = nullptr) const;
    // lazyrows.cpp: a row's values, read from the snapshot where not yet read.
    const Row &fetched(int row) const;
    void fetchFrom(int first) const;
    sqlite3 *connectedHandle() const;

    AdoConnection *m_connection = nullptr;
    QString m_commandText;
    // The one table the rows come from; empty when the query cannot be
    // updated (a join, a grouping, an expression only).
    QString m_tableName;
    QStringList m_fieldNames;
    std::vector<FieldType> m_fieldTypes;
    // The fields read from a column of that table, which a post writes, and
    // those columns' quoted names.
    std::vector<int> m_writable;
    QStringList m_columns;
    // A row whose values are empty has not been read from the snapshot yet.
    mutable std::vector<Row> m_rows;
    // Reads one row by rowid; empty when the query read every row at open.
    QString m_fetchText;
    // Where the rows not read yet come from; null when there are none.
    std::shared_ptr<sqlite3 *> m_snapshot;
    // The rows that could not be read, by rowid, with the database's reason.
    mutable std::unordered_map<long long, QString> m_unreadable;
    // The row as it was before edit(), for cancel().
    Row m_pending;
    // The current row before append(), current again after cancel().
    int m_appendedFrom = -1;
    int m_current = -1;
    bool m_eof = true;
    State m_state = State::Inactive;
};
