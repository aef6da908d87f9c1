// The dataset over SQLite: ADO's states, the current row and the writes,
// each naming its row by the rowid and the values as read. The editor's list
// is read row by row from a snapshot (lazyrows.cpp), any other query whole
// here; values are converted in fieldvalues.cpp.
//
// Divisions: opening and reading whole; moving; reading fields; appending,
// editing, posting and deleting; the checks every operation makes.
#include "adodataset.h"

#include "adoconnection.h"
#include "dataerrors.h"
#include "fieldvalues.h"
#include "jetsql.h"
#include "statement.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace
{

// A WHERE that finds a row only while it holds the values as read: the
// rowid, which SQLite may give again to another program's new row, and each
// column, Null matching Null.
QString rowMatch(const QStringList &columns)
{
    QString condition = QStringLiteral("rowid = ?");
    for (const QString &column : columns)
        condition += QStringLiteral(" AND %1 IS ?").arg(column);
    return condition;
}

QString quoted(QString name)
{
    return u'"' + name.replace(u'"', QLatin1String("\"\"")) + u'"';
}

} // namespace

void AdoDataSet::open()
{
    close();
    connectedHandle();
    QString sql = JetSql::toSqlite(m_commandText);
    try {
        if (!openLazily(sql))
            openWhole(sql);
    } catch (...) {
        clear();
        throw;
    }
    m_state = State::Browse;
    m_current = m_rows.empty() ? -1 : 0;
    m_eof = m_rows.empty();
    emit reset();
    emit currentChanged(m_current);
}

// Every row at once. The rowid rides along as the first column where the
// query reads one table's rows: inserted after "SELECT", it makes a join
// (an ambiguous rowid), a compound query (unequal columns) or a DISTINCT (a
// syntax error) fail to prepare, and those are read without it and cannot
// be updated. FIXME: a grouping is not told apart; the programs send none.
void AdoDataSet::openWhole(const QString &sql)
{
    sqlite3 *db = connectedHandle();
    static const QRegularExpression select(QStringLiteral("^\\s*SELECT\\s"),
                                           QRegularExpression::CaseInsensitiveOption);
    std::optional<Statement> query;
    try {
        if (sql.contains(select))
            query.emplace(db, QString(sql).replace(
                                  select, QStringLiteral("SELECT rowid AS orvista_rowid_, ")));
    } catch (const DatabaseError &) {
    }
    const int shift = query ? 1 : 0;
    if (!query)
        query.emplace(db, sql);
    const char *table = shift ? sqlite3_column_table_name(query->get(), 0) : nullptr;
    m_tableName = QString::fromUtf8(table ? table : "");
    readFields(query->get(), shift);
    while (query->step())
        m_rows.push_back({shift ? sqlite3_column_int64(query->get(), 0) : 0, query->row(shift)});
}

// The fields of a prepared query from its column `shift` on: their names,
// their types and which of them come from a column of m_tableName.
void AdoDataSet::readFields(sqlite3_stmt *stmt, int shift)
{
    for (int column = shift; column < sqlite3_column_count(stmt); ++column) {
        // "TabData.Date" is the field "Date", as Jet names it.
        m_fieldNames
            << QString::fromUtf8(sqlite3_column_name(stmt, column)).section(QLatin1Char('.'), -1);
        m_fieldTypes.push_back(
            FieldValues::typeFromDeclaration(sqlite3_column_decltype(stmt, column)));
        const char *origin = sqlite3_column_origin_name(stmt, column);
        const char *table = sqlite3_column_table_name(stmt, column);
        if (origin && table &&
            m_tableName.compare(QString::fromUtf8(table), Qt::CaseInsensitive) == 0) {
            m_writable.push_back(column - shift);
            m_columns << quoted(QString::fromUtf8(origin));
        }
    }
}

void AdoDataSet::close()
{
    if (m_state == State::Inactive)
        return;
    m_state = State::Inactive;
    clear();
    emit reset();
    emit currentChanged(-1);
}

void AdoDataSet::clear()
{
    m_tableName.clear();
    m_fieldNames.clear();
    m_fieldTypes.clear();
    m_writable.clear();
    m_columns.clear();
    m_fetchText.clear();
    m_snapshot.reset();
    m_unreadable.clear();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_pending = {};
    m_current = -1;
    m_eof = true;
}

void AdoDataSet::setActive(bool on)
{
    if (on && !active())
        open();
    else if (!on)
        close();
}

void AdoDataSet::setRecNo(int row)
{
    requireActive();
    if (row < 0 || row >= recordCount())
        throw DatabaseError(QStringLiteral("Нет строки %1").arg(row));
    moveCurrent(row);
}

void AdoDataSet::first()
{
    requireActive();
    // An empty dataset is at its end already.
    if (!m_rows.empty())
        moveCurrent(0);
}

void AdoDataSet::next()
{
    requireActive();
    if (m_current + 1 < recordCount())
        moveCurrent(m_current + 1);
    else
        m_eof = true;
}

int AdoDataSet::fieldIndex(const QString &name) const
{
    for (int field = 0; field < m_fieldNames.size(); ++field) {
        if (m_fieldNames[field].compare(name, Qt::CaseInsensitive) == 0)
            return field;
    }
    return -1;
}

QVariant AdoDataSet::value(int row, int field) const
{
    if (row < 0 || row >= recordCount() || field < 0 || field >= m_fieldNames.size())
        return {};
    // Called from a grid's painting, where nothing may be thrown: a row that
    // cannot be read shows empty, and readFailed() has told why.
    try {
        return FieldValues::fromStorage(m_fieldTypes[field], fetched(row).values[field]);
    } catch (...) {
        return {};
    }
}

