// The connection of the data access layer over SQLite. The shipped database
// is in WAL mode, which lets the editor and the reminder use the one file at
// the same time; a connection sets only its own busy timeout and changes
// nothing stored in the file, so a program that only reads never writes it.
#include "adoconnection.h"

#include "dataerrors.h"
#include "errors.h"
#include "sqlitevfs.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <sqlite3.h>

namespace
{

// How long a statement waits for the other program's write to end.
constexpr int busyTimeoutMs = 5000;

// The file of the folder whose name matches the asked one without regard to
// case, as the programs spell the database differently. Where several match,
// every spelling opens the same: the first in code-point order, which puts a
// capitalised name, as the shipped file has, before its lower-case copy. The
// exact file where it is the only match or the folder cannot be listed.
QString findFile(const QString &path)
{
    const QFileInfo exact(path);
    const QDir folder = exact.dir();
    // A name filter matches without regard to case; the name holds no wildcard.
    const QStringList matches =
        exact.fileName().isEmpty() || !folder.exists()
            ? QStringList()
            : folder.entryList({exact.fileName()}, QDir::Files | QDir::Hidden | QDir::System,
                               QDir::Unsorted);
    if (matches.size() < 2 && exact.isFile())
        return exact.filePath();
    return matches.isEmpty() ? QString()
                             : folder.filePath(*std::min_element(matches.cbegin(), matches.cend()));
}

// Whether a failed opening says the file could be read but not with the means
// this way of opening asked for (a side file that cannot be made, a file
// that cannot be written), so that a more modest way may still read it.
bool refusedForWriting(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY;
}

// The ways of opening a file, each more modest than the one before.
enum class Way {
    ReadWrite,
    ReadOnly,
    // Reads a WAL file's -wal with an index of the connection's own, in
    // memory, where the shared index, the -shm file, can be neither made nor
    // opened: SQLite keeps one for a connection that holds the file in
    // exclusive locking mode, which without file locks ("unix-none") keeps no
    // other program out. It writes nothing, not even a checkpoint at closing,
    // and like an immutable file it sees no later change.
    OwnIndex,
    // Reads the main file alone, taken as unchanging.
    Immutable,
};

// Opens and probes the file at `path` one way; the connection, or null with
// SQLite's result code and text in `rc` and `reason`.
sqlite3 *openFile(const QString &path, Way way, int &rc, QString &reason)
{
    QByteArray name = path.toUtf8();
    int flags = way == Way::ReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (way == Way::Immutable) {
        name = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
        flags |= SQLITE_OPEN_URI;
    }
    const auto locking =
        way == Way::OwnIndex ? SqliteVfs::Locking::None : SqliteVfs::Locking::Shared;
    sqlite3 *db = nullptr;
    rc = sqlite3_open_v2(name.constData(), &db, flags, SqliteVfs::name(locking));
    if (rc == SQLITE_OK && way == Way::OwnIndex) {
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        rc = sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, busyTimeoutMs);
        // Reads the schema once, so that a file that is not a database fails
        // here rather than at the first query.
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK)
        return db;
    if (db)
        rc = sqlite3_extended_errcode(db);
    reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_close_v2(db);
    return nullptr;
}

DatabaseError cannotReadHere(const QString &path, const QString &sideFile)
{
    return DatabaseError(QStringLiteral("Не удаётся прочитать даты из «%1»: часть изменений ещё "
                                        "лежит в файле «%2», а без права записи в эту папку их "
                                        "не прочитать")
                             .arg(path, QFileInfo(sideFile).fileName()));
}

// The last resort where writing is refused, after a failed read-only open:
// the main file alone where it holds every committed change, else the -wal
// with an index of this connection's own. Where the changes cannot be read
// so (a -shm file says another program may be writing the -wal, or a
// rollback journal holds an unfinished change), it raises a plain message
// rather than list an older state of the dates.
sqlite3 *openUnshared(const QString &path, int &rc, QString &reason)
{
    if (rc == SQLITE_READONLY_ROLLBACK)
        throw cannotReadHere(path, path + QStringLiteral("-journal"));
    const QString wal = path + QStringLiteral("-wal");
    if (QFileInfo(wal).size() == 0)
        return openFile(path, Way::Immutable, rc, reason);
    sqlite3 *db = QFileInfo::exists(path + QStringLiteral("-shm"))
                      ? nullptr
                      : openFile(path, Way::OwnIndex, rc, reason);
    if (!db)
        throw cannotReadHere(path, wal);
    return db;
}

} // namespace

