// The dataset of the data access layer over SQLite. open() fixes the rows
// and their order; each row keeps its rowid and its values as read, so that
// a post or a deletion names the row it means. A query with a WHERE (or
// anything else than a plain list of one table's columns) is read whole at
// open(). A plain list over a WAL file reads only the rowids then, and a
// row's values when they are first asked for, from the same snapshot; over
// a file in another journal mode it is read whole at open() too.
#include "adodataset.h"

#include "adoconnection.h"
#include "calendar.h"
#include "dataerrors.h"
#include "errors.h"
#include "jetsql.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <sqlite3.h>

namespace
{

// The name under which the rowid rides along in every result row.
constexpr char hiddenRowid[] = "orvista_rowid_";
constexpr double msecsPerDay = 86400000.0;

class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_stmt, nullptr) != SQLITE_OK)
            fail();
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }
    // One step; true while it yields a row.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }
    void bind(int index, const QVariant &value)
    {
        int rc = SQLITE_OK;
        switch (value.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            rc = sqlite3_bind_null(m_stmt, index);
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::LongLong:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), quint64(bytes.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, text.constData(), quint64(text.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        }
        if (rc != SQLITE_OK)
            fail();
    }
    // A column of the current result row in its storage class.
    QVariant column(int index) const
    {
        switch (sqlite3_column_type(m_stmt, index)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(m_stmt, index));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_stmt, index);
        case SQLITE_TEXT:
            return QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, index)),
                sqlite3_column_bytes(m_stmt, index));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, index)),
                              sqlite3_column_bytes(m_stmt, index));
        default:
            return {};
        }
    }
    // Makes the statement ready to run again.
    void reset() { sqlite3_reset(m_stmt); }
    // Binds, from `index` on, what rowMatch() compares: the rowid, then the
    // values of `fields`.
    void bindMatch(int index, long long rowid, const std::vector<QVariant> &values,
                   const std::vector<int> &fields)
    {
        bind(index++, qlonglong(rowid));
        for (const int field : fields)
            bind(index++, values[field]);
    }

private:
    [[noreturn]] void fail() const { throw DataErrors::fromConnection(m_db); }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

struct Token {
    enum Kind { Word, Name, Text, Symbol } kind;
    QString text; // a Name without its quotes
    qsizetype end;
    int depth;
};

// Just enough of SQL's lexical rules to see the shape of a query.
std::vector<Token> tokenize(const QString &sql)
{
    std::vector<Token> tokens;
    int depth = 0;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            qsizetype end = i;
            while (end < sql.size() &&
                   (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('_')))
                ++end;
            tokens.push_back({Token::Word, sql.mid(i, end - i), end, depth});
            i = end;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') ||
                   c == QLatin1Char('`')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            QString text;
            qsizetype end = i + 1;
            while (end < sql.size()) {
                if (sql[end] == close) {
                    if (close != QLatin1Char(']') && end + 1 < sql.size() &&
                        sql[end + 1] == close) {
                        text += close;
                        end += 2;
                        continue;
                    }
                    ++end;
                    break;
                }
                text += sql[end++];
            }
            tokens.push_back(
                {c == QLatin1Char('\'') ? Token::Text : Token::Name, text, end, depth});
            i = end;
        } else {
            if (c == QLatin1Char(')'))
                --depth;
            tokens.push_back({Token::Symbol, QString(c), i + 1, depth});
            if (c == QLatin1Char('('))
                ++depth;
            ++i;
        }
    }
    return tokens;
}

