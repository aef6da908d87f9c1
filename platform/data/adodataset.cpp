// The dataset of the data access layer over SQLite: ADO's states (browsing,
// appending, editing), the current row and the writes. open() fixes the rows
// and their order; each row keeps its rowid and its values as read, so that
// a post or a deletion names the row it means. The editor's list is read
// row by row from a snapshot (lazyrows.cpp); any other query is read whole
// here. Values are converted in fieldvalues.cpp.
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
#include <optional>

namespace
{

using FieldType = AdoDataSet::FieldType;

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

QString quoted(const QString &name)
{
    QString text = name;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

} // namespace

AdoDataSet::AdoDataSet(QObject *parent) : QObject(parent) {}

AdoDataSet::~AdoDataSet() = default;

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
    const QRegularExpressionMatch start = select.match(sql);
    std::optional<Statement> query;
    int shift = 0;
    if (start.hasMatch()) {
        try {
            query.emplace(db,
                          QString(sql).insert(start.capturedEnd(),
                                              QStringLiteral("rowid AS %1, ").arg(hiddenRowid)));
            shift = 1;
        } catch (const DatabaseError &) {
        }
    }
    if (!query)
        query.emplace(db, sql);
    sqlite3_stmt *stmt = query->get();
    const char *table = shift ? sqlite3_column_table_name(stmt, 0) : nullptr;
    m_tableName = QString::fromUtf8(table ? table : "");
    const std::vector<bool> declared = readFields(stmt, shift);

    const int fieldCount = int(m_fieldNames.size());
    while (query->step()) {
        Row &row = m_rows.emplace_back();
        row.rowid = shift ? sqlite3_column_int64(stmt, 0) : 0;
        row.values.reserve(fieldCount);
        for (int field = 0; field < fieldCount; ++field)
            row.values.push_back(query->column(field + shift));
    }
    // An expression's type comes from its first value that is not Null.
    for (int field = 0; field < fieldCount; ++field) {
        if (declared[field])
            continue;
        for (const Row &row : m_rows) {
            const QVariant &value = row.values[field];
            if (FieldValues::isNull(value))
                continue;
            if (value.typeId() == QMetaType::LongLong)
                m_fieldTypes[field] = FieldType::Integer;
            else if (value.typeId() == QMetaType::Double)
                m_fieldTypes[field] = FieldType::Real;
            break;
        }
    }
}

// The fields of a prepared query from its column `shift` on: their names,
// types and the columns of m_tableName they were read from. Returns for
// each whether its type was declared, as a table's column has one.
std::vector<bool> AdoDataSet::readFields(sqlite3_stmt *stmt, int shift)
{
    std::vector<bool> declared;
    for (int column = shift; column < sqlite3_column_count(stmt); ++column) {
        // "TabData.Date" is the field "Date", as Jet names it.
        m_fieldNames
            << QString::fromUtf8(sqlite3_column_name(stmt, column)).section(QLatin1Char('.'), -1);
        const char *declaredType = sqlite3_column_decltype(stmt, column);
        declared.push_back(declaredType != nullptr);
        m_fieldTypes.push_back(declaredType ? FieldValues::typeFromDeclaration(declaredType)
                                            : FieldType::Text);
        const char *origin = sqlite3_column_origin_name(stmt, column);
        const char *originTable = sqlite3_column_table_name(stmt, column);
        const bool writable =
            origin && originTable && !m_tableName.isEmpty() &&
            m_tableName.compare(QString::fromUtf8(originTable), Qt::CaseInsensitive) == 0;
        m_columnNames.push_back(writable ? QString::fromUtf8(origin) : QString());
    }
    return declared;
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
    m_columnNames.clear();
    m_fetchText.clear();
    m_snapshot.reset();
    m_unreadable.clear();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_pending = {};
    m_appendedFrom = -1;
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
    m_eof = false;
}

void AdoDataSet::first()
{
    requireActive();
    if (m_rows.empty()) {
        m_eof = true;
        return;
    }
    moveCurrent(0);
    m_eof = false;
}

void AdoDataSet::next()
{
    requireActive();
    if (m_current + 1 < recordCount()) {
        moveCurrent(m_current + 1);
        m_eof = false;
    } else {
        m_eof = true;
    }
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
    const int field = fieldIndex(name);
    if (field < 0)
        throw DatabaseError(QStringLiteral("Поле «%1» не найдено").arg(name));
    return FieldValues::fromStorage(m_fieldTypes[field], fetched(m_current).values[field]);
}