QString AdoConnection::dataSourceOf(const QString &connectionString)
{
    // Pairs "Key=Value" separated by ";". As in OLE DB connection strings, a
    // value may be quoted with " or ' so that it can hold a ";", and the
    // quote itself stands doubled inside it.
    static const QRegularExpression pair(
        QStringLiteral("([^=]*)= *(?:([\"'])((?:(?!\\2).|\\2\\2)*)\\2?[^;]*|([^;]*))"),
        QRegularExpression::DotMatchesEverythingOption);
    for (qsizetype i = 0; i < connectionString.size(); ++i) {
        const QRegularExpressionMatch match =
            pair.match(connectionString, i, QRegularExpression::NormalMatch,
                       QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            break;
        const QString quote = match.captured(2);
        if (match.captured(1).trimmed().compare(QLatin1String("Data Source"),
                                                Qt::CaseInsensitive) == 0)
            return quote.isEmpty() ? match.captured(4).trimmed()
                                   : match.captured(3).replace(quote + quote, quote);
        i = match.capturedEnd();
    }
    return {};
}

void AdoConnection::open()
{
    if (m_db)
        return;
    const QString named = dataSourceOf(m_connectionString);
    const QString path = findFile(named);
    if (path.isEmpty())
        throw DatabaseError(QStringLiteral("Не удаётся найти файл «%1»").arg(named));
    // SQLite would take an empty file for a new, empty database and write to it.
    if (QFileInfo(path).size() == 0)
        throw DataErrors::fromCode(SQLITE_NOTADB, path);

    // Without SQLITE_OPEN_CREATE a missing file is never made. A file the
    // user may not write is opened read-only by SQLite itself.
    int rc = SQLITE_OK;
    QString reason;
    sqlite3 *db = openFile(path, Way::ReadWrite, rc, reason);
    // A WAL database in a folder the user may not write (the reminder run by
    // another user) cannot get its side files: read it read-only, which
    // works while another program keeps them, else unshared, which is the
    // last resort because it ignores other programs' later changes.
    if (!db && refusedForWriting(rc))
        db = openFile(path, Way::ReadOnly, rc, reason);
    if (!db && refusedForWriting(rc))
        db = openUnshared(path, rc, reason);
    if (!db)
        throw DataErrors::fromCode(rc, path, reason);
    m_db = db;
}

std::shared_ptr<sqlite3 *> AdoConnection::openSnapshot()
{
    if (!m_db)
        return nullptr;
    // The file and the VFS this connection really uses, whichever spelling
    // of its name or way of opening found it.
    const char *path = sqlite3_db_filename(m_db, "main");
    sqlite3_vfs *vfs = nullptr;
    if (!path || !*path ||
        sqlite3_file_control(m_db, "main", SQLITE_FCNTL_VFS_POINTER, &vfs) != SQLITE_OK || !vfs)
        return nullptr;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, vfs->zName);
    std::shared_ptr<sqlite3 *> reader(new sqlite3 *(db), [](sqlite3 **handle) {
        sqlite3_close_v2(*handle);
        delete handle;
    });
    bool wal = false;
    const auto isWal = [](void *wal, int, char **values, char **) {
        *static_cast<bool *>(wal) = values[0] && qstricmp(values[0], "wal") == 0;
        return 0;
    };
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, busyTimeoutMs);
        sqlite3_exec(db, "PRAGMA journal_mode", isWal, &wal, nullptr);
    }
    if (!wal || sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return nullptr;
    std::erase_if(m_snapshots, [](const std::weak_ptr<sqlite3 *> &gone) { return gone.expired(); });
    m_snapshots.push_back(reader);
    return reader;
}

void AdoConnection::close()
{
    if (!m_db)
        return;
    for (const std::weak_ptr<sqlite3 *> &given : m_snapshots) {
        if (const std::shared_ptr<sqlite3 *> reader = given.lock()) {
            sqlite3_close_v2(*reader);
            *reader = nullptr;
        }
    }
    m_snapshots.clear();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}