bool isWord(const Token &token, const char *word)
{
    return token.kind == Token::Word &&
           token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// The one table a plain SELECT reads, or empty when the rows cannot be traced
// back to single rows of one table.
QString singleTable(const std::vector<Token> &tokens)
{
    if (tokens.empty() || !isWord(tokens[0], "SELECT"))
        return {};
    static const char *const blocking[] = {"DISTINCT", "GROUP", "HAVING", "UNION", "INTERSECT",
                                           "EXCEPT",   "JOIN",  "VALUES", "WINDOW"};
    qsizetype from = -1;
    for (qsizetype i = 0; i < qsizetype(tokens.size()); ++i) {
        const Token &token = tokens[i];
        if (token.depth != 0)
            continue;
        for (const char *word : blocking) {
            if (isWord(token, word))
                return {};
        }
        if (from < 0 && isWord(token, "FROM"))
            from = i;
    }
    if (from < 0 || from + 1 >= qsizetype(tokens.size()))
        return {};
    qsizetype at = from + 1;
    if (tokens[at].kind != Token::Word && tokens[at].kind != Token::Name)
        return {};
    // "schema.table": the table is the last part.
    while (at + 2 < qsizetype(tokens.size()) && tokens[at + 1].text == QLatin1String(".") &&
           tokens[at + 1].kind == Token::Symbol)
        at += 2;
    const QString table = tokens[at].text;
    for (qsizetype i = at + 1; i < qsizetype(tokens.size()); ++i) {
        const Token &token = tokens[i];
        if (token.depth != 0)
            continue;
        if (isWord(token, "WHERE") || isWord(token, "ORDER") || isWord(token, "LIMIT"))
            break;
        if (token.kind == Token::Symbol && token.text == QLatin1String(","))
            return {};
    }
    return table;
}

// Where a plain "SELECT ... FROM table [ORDER BY ...]" reads its rows: the
// texts a list of rowids in the query's order and a fetch of one row by
// rowid are made of. Empty for any other query (a WHERE, a LIMIT, a second
// statement), whose rows are all read at once.
struct LazyShape {
    QString rowids;
    QString fetch;
    // The whole query in the order of `rowids`, for reading every row at once.
    QString whole;
    bool isEmpty() const { return rowids.isEmpty(); }
};

// True when the select list only names columns ("Date", "TabData.Date",
// "*"): no expression and no alias that an ORDER BY could mean instead.
bool plainColumns(const std::vector<Token> &tokens)
{
    bool expectName = true;
    for (qsizetype i = 1; i < qsizetype(tokens.size()); ++i) {
        const Token &token = tokens[i];
        if (isWord(token, "FROM"))
            return !expectName;
        const bool name = token.kind == Token::Name ||
                          (token.kind == Token::Word && !token.text.front().isDigit()) ||
                          (token.kind == Token::Symbol && token.text == QLatin1String("*"));
        const bool joint = token.kind == Token::Symbol &&
                           (token.text == QLatin1String(".") || token.text == QLatin1String(","));
        if (expectName ? !name : !joint)
            return false;
        expectName = !expectName;
    }
    return false;
}

// "ORDER BY 2": a position in the select list, which a list of rowids has not.
bool ordersByPosition(const std::vector<Token> &tokens, qsizetype orderStart)
{
    for (const Token &token : tokens) {
        if (token.end > orderStart && token.depth == 0 && token.kind == Token::Word &&
            token.text.front().isDigit())
            return true;
    }
    return false;
}

LazyShape lazyShape(const QString &sql, const std::vector<Token> &tokens)
{
    qsizetype fromStart = -1;
    qsizetype fromEnd = -1;
    qsizetype orderStart = -1;
    for (qsizetype i = 1; i < qsizetype(tokens.size()); ++i) {
        const Token &token = tokens[i];
        if (token.kind == Token::Symbol && token.text == QLatin1String(";"))
            return {};
        if (token.depth != 0)
            continue;
        if (isWord(token, "WHERE") || isWord(token, "LIMIT") || isWord(token, "OFFSET"))
            return {};
        if (fromStart < 0 && isWord(token, "FROM")) {
            fromStart = token.end - token.text.size();
            fromEnd = token.end;
        } else if (fromStart >= 0 && orderStart < 0 && isWord(token, "ORDER")) {
            orderStart = token.end - token.text.size();
        }
    }
    if (fromStart < 0)
        return {};
    if (!plainColumns(tokens) || (orderStart >= 0 && ordersByPosition(tokens, orderStart)))
        return {};
    const QString source = sql.mid(fromEnd, orderStart < 0 ? -1 : orderStart - fromEnd).trimmed();
    // Rows of equal keys keep the order in which they were added, whichever
    // index SQLite walks for the rowids alone.
    const QString order = orderStart < 0
                              ? QStringLiteral("ORDER BY rowid")
                              : sql.mid(orderStart).trimmed() + QStringLiteral(", rowid");
    return {QStringLiteral("SELECT rowid FROM %1 %2").arg(source, order),
            sql.left(fromStart) + QStringLiteral("FROM %1 WHERE rowid = ?").arg(source),
            sql.left(fromStart) + QStringLiteral("FROM %1 %2").arg(source, order)};
}

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

// A read-only connection in one read transaction, begun here and kept until
// the dataset closes, so that SQLite serves every later read the rows as
// they stood at the query, whatever other programs write meanwhile. Only in
// WAL mode, where a reader holds up no writer, the editor's own posts on its
// main connection included; the price is that no checkpoint copies the -wal
// file past that snapshot into the database until the dataset closes, so the
// -wal grows by what is written meanwhile. In the other journal modes a
// reader would lock out every writer: null there.
std::shared_ptr<sqlite3 *> openSnapshot(AdoConnection &connection)
{
    std::shared_ptr<sqlite3 *> reader = connection.openReader();
    if (!reader)
        return nullptr;
    sqlite3 *db = *reader;
    bool wal = false;
    try {
        Statement mode(db, QStringLiteral("PRAGMA journal_mode"));
        wal = mode.step() &&
              mode.column(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    } catch (const DatabaseError &) {
    }
    if (!wal || sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return nullptr;
    return reader;
}

DatabaseError connectionClosed()
{
    return DatabaseError(QStringLiteral("Операция недопустима, когда соединение закрыто"));
}

QString quoted(const QString &name)
{
    QString text = name;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

AdoDataSet::FieldType typeFromDeclaration(const char *declared)
{
    using FieldType = AdoDataSet::FieldType;
    const QString type = QString::fromUtf8(declared).toUpper();
    if (type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")))
        return FieldType::Date;
    if (type.contains(QLatin1String("YESNO")) || type.contains(QLatin1String("BOOL")) ||
        type == QLatin1String("BIT"))
        return FieldType::YesNo;
    if (type.contains(QLatin1String("INT")) || type == QLatin1String("COUNTER"))
        return FieldType::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUMERIC")) ||
        type.contains(QLatin1String("DECIMAL")) || type.contains(QLatin1String("CURRENCY")))
        return FieldType::Real;
    return FieldType::Text;
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isNull(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::Nullptr;
}

// A date/time number's time of day counts away from the day, also for days
// before 30 December 1899: -1.25 is 29 December 1899, 6 o'clock.
double dateTimeNumber(const QDateTime &dateTime)
{
    const double day = Calendar::fromDate(dateTime.date());
    const double fraction = dateTime.time().msecsSinceStartOfDay() / msecsPerDay;
    return day < 0 ? day - fraction : day + fraction;
}

// A number that names no date stays as it is stored, so that reading it as
// a date fails with a conversion error, as a text in a date field does.
QVariant dateFromNumber(double number)
{
    const std::optional<Calendar::DateAndTime> decoded = Calendar::decode(number);
    if (!decoded)
        return number;
    if (number == std::trunc(number))
        return decoded->date;
    return QDateTime(decoded->date, QTime::fromMSecsSinceStartOfDay(decoded->msecsSinceStartOfDay));
}

// A stored number that a whole number cannot hold (out of range, an
// infinity) reads as its text with an exponent, so that reading it as a
// whole number fails with a conversion error, as a text in the field does:
// Qt would round such a number undefinedly, and would read an integer text
// beyond the range wrapped round.
QVariant beyondInteger(double number)
{
    return QString::number(number, 'e', QLocale::FloatingPointShortest);
}

QString typeName(AdoDataSet::FieldType type)
{
    switch (type) {
    case AdoDataSet::FieldType::Date:
        return QStringLiteral("дата");
    case AdoDataSet::FieldType::YesNo:
        return QStringLiteral("да/нет");
    case AdoDataSet::FieldType::Integer:
        return QStringLiteral("целое число");
    case AdoDataSet::FieldType::Real:
        return QStringLiteral("число");
    case AdoDataSet::FieldType::Text:
        break;
    }
    return QStringLiteral("текст");
}

} // namespace

AdoDataSet::AdoDataSet(QObject *parent) : QObject(parent) {}

AdoDataSet::~AdoDataSet() = default;

void AdoDataSet::open()
{
    close();
    sqlite3 *db = connectedHandle();
    QString sql = JetSql::toSqlite(m_commandText);
    const std::vector<Token> tokens = tokenize(sql);
    const QString table = singleTable(tokens);
    const int shift = table.isEmpty() ? 0 : 1;
    const LazyShape lazy = table.isEmpty() ? LazyShape() : lazyShape(sql, tokens);
    // Read whole or not, a plain list keeps one order.
    if (!lazy.isEmpty())
        sql = lazy.whole;
    if (shift)
        sql.insert(tokens[0].end, QStringLiteral(" rowid AS %1,").arg(QLatin1String(hiddenRowid)));

    Statement query(db, sql);
    sqlite3_stmt *stmt = query.get();
    const int fieldCount = sqlite3_column_count(stmt) - shift;
    QStringList names;
    std::vector<FieldType> types;
    std::vector<QString> columns;
    std::vector<bool> declared;
    for (int field = 0; field < fieldCount; ++field) {
        const int column = field + shift;
        QString name = QString::fromUtf8(sqlite3_column_name(stmt, column));
        // "TabData.Date" is the field "Date", as Jet names it.
        if (name.contains(QLatin1Char('.')))
            name = name.section(QLatin1Char('.'), -1);
        names << name;
        const char *declaredType = sqlite3_column_decltype(stmt, column);
        declared.push_back(declaredType != nullptr);
        types.push_back(declaredType ? typeFromDeclaration(declaredType) : FieldType::Text);
        const char *origin = sqlite3_column_origin_name(stmt, column);
        const char *originTable = sqlite3_column_table_name(stmt, column);
        const bool writable =
            origin && originTable && !table.isEmpty() &&
            table.compare(QString::fromUtf8(originTable), Qt::CaseInsensitive) == 0;
        columns.push_back(writable ? QString::fromUtf8(origin) : QString());
    }

    // A plain list of a table's columns, where a snapshot can be kept, loads
    // only the rows' order: each row's values are read from the snapshot
    // when first asked for, the first screen's at once.
    if (!lazy.isEmpty() &&
        std::all_of(declared.begin(), declared.end(), [](bool known) { return known; })) {
        m_snapshot = openSnapshot(*m_connection);
    }
    if (m_snapshot) {
        std::vector<Row> rows;
        try {
            Statement rowids(*m_snapshot, lazy.rowids);
            while (rowids.step())
                rows.emplace_back().rowid = sqlite3_column_int64(rowids.get(), 0);
        } catch (...) {
            m_snapshot.reset();
            throw;
        }
        m_tableName = table;
        m_fieldNames = names;
        m_fieldTypes = std::move(types);
        m_columnNames = std::move(columns);
        m_fetchText = lazy.fetch;
        m_rows = std::move(rows);
        fetchFrom(0);
        finishOpen();
        return;
    }

    std::vector<Row> rows;
    while (query.step()) {
        Row row;
        row.rowid = shift ? sqlite3_column_int64(stmt, 0) : 0;
        row.values.reserve(fieldCount);
        for (int field = 0; field < fieldCount; ++field)
            row.values.push_back(query.column(field + shift));
        rows.push_back(std::move(row));
    }
    // An expression's type comes from its first value that is not Null.
    for (int field = 0; field < fieldCount; ++field) {
        if (declared[field])
            continue;
        for (const Row &row : rows) {
            const QVariant &value = row.values[field];
            if (isNull(value))
                continue;
            if (value.typeId() == QMetaType::LongLong)
                types[field] = FieldType::Integer;
            else if (value.typeId() == QMetaType::Double)
                types[field] = FieldType::Real;
            break;
        }
    }

    m_tableName = table;
    m_fieldNames = names;
    m_fieldTypes = std::move(types);
    m_columnNames = std::move(columns);
    m_rows = std::move(rows);
    finishOpen();
}

void AdoDataSet::finishOpen()
{
    m_state = State::Browse;
    m_current = m_rows.empty() ? -1 : 0;
    m_eof = m_rows.empty();
    emit reset();
    emit currentChanged(m_current);
}

void AdoDataSet::close()
{
    if (m_state == State::Inactive)
        return;
    m_state = State::Inactive;
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
    emit reset();
    emit currentChanged(-1);
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
        return fromStorage(field, fetched(row).values[field]);
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
    return fromStorage(field, fetched(m_current).values[field]);
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
    m_rows[m_current].values[field] = toStorage(field, value);
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

const AdoDataSet::Row &AdoDataSet::fetched(int row) const
{
    const Row &found = m_rows[row];
    if (found.values.empty()) {
        fetchFrom(row);
        if (found.values.empty())
            throw DatabaseError(m_unreadable[found.rowid]);
    }
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
    // After the connection closed, nothing more is read.
    connectedHandle();
    if (!*m_snapshot)
        throw connectionClosed();
    const int fieldCount = int(m_fieldNames.size());
    const int end = std::min(recordCount(), first + rowsAtOnce);
    std::optional<Statement> fetch;
    for (int index = first; index < end; ++index) {
        Row &row = m_rows[index];
        if (!row.values.empty() || m_unreadable.count(row.rowid))
            continue;
        std::vector<QVariant> values(fieldCount);
        try {
            if (!fetch)
                fetch.emplace(*m_snapshot, m_fetchText);
            fetch->reset();
            fetch->bind(1, qlonglong(row.rowid));
            // The snapshot holds every row its list of rowids named.
            if (!fetch->step())
                throw DataErrors::fromCode(
                    SQLITE_CORRUPT, QString::fromUtf8(sqlite3_db_filename(*m_snapshot, "main")),
                    QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)));
            for (int field = 0; field < fieldCount; ++field)
                values[field] = fetch->column(field);
        } catch (const DatabaseError &error) {
            markUnreadable(row.rowid, error.message());
            continue;
        }
        row.values = std::move(values);
    }
}

void AdoDataSet::markUnreadable(long long rowid, const QString &message) const
{
    if (m_unreadable.empty())
        emit readFailed(message);
    m_unreadable.emplace(rowid, message);
}

sqlite3 *AdoDataSet::connectedHandle() const
{
    if (!m_connection || !m_connection->connected())
        throw connectionClosed();
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

// From a value as SQLite holds it to the value the programs read.
QVariant AdoDataSet::fromStorage(int field, const QVariant &stored) const
{
    if (isNull(stored))
        return {};
    const bool number =
        stored.typeId() == QMetaType::LongLong || stored.typeId() == QMetaType::Double;
    switch (m_fieldTypes[field]) {
    case FieldType::Date:
        return number ? dateFromNumber(stored.toDouble()) : stored;
    case FieldType::YesNo:
        return number ? QVariant(stored.toDouble() != 0) : stored;
    case FieldType::Integer:
        if (stored.typeId() == QMetaType::LongLong) {
            const qlonglong value = stored.toLongLong();
            return value >= INT_MIN && value <= INT_MAX ? QVariant(int(value))
                                                        : beyondInteger(double(value));
        }
        if (stored.typeId() == QMetaType::Double) {
            const double value = stored.toDouble();
            return value >= INT_MIN && value <= INT_MAX ? stored : beyondInteger(value);
        }
        return stored;
    case FieldType::Real:
        return number ? QVariant(stored.toDouble()) : stored;
    case FieldType::Text:
        return number ? QVariant(stored.toString()) : stored;
    }
    return stored;
}

// From a value a program sets to the value SQLite stores: dates as day
// numbers, yes/no as -1/0. Raises DatabaseError for a value the field's
// type cannot take.
QVariant AdoDataSet::toStorage(int field, const QVariant &value) const
{
    if (isNull(value))
        return {};
    bool ok = true;
    QVariant stored;
    switch (m_fieldTypes[field]) {
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDate) {
            ok = value.toDate().isValid();
            stored = Calendar::fromDate(value.toDate());
        } else if (value.typeId() == QMetaType::QDateTime) {
            ok = value.toDateTime().isValid();
            stored = dateTimeNumber(value.toDateTime());
        } else if (isNumber(value)) {
            stored = value.toDouble(&ok);
        } else {
            ok = false;
        }
        break;
    case FieldType::YesNo:
        if (value.typeId() == QMetaType::Bool || isNumber(value))
            stored = qlonglong(value.toDouble(&ok) != 0 ? -1 : 0);
        else
            ok = false;
        break;
    case FieldType::Integer:
        if (value.typeId() == QMetaType::Bool) {
            stored = qlonglong(value.toBool() ? -1 : 0);
        } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            // Within the range of qRound64, whose result is undefined beyond it.
            const double number = value.toDouble(&ok);
            ok = ok && number > -9.2e18 && number < 9.2e18;
            if (ok)
                stored = qRound64(number);
        } else if (isNumber(value) || value.typeId() == QMetaType::QString) {
            stored = value.toLongLong(&ok);
            // A number read as its text beyond the whole numbers goes back
            // as it was stored, so that the rest of its row can be posted.
            if (!ok && value.typeId() == QMetaType::QString) {
                const double number = value.toString().toDouble(&ok);
                ok = ok && beyondInteger(number) == value;
                stored = number;
            }
        } else {
            ok = false;
        }
        break;
    case FieldType::Real:
        if (isNumber(value) || value.typeId() == QMetaType::QString)
            stored = value.toDouble(&ok);
        else
            ok = false;
        break;
    case FieldType::Text:
        if (value.typeId() == QMetaType::QByteArray)
            stored = value;
        else if (value.canConvert<QString>())
            stored = value.toString();
        else
            ok = false;
        break;
    }
    if (!ok)
        throw DatabaseError(
            QStringLiteral("Значение «%1» нельзя записать в поле «%3» (тип: %2)")
                .arg(value.toString(), typeName(m_fieldTypes[field]), m_fieldNames[field]));
    return stored;
}
