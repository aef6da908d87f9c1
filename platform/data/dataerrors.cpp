// SQLite's commonest failures as Russian sentences; any other failure is
// told as a refused query or change, with SQLite's text to say which.
#include "dataerrors.h"

#include <sqlite3.h>
#include <utility>

namespace DataErrors
{

// By primary result code; "%1" is the file's name.
constexpr std::pair<int, const char *> sentences[] = {
    {SQLITE_CANTOPEN, "Не удаётся открыть файл базы данных «%1»"},
    {SQLITE_NOTADB, "Файл «%1» не является базой данных"},
    {SQLITE_CORRUPT, "Файл базы данных «%1» повреждён"},
    {SQLITE_FULL, "Диск заполнен: изменение базы данных «%1» не записано"},
    {SQLITE_READONLY, "База данных «%1» открыта только для чтения: изменение не записано"},
    {SQLITE_BUSY, "База данных «%1» занята другой программой"},
    {SQLITE_LOCKED, "База данных «%1» занята другой программой"},
    {SQLITE_IOERR, "Ошибка ввода-вывода в файле базы данных «%1»"},
    {SQLITE_PERM, "Нет доступа к файлу базы данных «%1»"},
    {SQLITE_CONSTRAINT, "База данных «%1» отклонила изменение"},
};

DatabaseError fromCode(int code, const QString &path, const QString &detail)
{
    const char *text = "Не удаётся выполнить запрос к базе данных «%1»";
    for (const auto &[primary, sentence] : sentences) {
        if (primary == (code & 0xff))
            text = sentence;
    }
    QString message = QString::fromUtf8(text).arg(path);
    if (!detail.isEmpty())
        // Closed with a stop of its own, which the default error message
        // adds only after a letter or the like, not after a bracket.
        message += QStringLiteral(" (%1).").arg(detail);
    return DatabaseError(message);
}

DatabaseError connectionClosed()
{
    return DatabaseError(QStringLiteral("Операция недопустима, когда соединение закрыто"));
}

DatabaseError fromConnection(sqlite3 *db, int code)
{
    const char *path = sqlite3_db_filename(db, "main");
    return fromCode(code ? code : sqlite3_extended_errcode(db), QString::fromUtf8(path ? path : ""),
                    QString::fromUtf8(code ? sqlite3_errstr(code) : sqlite3_errmsg(db)));
}

} // namespace DataErrors