QVariant AdoDataSet::fieldValue(const QString &name) const
{
    requireCurrent();
    const int field = requireField(name);
    return FieldValues::fromStorage(m_fieldTypes[field], fetched(m_current).values[field]);
}

void AdoDataSet::append()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    m_appendedFrom = m_current;
    emit rowAboutToBeInserted(recordCount());
    m_rows.push_back({0, std::vector<QVariant>(m_fieldNames.size())});
    m_current = recordCount() - 1;
    m_eof = false;
    m_state = State::Insert;
    emit rowInserted(m_current);
    emit currentChanged(m_current);
}

void AdoDataSet::edit()
{
    requireActive();
    if (m_state != State::Browse)
        return;
    requireCurrent();
    m_pending = fetched(m_current);
    m_state = State::Edit;
}

void AdoDataSet::setFieldValue(const QString &name, const QVariant &value)
{
    requireActive();
    if (m_state != State::Insert && m_state != State::Edit)
        throw DatabaseError(QStringLiteral("Набор данных не в режиме правки или добавления"));
    const int field = requireField(name);
    m_rows[m_current].values[field] =
        FieldValues::toStorage(m_fieldTypes[field], value, m_fieldNames[field]);
    emit rowChanged(m_current);
}

void AdoDataSet::post()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    const QString table = requireTable();
    Row &row = m_rows[m_current];
    if (m_state == State::Insert) {
        write(m_columns.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(table, m_columns.join(QLatin1String(", ")),
                                             QStringList(m_columns.size(), QStringLiteral("?"))
                                                 .join(QLatin1String(", "))),
              &row, nullptr);
        row.rowid = sqlite3_last_insert_rowid(connectedHandle());
    } else if (!m_columns.isEmpty()) {
        write(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3")
                  .arg(table, m_columns.join(QLatin1String(" = ?, ")), rowMatch(m_columns)),
              &row, &m_pending, "изменения");
    }
    m_state = State::Browse;
    m_pending = {};
    emit rowChanged(m_current);
}

void AdoDataSet::cancel()
{
    if (m_state == State::Insert) {
        // Browsing again before anyone hears of the removal: a grid that moves
        // its current row away from the dropped one must not post it.
        m_state = State::Browse;
        removeRow(recordCount() - 1, std::max(m_appendedFrom, 0));
    } else if (m_state == State::Edit) {
        m_rows[m_current] = m_pending;
        m_pending = {};
        m_state = State::Browse;
        emit rowChanged(m_current);
    }
}

void AdoDataSet::deleteCurrent()
{
    requireActive();
    // A new row is not in the database yet: deleting it abandons it.
    const bool appended = m_state == State::Insert;
    cancel();
    if (appended)
        return;
    if (m_rows.empty())
        throw DatabaseError(QStringLiteral("Операция невозможна: набор данных пуст"));
    requireCurrent();
    const QString table = requireTable();
    // A row that cannot be read is refused here: nothing is deleted blind.
    const Row &current = fetched(m_current);
    write(QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, rowMatch(m_columns)), nullptr,
          &current, "удаления");
    removeRow(m_current, m_current);
}

// Drops a row; `current` becomes the current row, or the new last one.
void AdoDataSet::removeRow(int row, int current)
{
    emit rowAboutToBeRemoved(row);
    m_rows.erase(m_rows.begin() + row);
    emit rowRemoved(row);
    m_current = current < recordCount() ? current : recordCount() - 1;
    m_eof = m_rows.empty();
    emit currentChanged(m_current);
}

// Runs a write with the writable fields of `values` bound first, then the
// rowid and those fields of `match`, for rowMatch(). Where that finds no row,
// another program deleted or changed it since it was read: DatabaseError
// names the `purpose` the row was sought for.
void AdoDataSet::write(const QString &sql, const Row *values, const Row *match,
                       const char *purpose) const
{
    sqlite3 *db = connectedHandle();
    Statement statement(db, sql);
    int index = 1;
    const auto bindFields = [&](const Row &row) {
        for (const int field : m_writable)
            statement.bind(index++, row.values[field]);
    };
    if (values)
        bindFields(*values);
    if (match) {
        statement.bind(index++, qlonglong(match->rowid));
        bindFields(*match);
    }
    statement.step();
    if (match && sqlite3_changes(db) == 0)
        throw DatabaseError(QStringLiteral("Не удаётся найти строку для %1: возможно, её значения "
                                           "изменились после чтения")
                                .arg(QString::fromUtf8(purpose)));
}

sqlite3 *AdoDataSet::connectedHandle() const
{
    if (!m_connection || !m_connection->connected())
        throw DataErrors::connectionClosed();
    return m_connection->handle();
}

void AdoDataSet::requireActive() const
{
    if (m_state == State::Inactive)
        throw DatabaseError(QStringLiteral("Операция недопустима, когда набор данных закрыт"));
}

void AdoDataSet::requireCurrent() const
{
    requireActive();
    if (m_current < 0 || m_current >= recordCount())
        throw DatabaseError(QStringLiteral("Нет текущей строки: набор данных пуст или строка "
                                           "удалена"));
}

int AdoDataSet::requireField(const QString &name) const
{
    const int field = fieldIndex(name);
    if (field < 0)
        throw DatabaseError(QStringLiteral("Поле «%1» не найдено").arg(name));
    return field;
}

// The quoted name of the table a write goes to.
QString AdoDataSet::requireTable() const
{
    if (m_tableName.isEmpty())
        throw DatabaseError(QStringLiteral("Строки этого запроса нельзя изменить"));
    return quoted(m_tableName);
}

void AdoDataSet::moveCurrent(int row)
{
    if (m_state != State::Browse)
        post();
    m_eof = false;
    if (row == m_current)
        return;
    m_current = row;
    emit currentChanged(row);
}
