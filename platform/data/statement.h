// The RAII wrapper of one prepared SQLite statement: prepares, binds, steps
// and reads columns in their storage classes; any failure raises the data
// layer's DatabaseError in Russian, naming the file.
#pragma once

#include "dataerrors.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <sqlite3.h>
#include <vector>

class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        check(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_stmt, nullptr));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }
    // One step; true while it yields a row.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail();
        return rc == SQLITE_ROW;
    }
    // A value in the storage class of its type, any other type as text.
    void bind(int index, const QVariant &value)
    {
        switch (value.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            return check(sqlite3_bind_null(m_stmt, index));
        case QMetaType::Double:
            return check(sqlite3_bind_double(m_stmt, index, value.toDouble()));
        case QMetaType::LongLong:
            return check(sqlite3_bind_int64(m_stmt, index, value.toLongLong()));
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return check(sqlite3_bind_blob64(m_stmt, index, bytes.constData(),
                                             quint64(bytes.size()), SQLITE_TRANSIENT));
        }
        }
        const QByteArray text = value.toString().toUtf8();
        check(sqlite3_bind_text64(m_stmt, index, text.constData(), quint64(text.size()),
                                  SQLITE_TRANSIENT, SQLITE_UTF8));
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
    // The current result row's columns from `first` on.
    std::vector<QVariant> row(int first = 0) const
    {
        const int count = sqlite3_column_count(m_stmt);
        std::vector<QVariant> values;
        values.reserve(std::max(count - first, 0));
        for (int index = first; index < count; ++index)
            values.push_back(column(index));
        return values;
    }
    // Makes the statement ready to run again.
    void reset() { sqlite3_reset(m_stmt); }

private:
    [[noreturn]] void fail() const { throw DataErrors::fromConnection(m_db); }
    void check(int rc) const
    {
        if (rc != SQLITE_OK)
            fail();
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};
