// Tests of the data layer's Russian sentences for SQLite's failures.
#include "dataerrors.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace
{

TEST(DataErrors, TellsEachFailureInRussianWithTheFileAndSqlitesText)
{
    const struct {
        const char *name;
        int code;
        const char *detail;
        const char *message;
    } rows[] = {
        {"cannot open", SQLITE_CANTOPEN, "unable to open database file",
         "Не удаётся открыть файл базы данных «/p/Dates.mdb» (unable to open database file)."},
        {"not a database, no text", SQLITE_NOTADB, "",
         "Файл «/p/Dates.mdb» не является базой данных"},
        {"malformed", SQLITE_CORRUPT, "database disk image is malformed",
         "Файл базы данных «/p/Dates.mdb» повреждён (database disk image is malformed)."},
        {"full", SQLITE_FULL, "database or disk is full",
         "Диск заполнен: изменение базы данных «/p/Dates.mdb» не записано (database or disk is "
         "full)."},
        {"read-only, extended code", SQLITE_READONLY_DBMOVED, "",
         "База данных «/p/Dates.mdb» открыта только для чтения: изменение не записано"},
        {"busy, extended code", SQLITE_BUSY_SNAPSHOT, "",
         "База данных «/p/Dates.mdb» занята другой программой"},
        {"locked", SQLITE_LOCKED, "", "База данных «/p/Dates.mdb» занята другой программой"},
        {"I/O error, extended code", SQLITE_IOERR_READ, "disk I/O error",
         "Ошибка ввода-вывода в файле базы данных «/p/Dates.mdb» (disk I/O error)."},
        {"refused by a trigger", SQLITE_CONSTRAINT_TRIGGER, "no",
         "База данных «/p/Dates.mdb» отклонила изменение (no)."},
        {"any other", SQLITE_ERROR, "no such table: TabData",
         "Не удаётся выполнить запрос к базе данных «/p/Dates.mdb» (no such table: TabData)."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(DataErrors::fromCode(row.code, QStringLiteral("/p/Dates.mdb"),
                                       QString::fromUtf8(row.detail))
                      .message()
                      .toStdString(),
                  row.message);
    }
}

} // namespace