void AdoDataSet::append()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    m_appendedFrom = m_current;
    Row row;
    row.values.resize(m_fieldNames.size());
    emit rowAboutToBeInserted(recordCount());
    m_rows.push_back(std::move(row));
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
    const int field = fieldIndex(name);
    if (field < 0)
        throw DatabaseError(QStringLiteral("Поле «%1» не найдено").arg(name));
    m_rows[m_current].values[field] =
        FieldValues::toStorage(m_fieldTypes[field], value, m_fieldNames[field]);
    emit rowChanged(m_current);
}

void AdoDataSet::post()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    if (m_tableName.isEmpty())
        throw DatabaseError(QStringLiteral("Строки этого запроса нельзя изменить"));
    Row &row = m_rows[m_current];
    const std::vector<int> fields = writableFields();
    const QStringList columns = quotedColumns(fields);
    sqlite3 *db = connectedHandle();

    QString sql;
    if (m_state == State::Insert) {
        sql = columns.isEmpty()
                  ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_tableName))
                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(quoted(m_tableName), columns.join(QLatin1String(", ")),
                             QStringList(columns.size(), QStringLiteral("?"))
                                 .join(QLatin1String(", ")));
    } else {
        if (columns.isEmpty()) {
            m_state = State::Browse;
            return;
        }
        sql =
            QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3")
                .arg(quoted(m_tableName), columns.join(QLatin1String(" = ?, ")), rowMatch(columns));
    }
    Statement statement(db, sql);
    int index = 1;
    for (const int field : fields)
        statement.bind(index++, row.values[field]);
    if (m_state == State::Edit)
        statement.bindMatch(index, m_pending.rowid, m_pending.values, fields);
    statement.step();
    if (m_state == State::Insert) {
        row.rowid = sqlite3_last_insert_rowid(db);
    } else if (sqlite3_changes(db) == 0) {
        // Another program deleted or changed the row since it was read.
        throw DatabaseError(QStringLiteral("Не удаётся найти строку для изменения: возможно, "
                                           "её значения изменились после чтения"));
    }
    m_state = State::Browse;
    m_pending = {};
    emit rowChanged(m_current);
}

void AdoDataSet::cancel()
{
    if (m_state == State::Insert) {
        const int row = recordCount() - 1;
        // Browsing again before anyone hears of the removal: a grid that moves
        // its current row away from the dropped one must not post it.
        m_state = State::Browse;
        emit rowAboutToBeRemoved(row);
        m_rows.pop_back();
        emit rowRemoved(row);
        m_current = m_appendedFrom < recordCount() ? m_appendedFrom : recordCount() - 1;
        if (m_current < 0 && !m_rows.empty())
            m_current = 0;
        m_eof = m_rows.empty();
        emit currentChanged(m_current);
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
    if (m_state == State::Insert) {
        // The new row is not in the database yet: deleting it abandons it.
        cancel();
        return;
    }
    cancel();
    if (m_rows.empty())
        throw DatabaseError(QStringLiteral("Операция невозможна: набор данных пуст"));
    requireCurrent();
    if (m_tableName.isEmpty())
        throw DatabaseError(QStringLiteral("Строки этого запроса нельзя изменить"));
    sqlite3 *db = connectedHandle();
    // A row that cannot be read is refused here: nothing is deleted blind.
    const Row &current = fetched(m_current);
    const std::vector<int> fields = writableFields();
    const QStringList columns = quotedColumns(fields);
    Statement statement(
        db, QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_tableName), rowMatch(columns)));
    statement.bindMatch(1, current.rowid, current.values, fields);
    statement.step();
    if (sqlite3_changes(db) == 0) {
        // Another program deleted or changed the row since it was read.
        throw DatabaseError(QStringLiteral("Не удаётся найти строку для удаления: возможно, "
                                           "её значения изменились после чтения"));
    }

    const int row = m_current;
    emit rowAboutToBeRemoved(row);
    m_rows.erase(m_rows.begin() + row);
    emit rowRemoved(row);
    m_current = row < recordCount() ? row : recordCount() - 1;
    m_eof = m_rows.empty();
    emit currentChanged(m_current);
}

sqlite3 *AdoDataSet::connectedHandle() const
{
    if (!m_connection || !m_connection->connected())
        throw DataErrors::connectionClosed();
    return m_connection->handle();
}

QStringList AdoDataSet::quotedColumns(const std::vector<int> &fields) const
{
    QStringList columns;
    for (const int field : fields)
        columns << quoted(m_columnNames[field]);
    return columns;
}

// The fields read from a column of the table, which a post writes.
std::vector<int> AdoDataSet::writableFields() const
{
    std::vector<int> fields;
    for (int field = 0; field < int(m_columnNames.size()); ++field) {
        if (!m_columnNames[field].isEmpty())
            fields.push_back(field);
    }
    return fields;
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

void AdoDataSet::moveCurrent(int row)
{
    if (m_state != State::Browse)
        post();
    if (row == m_current)
        return;
    m_current = row;
    emit currentChanged(row);
}
