// Tests of the connection and the dataset over a real SQLite file made with
// the shipped schema: finding and opening the file, the list's order rules,
// posting and deleting as read back with raw SQLite, and today's query.
#include "adoconnection.h"
#include "adodataset.h"
#include "calendar.h"
#include "connectionstring.h"
#include "datasource.h"
#include "datesschema.h"
#include "datetext.h"
#include "errors.h"
#include "jetsql.h"
#include "queries.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const QString editorQuery = editorQueryText();

double pseudoDate(const QDate &date)
{
    return Calendar::fromDate(QDate(2000, date.month(), date.day()));
}

// A database made with the shipped schema in a temporary folder, with raw
// access for arranging rows and checking what the dataset wrote.
class Database
{
public:
    explicit Database(const QString &name = QStringLiteral("Dates.mdb"))
        : m_path(m_dir.filePath(name))
    {
        sqlite3_open_v2(m_path.toUtf8().constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        exec(DatesSchema::statements);
    }
    ~Database() { closeRaw(); }
    // Lets go of the raw connection, so that no shared-memory file is left.
    void closeRaw()
    {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    // Lets go of the raw connection but leaves its committed rows in the
    // -wal file, with no -shm file, as a copied folder may hold them.
    void closeRawLeavingWal()
    {
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        closeRaw();
        QFile::remove(m_path + QStringLiteral("-shm"));
    }
    // Lets go of the raw connection but leaves `sql`, half-written, in the
    // main file and its rollback journal, as a crash would.
    void closeRawInTheMiddleOf(const QString &sql)
    {
        exec(QStringLiteral("PRAGMA cache_size=1; BEGIN; ") + sql);
        QTemporaryDir copy;
        for (const QString &name : {m_path, m_path + QStringLiteral("-journal")})
            ASSERT_TRUE(QFile::copy(name, copy.filePath(QFileInfo(name).fileName())));
        closeRaw();
        for (const QString &name : {m_path, m_path + QStringLiteral("-journal")}) {
            QFile::remove(name);
            ASSERT_TRUE(QFile::copy(copy.filePath(QFileInfo(name).fileName()), name));
        }
    }

    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    QString path() const { return m_path; }

    void exec(const QString &sql)
    {
        char *message = nullptr;
        const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
        ASSERT_EQ(rc, SQLITE_OK) << (message ? message : "");
    }

    // A row as the editor writes it: whole day numbers, yes as -1.
    void add(const QDate &date, const QString &comment, bool annually = false, int muzik = 0)
    {
        addRaw(Calendar::fromDate(date), comment, annually ? -1 : 0, pseudoDate(date), muzik);
    }
    void addRaw(double date, const QString &comment, int annually, double pseudo, double muzik)
    {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(m_db,
                           "INSERT INTO TabData (Date, Commentary, Annually, PsevdoDate, Muzik) "
                           "VALUES (?, ?, ?, ?, ?)",
                           -1, &stmt, nullptr);
        const QByteArray text = comment.toUtf8();
        sqlite3_bind_double(stmt, 1, date);
        sqlite3_bind_text(stmt, 2, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(stmt, 3, annually);
        sqlite3_bind_double(stmt, 4, pseudo);
        sqlite3_bind_double(stmt, 5, muzik);
        EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
        sqlite3_finalize(stmt);
    }

    // Every row of a query, each column as text ("NULL" for Null).
    std::vector<QStringList> rows(const QString &sql)
    {
        std::vector<QStringList> result;
        sqlite3_stmt *stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK)
            << sqlite3_errmsg(m_db);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                row << (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
            }
            result.push_back(row);
        }
        sqlite3_finalize(stmt);
        return result;
    }
    QStringList comments() { return column(QStringLiteral("SELECT Commentary FROM TabData")); }
    QStringList column(const QString &sql)
    {
        QStringList values;
        for (const QStringList &row : rows(sql))
            values << row.value(0);
        return values;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    sqlite3 *m_db = nullptr;
};

// A connection and a dataset over a Database, opened on a command text.
struct Open {
    explicit Open(const QString &file, const QString &query = editorQuery)
    {
        connection.setConnectionString(datesConnectionString(file));
        connection.open();
        dataSet.setConnection(&connection);
        dataSet.setCommandText(query);
        dataSet.open();
    }
    QStringList comments()
    {
        QStringList list;
        for (int row = 0; row < dataSet.recordCount(); ++row)
            list << dataSet.value(row, dataSet.fieldIndex(QStringLiteral("Commentary"))).toString();
        return list;
    }
    AdoConnection connection;
    AdoDataSet dataSet;
};

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// SQLite's "open" and "access" calls as the permission bits of the owner
// say, also for root, whom the kernel lets write anyway. SQLite reaches the
// system only through such replaceable calls, which its own tests swap too.
bool ownerMayWrite(const char *path)
{
    struct stat status;
    return ::stat(path, &status) == 0 && (status.st_mode & S_IWUSR);
}

int ownerOpen(const char *path, int flags, int mode)
{
    const bool writes = (flags & O_ACCMODE) != O_RDONLY;
    struct stat status;
    const bool refused =
        ::stat(path, &status) == 0
            ? writes && !(status.st_mode & S_IWUSR)
            : (flags & O_CREAT) &&
                  !ownerMayWrite(
                      QFileInfo(QString::fromUtf8(path)).absolutePath().toUtf8().constData());
    if (refused) {
        errno = EACCES;
        return -1;
    }
    return ::open(path, flags, mode);
}

int ownerAccess(const char *path, int how)
{
    if ((how & W_OK) && ::access(path, F_OK) == 0 && !ownerMayWrite(path)) {
        errno = EACCES;
        return -1;
    }
    return ::access(path, how);
}

// A folder (and perhaps one file in it) the user may not write, for as long
// as this lives.
class ReadOnly
{
public:
    explicit ReadOnly(const QString &folder, const QString &file) : m_folder(folder), m_file(file)
    {
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
        if (!m_file.isEmpty())
            QFile::setPermissions(m_file, QFile::ReadOwner);
        sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
        vfs->xSetSystemCall(vfs, "open", reinterpret_cast<sqlite3_syscall_ptr>(&ownerOpen));
        vfs->xSetSystemCall(vfs, "access", reinterpret_cast<sqlite3_syscall_ptr>(&ownerAccess));
    }
    ~ReadOnly()
    {
        sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
        vfs->xSetSystemCall(vfs, "open", nullptr);
        vfs->xSetSystemCall(vfs, "access", nullptr);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!m_file.isEmpty())
            QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    }
    ReadOnly(const ReadOnly &) = delete;
    ReadOnly &operator=(const ReadOnly &) = delete;

private:
    QString m_folder;
    QString m_file;
};

// Runs `operation`, which must raise DatabaseError with `message`.
void expectDatabaseError(const std::function<void()> &operation, const QString &message)
{
    try {
        operation();
        ADD_FAILURE() << "no error; expected " << message.toStdString();
    } catch (const DatabaseError &error) {
        EXPECT_EQ(error.message(), message);
    }
}

// --- the connection -------------------------------------------------------

TEST(AdoConnection, TakesDataSourceFromTheConnectionString)
{
    const struct {
        const char *text;
        const char *source;
    } cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/o v/Dates.mdb;Persist Security "
         "Info=False",
         "/opt/o v/Dates.mdb"},
        {"Data Source=/x/dates.mdb", "/x/dates.mdb"},
        {"provider=x; data source = /x/a.mdb ;", "/x/a.mdb"},
        {"Data Source=\"/x/a;b.mdb\";Persist Security Info=False", "/x/a;b.mdb"},
        {"Data Source=\"/x/\"\"a\"\";b.mdb\";Persist Security Info=False", "/x/\"a\";b.mdb"},
        {"Data Source='/x/\"a';b.mdb';Persist Security Info=False", "/x/\"a"},
        {"Data Source='/x/''a'';b.mdb'", "/x/'a';b.mdb"},
        {"Data Source=\"/x/unclosed;b.mdb", "/x/unclosed;b.mdb"},
        {"Note='Data Source=/no;x';Data Source = \"/x/a\" ;", "/x/a"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AdoConnection::dataSourceOf(QString::fromUtf8(c.text)),
                  QString::fromUtf8(c.source))
            << c.text;
}

// Every path comes back whole from the programs' connection string; a plain
// one keeps the exact text of old, with no quotes.
TEST(AdoConnection, ConnectionStringCarriesAnyPathToTheDataSource)
{
    const struct {
        const char *path;
        const char *text; // nullptr: quoted, not compared
    } cases[] = {
        {"/home/user/Orvista/Dates.mdb",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/user/Orvista/Dates.mdb;Persist "
         "Security Info=False"},
        {"/opt/Мои даты/dates.mdb",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/Мои даты/dates.mdb;Persist Security "
         "Info=False"},
        {"/a=b/x y/Dates.mdb", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a=b/x y/Dates.mdb;"
                               "Persist Security Info=False"},
        {"/home/user/Напоминания;старые/Dates.mdb",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/home/user/Напоминания;старые/"
         "Dates.mdb\";Persist Security Info=False"},
        {"/x/\"quoted\"/Dates.mdb", "Provider=Microsoft.Jet.OLEDB.4.0;Data "
                                    "Source=\"/x/\"\"quoted\"\"/Dates.mdb\";Persist Security "
                                    "Info=False"},
        {"/x/it's/Dates.mdb", nullptr},
        {"/x/\";'\"\"/;;/Dates.mdb", nullptr},
    };
    for (const auto &c : cases) {
        const QString path = QString::fromUtf8(c.path);
        const QString text = datesConnectionString(path);
        if (c.text) {
            EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.path;
        }
        EXPECT_EQ(AdoConnection::dataSourceOf(text), path) << text.toStdString();
    }
}

TEST(AdoConnection, OpensADatabaseInAFolderWhoseNameHoldsASemicolon)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Напоминания;старые"));
    ASSERT_TRUE(QDir().mkpath(folder));
    Database db;
    db.add(QDate(2027, 3, 5), QStringLiteral("one"));
    db.closeRaw();
    ASSERT_TRUE(QFile::copy(db.path(), folder + QStringLiteral("/Dates.mdb")));
    Open open(folder + QStringLiteral("/dates.mdb"));
    EXPECT_EQ(open.comments(), QStringList{QStringLiteral("one")});
}

// A folder path far beyond SQLite's own limit of 512 bytes (about 250
// Cyrillic letters) is opened, read and written, in WAL and rollback-journal
// files alike, with the side files beside the database.
TEST(AdoConnection, WorksInAFolderWhosePathIsVeryLong)
{
    for (const char *journal : {"wal", "delete"}) {
        SCOPED_TRACE(journal);
        QTemporaryDir dir;
        QString folder = dir.path();
        while (folder.toUtf8().size() < 900)
            folder += QStringLiteral("/Напоминания о днях рождения");
        ASSERT_TRUE(QDir().mkpath(folder));
        Database db;
        db.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(QLatin1String(journal)));
        db.add(QDate(2027, 3, 5), QStringLiteral("one"));
        db.add(QDate(2027, 3, 6), QStringLiteral("two"));
        db.closeRaw();
        const QString path = folder + QStringLiteral("/Dates.mdb");
        ASSERT_TRUE(QFile::copy(db.path(), path));
        {
            Open open(path);
            EXPECT_EQ(open.comments(), (QStringList{"one", "two"}));
            if (QLatin1String(journal) == QLatin1String("wal")) {
                EXPECT_EQ(entries(folder),
                          (QStringList{"Dates.mdb", "Dates.mdb-shm", "Dates.mdb-wal"}));
            }
            open.dataSet.deleteCurrent();
            open.dataSet.append();
            open.dataSet.setFieldValue(QStringLiteral("Date"), QDate(2027, 3, 7));
            open.dataSet.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("three"));
            open.dataSet.post();
        }
        EXPECT_EQ(entries(folder), QStringList{QStringLiteral("Dates.mdb")});
        EXPECT_EQ(Open(path).comments(), (QStringList{"two", "three"}));
    }
}

// Every spelling of the name opens a file that matches it without regard to
// case, and the same one where several do, so that the editor and the
// reminder, which spell it differently, see the same dates. Nothing is made.
TEST(AdoConnection, FindsTheFileWhateverTheCaseOfItsName)
{
    const struct {
        QStringList files; // each holding one row commented with its name
        const char *opened;
    } cases[] = {
        {{"Dates.mdb"}, "Dates.mdb"},
        {{"dates.mdb"}, "dates.mdb"},
        {{"dates.mdb", "Dates.mdb"}, "Dates.mdb"},
        {{"Dates.mdb", "dates.mdb", "dAtEs.MdB"}, "Dates.mdb"},
        {{"dates.mdb", "DATES.MDB"}, "DATES.MDB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.files.join(',').toStdString());
        QTemporaryDir dir;
        for (const QString &file : c.files) {
            Database db;
            db.add(QDate(2027, 3, 5), file);
            db.closeRaw();
            ASSERT_TRUE(QFile::copy(db.path(), dir.filePath(file)));
        }
        for (const char *name : {"Dates.mdb", "dates.mdb", "DATES.MDB"}) {
            Open open(dir.filePath(QString::fromUtf8(name)));
            EXPECT_EQ(open.comments(), QStringList{QString::fromUtf8(c.opened)}) << name;
        }
        QStringList files = c.files;
        files.sort();
        EXPECT_EQ(entries(dir.path()), files);
    }
}

TEST(AdoConnection, MissingFileIsReportedAndNeverCreated)
{
    QTemporaryDir dir;
    for (const QString &file : {dir.filePath(QStringLiteral("Dates.mdb")),
                                dir.filePath(QStringLiteral("no/Dates.mdb"))}) {
        AdoConnection connection;
        connection.setConnectionString(datesConnectionString(file));
        try {
            connection.open();
            ADD_FAILURE() << "opened " << file.toStdString();
        } catch (const DatabaseError &error) {
            EXPECT_EQ(error.message(), QStringLiteral("Не удаётся найти файл «%1»").arg(file));
        }
        EXPECT_FALSE(connection.connected());
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty()) << entries(dir.path()).join(',').toStdString();
}

TEST(AdoConnection, FileThatIsNotADatabaseFailsAtOpenAndIsLeftAlone)
{
    const QByteArray texts[] = {QByteArray("Standard Jet DB\0\0\0 not sqlite at all", 36),
                                QByteArray(4096, 'x'), QByteArray()};
    for (const QByteArray &bytes : texts) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Dates.mdb"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        AdoConnection connection;
        connection.setConnectionString(datesConnectionString(file));
        try {
            connection.open();
            ADD_FAILURE() << "opened a file of " << bytes.size() << " bytes";
        } catch (const DatabaseError &error) {
            EXPECT_TRUE(error.message().startsWith(
                QStringLiteral("Файл «%1» не является базой данных").arg(file)))
                << error.what();
        }
        EXPECT_FALSE(connection.connected());
        QFile in(file);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        EXPECT_EQ(in.readAll(), bytes);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("Dates.mdb")});
    }
}

// Opening reads and changes nothing stored: not the journal mode in the
// header (bytes 18 and 19: 1 for a rollback journal, 2 for WAL), not any
// other byte, and a folder or file the user may not write still lets the
// dates be read (the reminder run by another user), also the ones that a
// -wal file without its -shm holds; where changes are left that cannot be
// read, opening says so rather than list an older state.
TEST(AdoConnection, OpeningWritesNothingAndReadsWhereWritingIsRefused)
{
    enum class Left { Nothing, WalRows, HalfWrittenChange };
    const struct {
        const char *journal;
        bool folderWritable;
        bool fileWritable;
        Left left;
    } cases[] = {
        {"delete", true, true, Left::Nothing},
        {"wal", true, true, Left::Nothing},
        {"delete", false, true, Left::Nothing},
        {"wal", false, true, Left::Nothing},
        {"delete", false, false, Left::Nothing},
        {"wal", false, false, Left::Nothing},
        {"wal", false, true, Left::WalRows},
        {"wal", false, false, Left::WalRows},
        {"delete", false, false, Left::HalfWrittenChange},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.journal << " folder " << c.folderWritable << " file "
                                        << c.fileWritable << " left " << int(c.left));
        Database db;
        db.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(QLatin1String(c.journal)));
        db.add(QDate(2027, 3, 5), QStringLiteral("one"));
        if (c.left == Left::WalRows)
            db.closeRawLeavingWal();
        else if (c.left == Left::HalfWrittenChange)
            db.closeRawInTheMiddleOf(QStringLiteral(
                "UPDATE TabData SET Commentary = 'two'; INSERT INTO TabData (Commentary) "
                "SELECT hex(randomblob(70)) FROM (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                "SELECT i + 1 FROM n WHERE i < 1000) SELECT i FROM n)"));
        else
            db.closeRaw();
        const QStringList files = entries(db.folder());
        std::vector<QByteArray> before;
        for (const QString &file : files)
            before.push_back(fileBytes(db.folder() + file));
        const char mode = QLatin1String(c.journal) == QLatin1String("wal") ? 2 : 1;
        ASSERT_EQ(before.front().mid(18, 2), QByteArray(2, mode));
        {
            std::optional<ReadOnly> readOnly;
            if (!c.folderWritable)
                readOnly.emplace(db.folder(), c.fileWritable ? QString() : db.path());
            if (c.left == Left::HalfWrittenChange) {
                try {
                    Open open(db.path(), reminderQueryText(QDate(2027, 3, 5)));
                    ADD_FAILURE() << "read " << open.comments().join(',').toStdString();
                } catch (const DatabaseError &error) {
                    EXPECT_EQ(error.message(),
                              QStringLiteral("Не удаётся прочитать даты из «%1»: часть изменений "
                                             "ещё лежит в файле «Dates.mdb-journal», а без права "
                                             "записи в эту папку их не прочитать")
                                  .arg(db.path()));
                }
            } else {
                Open open(db.path(), reminderQueryText(QDate(2027, 3, 5)));
                EXPECT_EQ(open.comments(), QStringList{QStringLiteral("one")});
                if (!c.fileWritable) {
                    open.dataSet.edit();
                    open.dataSet.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("two"));
                    EXPECT_THROW(open.dataSet.post(), DatabaseError);
                }
            }
        }
        EXPECT_EQ(entries(db.folder()), files);
        for (qsizetype i = 0; i < files.size(); ++i)
            EXPECT_EQ(fileBytes(db.folder() + files[i]), before[i]) << files[i].toStdString();
    }
}

TEST(ShippedDatabase, IsInWalModeAndAloneInItsFolder)
{
    const QString folder = QStringLiteral(ORVISTA_PROGRAM_DIR);
    const QByteArray header = fileBytes(folder + QStringLiteral("/Dates.mdb")).left(20);
    ASSERT_EQ(header.size(), 20);
    EXPECT_TRUE(header.startsWith("SQLite format 3"));
    EXPECT_EQ(header.mid(18, 2), QByteArray(2, 2)) << "WAL mode";
    EXPECT_EQ(entries(folder).filter(QStringLiteral("Dates.mdb-")), QStringList());
}

// --- the dataset ----------------------------------------------------------

TEST(AdoDataSet, EmptyTableOpensEmptyWithTheFiveFields)
{
    Database db;
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    EXPECT_TRUE(set.active());
    EXPECT_TRUE(set.isEmpty());
    EXPECT_TRUE(set.eof());
    EXPECT_EQ(set.recNo(), -1);
    EXPECT_EQ(set.fieldNames(),
              (QStringList{"Date", "Commentary", "Annually", "PsevdoDate", "Muzik"}));
    using T = AdoDataSet::FieldType;
    const T types[] = {T::Date, T::Text, T::YesNo, T::Date, T::Integer};
    for (int field = 0; field < 5; ++field)
        EXPECT_EQ(set.fieldType(field), types[field]) << field;
    EXPECT_THROW(set.fieldValue(QStringLiteral("Date")), DatabaseError);
}

TEST(AdoDataSet, ListsRowsByDateAndSameDatesInTheirOrderOfEntry)
{
    Database db;
    db.add(QDate(2027, 3, 5), QStringLiteral("c"));
    db.add(QDate(1850, 1, 1), QStringLiteral("a"));
    db.add(QDate(2027, 3, 5), QStringLiteral("d"));
    db.add(QDate(2000, 2, 29), QStringLiteral("b"));
    db.add(QDate(2400, 12, 31), QStringLiteral("e"));
    Open open(db.path());
    EXPECT_EQ(open.comments(), (QStringList{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(open.dataSet.recNo(), 0);
    EXPECT_FALSE(open.dataSet.eof());
    int visited = 0;
    for (open.dataSet.first(); !open.dataSet.eof(); open.dataSet.next())
        ++visited;
    EXPECT_EQ(visited, 5);
    EXPECT_EQ(open.dataSet.recNo(), 4);
}

// Whether a query's rows are read at once or when shown, they come in the
// query's order, equal keys in their order of entry.
TEST(AdoDataSet, EveryShapeOfQueryListsItsRowsInItsOrder)
{
    Database db;
    db.add(QDate(2022, 1, 1), QStringLiteral("y"));
    db.add(QDate(2021, 1, 1), QStringLiteral("z"));
    db.add(QDate(2022, 1, 1), QStringLiteral("x"));
    const struct {
        const char *query;
        int commentField;
        QStringList comments;
    } cases[] = {
        {"SELECT * FROM TabData", 1, {"y", "z", "x"}},
        {"SELECT t.Commentary FROM TabData AS t ORDER BY t.Date", 0, {"z", "y", "x"}},
        {"SELECT Date AS Commentary, Commentary AS Date FROM TabData ORDER BY Date",
         1,
         {"x", "y", "z"}},
        {"SELECT Commentary FROM TabData WHERE Date > 0 ORDER BY Date", 0, {"z", "y", "x"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.query);
        Open open(db.path(), QString::fromLatin1(c.query));
        QStringList listed;
        for (int row = 0; row < open.dataSet.recordCount(); ++row)
            listed << open.dataSet.value(row, c.commentField).toString();
        EXPECT_EQ(listed, c.comments);
    }
}

TEST(AdoDataSet, ReadsEachStoredValueAsItsFieldsType)
{
    Database db;
    db.addRaw(46451.0, QStringLiteral("Годовщина «свадьбы»"), -1, 36590.0, 20);
    db.addRaw(46452.75, QString(), 1, 36591.0, 0);
    db.exec(QStringLiteral("INSERT INTO TabData (Date) VALUES (46453)"));
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    ASSERT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.fieldValue(QStringLiteral("Date")), QVariant(QDate(2027, 3, 5)));
    EXPECT_EQ(set.fieldValue(QStringLiteral("PsevdoDate")), QVariant(QDate(2000, 3, 5)));
    EXPECT_EQ(set.fieldValue(QStringLiteral("Commentary")),
              QVariant(QStringLiteral("Годовщина «свадьбы»")));
    EXPECT_EQ(set.fieldValue(QStringLiteral("annually")), QVariant(true));
    EXPECT_EQ(set.fieldValue(QStringLiteral("Muzik")), QVariant(20));
    set.next();
    EXPECT_EQ(set.fieldValue(QStringLiteral("Date")),
              QVariant(QDateTime(QDate(2027, 3, 6), QTime(18, 0))));
    EXPECT_EQ(set.fieldValue(QStringLiteral("Annually")), QVariant(true)) << "any nonzero is yes";
    set.next();
    EXPECT_FALSE(set.fieldValue(QStringLiteral("Commentary")).isValid());
    EXPECT_FALSE(set.fieldValue(QStringLiteral("Annually")).isValid());
    EXPECT_FALSE(set.fieldValue(QStringLiteral("Muzik")).isValid());
    EXPECT_THROW(set.fieldValue(QStringLiteral("Nothing")), DatabaseError);
}

// Stored date numbers as the Calendar and the dataset read them and a grid
// shows them. A number that names no date (out of range, an infinity, NaN,
// which SQLite stores as Null) reads as the stored value, not a date, so
// that a window that takes it as a date fails with a conversion error; the
// grid shows the cell empty. The same numbers stored as a whole number
// (Muzik) read the same way where they do not fit one.
TEST(AdoDataSet, ReadsStoredDateNumbersAsOneCalendarDoes)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double stored;
        QDate date; // invalid: names no date
        QTime time; // invalid: a whole day
        bool fitsInteger = true;
    } cases[] = {
        {0, QDate(1899, 12, 30), {}},
        {1, QDate(1899, 12, 31), {}},
        {2.5, QDate(1900, 1, 1), QTime(12, 0)},
        {46452.75, QDate(2027, 3, 6), QTime(18, 0)},
        {-1, QDate(1899, 12, 29), {}},
        {-1.25, QDate(1899, 12, 29), QTime(6, 0)},
        {-0.5, QDate(1899, 12, 30), QTime(12, 0)},
        {-693593, QDate(1, 1, 1), {}},
        {-693593.5, QDate(1, 1, 1), QTime(12, 0)},
        {2958465.5, QDate(9999, 12, 31), QTime(12, 0)},
        {-693594, {}, {}},
        {2958466, {}, {}},
        {-1e9, {}, {}},
        {2147483648.0, {}, {}, false},
        {4294967297.0, {}, {}, false},
        {-2147483649.0, {}, {}, false},
        {1e300, {}, {}, false},
        {-1e300, {}, {}, false},
        {3.11e180, {}, {}, false},
        {inf, {}, {}, false},
        {-inf, {}, {}, false},
        {std::numeric_limits<double>::quiet_NaN(), {}, {}},
    };
    Database db;
    for (int i = 0; i < int(std::size(cases)); ++i)
        db.addRaw(cases[i].stored, QString::number(i), 0, 0, cases[i].stored);
    Open open(db.path(), QStringLiteral("SELECT Date, Commentary, Muzik FROM TabData"));
    DataSource grid;
    grid.setDataSet(&open.dataSet);
    ASSERT_EQ(grid.rowCount(), int(std::size(cases)));
    for (int row = 0; row < grid.rowCount(); ++row) {
        const auto &c = cases[open.dataSet.value(row, 1).toInt()];
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(Calendar::toDate(c.stored), c.date);
        const QVariant value = open.dataSet.value(row, 0);
        const QString shown = grid.data(grid.index(row, 0), Qt::DisplayRole).toString();
        const QVariant muzik = open.dataSet.value(row, 2);
        bool isInteger = false;
        muzik.toInt(&isInteger);
        EXPECT_EQ(isInteger, c.fitsInteger && muzik.isValid()) << muzik.toString().toStdString();
        EXPECT_EQ(grid.data(grid.index(row, 2), Qt::DisplayRole).toString().isEmpty(), !isInteger);
        if (!c.date.isValid()) {
            EXPECT_FALSE(Calendar::decode(c.stored));
            EXPECT_FALSE(value.canConvert<QDate>()) << value.toString().toStdString();
            EXPECT_EQ(shown, QString());
            continue;
        }
        EXPECT_EQ(Calendar::decode(c.stored)->msecsSinceStartOfDay,
                  c.time.isValid() ? c.time.msecsSinceStartOfDay() : 0);
        EXPECT_EQ(value, c.time.isValid() ? QVariant(QDateTime(c.date, c.time)) : QVariant(c.date));
        EXPECT_EQ(shown, shortDateText(c.date));
    }
    // A row with a number that no whole number holds posts back unchanged.
    const std::vector<QStringList> stored = db.rows(QStringLiteral("SELECT * FROM TabData"));
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (cases[open.dataSet.value(row, 1).toInt()].fitsInteger)
            continue;
        open.dataSet.setRecNo(row);
        open.dataSet.edit();
        open.dataSet.post();
    }
    EXPECT_EQ(db.rows(QStringLiteral("SELECT * FROM TabData")), stored);
}

TEST(AdoDataSet, AppendedRowStaysAtTheEndUntilTheQueryRunsAgain)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    db.add(QDate(2021, 1, 1), QStringLiteral("b"));
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    QSignalSpy inserted(&set, &AdoDataSet::rowInserted);
    QSignalSpy current(&set, &AdoDataSet::currentChanged);
    set.append();
    EXPECT_EQ(set.state(), AdoDataSet::State::Insert);
    EXPECT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.recNo(), 2);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(0).toInt(), 2);
    ASSERT_FALSE(current.isEmpty());
    EXPECT_EQ(current.last().at(0).toInt(), 2);
    set.setFieldValue(QStringLiteral("Date"), QDate(1999, 12, 31));
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("new"));
    set.post();
    EXPECT_EQ(set.state(), AdoDataSet::State::Browse);
    EXPECT_EQ(open.comments(), (QStringList{"a", "b", "new"}));
    EXPECT_EQ(set.recNo(), 2);

    set.open();
    EXPECT_EQ(open.comments(), (QStringList{"new", "a", "b"}));
}

TEST(AdoDataSet, ChangedRowKeepsItsPlace)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    db.add(QDate(2021, 1, 1), QStringLiteral("b"));
    db.add(QDate(2022, 1, 1), QStringLiteral("c"));
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    QSignalSpy changed(&set, &AdoDataSet::rowChanged);
    set.setRecNo(0);
    set.edit();
    EXPECT_EQ(set.state(), AdoDataSet::State::Edit);
    set.setFieldValue(QStringLiteral("Date"), QDate(2030, 6, 1));
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("a2"));
    set.post();
    EXPECT_EQ(open.comments(), (QStringList{"a2", "b", "c"}));
    EXPECT_EQ(set.recNo(), 0);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_EQ(changed.last().at(0).toInt(), 0);
    EXPECT_EQ(db.comments(), (QStringList{"a2", "b", "c"}));
    set.open();
    EXPECT_EQ(open.comments(), (QStringList{"b", "c", "a2"}));
}

TEST(AdoDataSet, PostWritesEveryColumnOfTheRow)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("old"), true, 3);
    Open open(db.path());
    AdoDataSet &set = open.dataSet;

    set.append();
    set.setFieldValue(QStringLiteral("Date"), QDate(2008, 2, 29));
    set.setFieldValue(QStringLiteral("PsevdoDate"), QDate(2000, 2, 29));
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("Високосный день"));
    set.setFieldValue(QStringLiteral("Annually"), true);
    set.setFieldValue(QStringLiteral("Muzik"), 20);
    // Read back as the programs read it, before and after the post.
    EXPECT_EQ(set.fieldValue(QStringLiteral("Date")), QVariant(QDate(2008, 2, 29)));
    set.post();
    EXPECT_EQ(set.fieldValue(QStringLiteral("Annually")), QVariant(true));

    set.setRecNo(0);
    set.edit();
    set.setFieldValue(QStringLiteral("Date"), 36525.0); // 31 December 1999 as a day number
    set.setFieldValue(QStringLiteral("PsevdoDate"), QDate(2000, 12, 31));
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("changed"));
    set.setFieldValue(QStringLiteral("Annually"), false);
    set.setFieldValue(QStringLiteral("Muzik"), 0);
    set.post();
    EXPECT_EQ(set.fieldValue(QStringLiteral("Date")), QVariant(QDate(1999, 12, 31)));

    const auto rows = db.rows(QStringLiteral(
        "SELECT Date, Commentary, Annually, PsevdoDate, Muzik, typeof(Muzik) FROM TabData "
        "ORDER BY rowid"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (QStringList{"36525", "changed", "0", "36891", "0", "integer"}));
    EXPECT_EQ(rows[1], (QStringList{"39507", "Високосный день", "-1", "36585", "20", "integer"}));
}

TEST(AdoDataSet, SetFieldValueRefusesWhatTheFieldCannotHold)
{
    Database db;
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    EXPECT_THROW(set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("x")),
                 DatabaseError)
        << "not appending or editing";
    set.append();
    EXPECT_THROW(set.setFieldValue(QStringLiteral("Date"), QStringLiteral("5.3.2027")),
                 DatabaseError);
    EXPECT_THROW(set.setFieldValue(QStringLiteral("Date"), QDate()), DatabaseError);
    for (const QVariant &muzik : {QVariant(QStringLiteral("seven")), QVariant(1e300),
                                  QVariant(std::numeric_limits<double>::infinity()),
                                  QVariant(std::numeric_limits<double>::quiet_NaN())})
        EXPECT_THROW(set.setFieldValue(QStringLiteral("Muzik"), muzik), DatabaseError)
            << muzik.toString().toStdString();
    EXPECT_THROW(set.setFieldValue(QStringLiteral("Nothing"), 1), DatabaseError);
    set.setFieldValue(QStringLiteral("Annually"), 1);
    EXPECT_EQ(set.fieldValue(QStringLiteral("Annually")), QVariant(true));
    set.setFieldValue(QStringLiteral("Muzik"), QVariant());
    set.post();
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Annually, Muzik FROM TabData"))[0],
              (QStringList{"-1", "NULL"}));
}

TEST(AdoDataSet, DeletingMakesTheNextRowCurrentOrTheNewLast)
{
    const struct {
        int deleted;
        QStringList left;
        int current;
    } cases[] = {
        {0, {"b", "c"}, 0},
        {1, {"a", "c"}, 1},
        {2, {"a", "b"}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.deleted);
        Database db;
        db.add(QDate(2020, 1, 1), QStringLiteral("a"));
        db.add(QDate(2021, 1, 1), QStringLiteral("b"));
        db.add(QDate(2022, 1, 1), QStringLiteral("c"));
        Open open(db.path());
        QSignalSpy removed(&open.dataSet, &AdoDataSet::rowRemoved);
        open.dataSet.setRecNo(c.deleted);
        open.dataSet.deleteCurrent();
        EXPECT_EQ(open.comments(), c.left);
        EXPECT_EQ(open.dataSet.recNo(), c.current);
        ASSERT_EQ(removed.count(), 1);
        EXPECT_EQ(removed.at(0).at(0).toInt(), c.deleted);
        EXPECT_EQ(db.comments(), c.left);
    }
}

TEST(AdoDataSet, DeletingTheOnlyRowLeavesAnEmptyList)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    Open open(db.path());
    open.dataSet.deleteCurrent();
    EXPECT_TRUE(open.dataSet.isEmpty());
    EXPECT_EQ(open.dataSet.recNo(), -1);
    EXPECT_TRUE(db.comments().isEmpty());
    EXPECT_THROW(open.dataSet.deleteCurrent(), DatabaseError);
}

TEST(AdoDataSet, AppendedAndPostedRowCanBeDeleted)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    Open open(db.path());
    open.dataSet.append();
    open.dataSet.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("new"));
    open.dataSet.post();
    open.dataSet.deleteCurrent();
    EXPECT_EQ(db.comments(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(open.dataSet.recNo(), 0);
}

TEST(AdoDataSet, CancelDropsAnAppendAndRestoresAnEdit)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    db.add(QDate(2021, 1, 1), QStringLiteral("b"));
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    set.setRecNo(1);
    QSignalSpy removed(&set, &AdoDataSet::rowRemoved);
    set.append();
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("new"));
    set.cancel();
    EXPECT_EQ(set.state(), AdoDataSet::State::Browse);
    EXPECT_EQ(open.comments(), (QStringList{"a", "b"}));
    EXPECT_EQ(set.recNo(), 1);
    EXPECT_EQ(removed.count(), 1);

    set.edit();
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("b2"));
    set.cancel();
    EXPECT_EQ(open.comments(), (QStringList{"a", "b"}));
    EXPECT_EQ(db.comments(), (QStringList{"a", "b"}));
}

TEST(AdoDataSet, RefusedPostRaisesAndKeepsTheRowPending)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TabData "
                           "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"));
    db.exec(QStringLiteral("CREATE TRIGGER refuse2 BEFORE UPDATE ON TabData "
                           "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"));
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    set.append();
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("new"));
    try {
        set.post();
        ADD_FAILURE() << "posted";
    } catch (const DatabaseError &error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("База данных «%1» отклонила изменение (refused by test).")
                      .arg(db.path()));
    }
    EXPECT_EQ(set.state(), AdoDataSet::State::Insert);
    EXPECT_EQ(set.fieldValue(QStringLiteral("Commentary")), QVariant(QStringLiteral("new")));
    set.cancel();
    EXPECT_EQ(open.comments(), QStringList{QStringLiteral("a")});

    set.edit();
    set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("a2"));
    EXPECT_THROW(set.post(), DatabaseError);
    EXPECT_EQ(set.state(), AdoDataSet::State::Edit);
    set.cancel();
    EXPECT_EQ(open.comments(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(db.comments(), QStringList{QStringLiteral("a")});
}

// The list is the rows as they stood at the query, the rows never read
// before included, in a WAL and in a rollback-journal file alike; another
// program's writes go through meanwhile, and the list's own reach the file.
TEST(AdoDataSet, ListShowsTheRowsOfItsQueryWhateverAnotherProgramWrites)
{
    for (const char *journal : {"wal", "delete"}) {
        SCOPED_TRACE(journal);
        Database db;
        db.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(QLatin1String(journal)));
        db.exec(QStringLiteral("BEGIN"));
        for (int row = 0; row < 3000; ++row)
            db.add(QDate(2000, 1, 1).addDays(row), QStringLiteral("r%1").arg(row));
        db.exec(QStringLiteral("COMMIT"));
        Open open(db.path());
        AdoDataSet &set = open.dataSet;
        db.exec(QStringLiteral("UPDATE TabData SET Commentary = 'changed' "
                               "WHERE Commentary IN ('r0', 'r2999')"));
        db.exec(QStringLiteral("DELETE FROM TabData WHERE Commentary = 'r2998'"));
        db.add(QDate(1990, 1, 1), QStringLiteral("theirs"));
        QStringList expected;
        for (int row = 0; row < 3000; ++row)
            expected << QStringLiteral("r%1").arg(row);
        EXPECT_EQ(open.comments(), expected);

        set.setRecNo(1);
        set.deleteCurrent();
        EXPECT_EQ(set.recordCount(), 2999);
        EXPECT_EQ(db.column(QStringLiteral("SELECT count(*) FROM TabData WHERE Commentary IN "
                                           "('r1', 'r2998', 'theirs')")),
                  QStringList{QStringLiteral("1")});
        // Closing the connection ends the snapshot too, so that the last
        // connection to close takes the -wal file's rows into the file.
        db.closeRaw();
        open.connection.close();
        EXPECT_EQ(entries(db.folder()), QStringList{QStringLiteral("Dates.mdb")});
    }
}

// Another program deletes the last row and adds its own, which SQLite gives
// the same rowid, or changes a row: a post or a deletion of the list's row
// touches neither, and tells so. A row holding Nulls is found as read.
TEST(AdoDataSet, PostAndDeletionActOnlyOnTheRowAsRead)
{
    Database db;
    db.exec(QStringLiteral("INSERT INTO TabData (Date, Commentary) VALUES (1, 'nulls')"));
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    db.add(QDate(2021, 1, 1), QStringLiteral("b"));
    Open open(db.path());
    AdoDataSet &set = open.dataSet;
    db.exec(QStringLiteral("DELETE FROM TabData WHERE Commentary = 'b'"));
    db.add(QDate(2022, 1, 1), QStringLiteral("theirs"));
    db.exec(QStringLiteral("UPDATE TabData SET Muzik = 5 WHERE Commentary = 'a'"));
    ASSERT_EQ(db.column(QStringLiteral("SELECT rowid FROM TabData WHERE Commentary = 'theirs'")),
              QStringList{QStringLiteral("3")});
    const QString table = QStringLiteral("SELECT rowid, * FROM TabData ORDER BY rowid");
    const std::vector<QStringList> before = db.rows(table);

    for (const int row : {1, 2}) {
        SCOPED_TRACE(row);
        set.setRecNo(row);
        expectDatabaseError([&] { set.deleteCurrent(); },
                            QStringLiteral("Не удаётся найти строку для удаления: возможно, "
                                           "её значения изменились после чтения"));
        set.edit();
        set.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("mine"));
        expectDatabaseError([&] { set.post(); },
                            QStringLiteral("Не удаётся найти строку для изменения: возможно, "
                                           "её значения изменились после чтения"));
        EXPECT_EQ(set.state(), AdoDataSet::State::Edit);
        set.cancel();
    }
    EXPECT_EQ(open.comments(), (QStringList{"nulls", "a", "b"}));
    EXPECT_EQ(db.rows(table), before);

    set.setRecNo(0);
    for (const char *comment : {"once", "twice"}) {
        set.edit();
        set.setFieldValue(QStringLiteral("Commentary"), QString::fromLatin1(comment));
        set.post();
    }
    EXPECT_EQ(db.column(QStringLiteral("SELECT Commentary FROM TabData WHERE rowid = 1")),
              QStringList{QStringLiteral("twice")});
    set.deleteCurrent();
    EXPECT_EQ(db.comments(), (QStringList{"a", "theirs"}));
}

// Rows on damaged pages read as empty, told once with SQLite's words, and
// cannot be edited or deleted; the rows elsewhere read as stored, and the
// file is left as it was.
TEST(AdoDataSet, UnreadableRowsAreToldOnceAndNeverWritten)
{
    Database db;
    db.exec(QStringLiteral("BEGIN"));
    for (int row = 0; row < 3000; ++row)
        db.add(QDate(2000, 1, 1).addDays(row), QStringLiteral("r%1").arg(row));
    db.exec(QStringLiteral("COMMIT"));
    db.closeRaw();
    ASSERT_TRUE(damageMiddleOfTable(db.path()));
    const QByteArray damaged = fileBytes(db.path());
    {
        Open open(db.path());
        AdoDataSet &set = open.dataSet;
        QSignalSpy failed(&set, &AdoDataSet::readFailed);
        std::vector<int> unreadable;
        for (int pass = 0; pass < 2; ++pass) {
            unreadable.clear();
            const QStringList comments = open.comments();
            for (int row = 0; row < comments.size(); ++row) {
                if (comments[row].isEmpty())
                    unreadable.push_back(row);
                else
                    EXPECT_EQ(comments[row], QStringLiteral("r%1").arg(row));
            }
        }
        ASSERT_FALSE(unreadable.empty());
        EXPECT_GT(unreadable.front(), 500);
        EXPECT_LT(unreadable.back(), 2500);
        ASSERT_EQ(failed.count(), 1);
        const QString malformed =
            QStringLiteral("Файл базы данных «%1» повреждён (database disk image is malformed).")
                .arg(db.path());
        EXPECT_EQ(failed.at(0).at(0).toString(), malformed);

        set.setRecNo(unreadable.front());
        expectDatabaseError([&] { set.edit(); }, malformed);
        expectDatabaseError([&] { set.deleteCurrent(); }, malformed);
        expectDatabaseError([&] { set.fieldValue(QStringLiteral("Date")); }, malformed);
        EXPECT_EQ(set.state(), AdoDataSet::State::Browse);
        EXPECT_EQ(set.recordCount(), 3000);
        EXPECT_EQ(failed.count(), 1);
    }
    EXPECT_EQ(fileBytes(db.path()), damaged);
}

TEST(AdoDataSet, FailedOpenLeavesAnInactiveDatasetThatRefusesEverything)
{
    Database db;
    db.exec(QStringLiteral("ALTER TABLE TabData RENAME TO Other"));
    AdoConnection connection;
    connection.setConnectionString(datesConnectionString(db.path()));
    connection.open();
    AdoDataSet set;
    set.setConnection(&connection);
    set.setCommandText(editorQuery);
    try {
        set.open();
        ADD_FAILURE() << "opened";
    } catch (const DatabaseError &error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("Не удаётся выполнить запрос к базе данных «%1» (no such table: "
                                 "TabData).")
                      .arg(db.path()));
    }
    EXPECT_FALSE(set.active());
    EXPECT_TRUE(set.isEmpty());
    const QString closed = QStringLiteral("Операция недопустима, когда набор данных закрыт");
    for (const auto &operation : std::vector<std::function<void()>>{
             [&] { set.append(); }, [&] { set.edit(); }, [&] { set.post(); },
             [&] { set.deleteCurrent(); }, [&] { set.fieldValue(QStringLiteral("Date")); },
             [&] { set.first(); }})
        expectDatabaseError(operation, closed);

    AdoDataSet unconnected;
    unconnected.setCommandText(editorQuery);
    expectDatabaseError([&] { unconnected.open(); },
                        QStringLiteral("Операция недопустима, когда соединение закрыто"));
}

TEST(AdoDataSet, SecondConnectionSeesAPostAtOnceAndDoesNotBlockIt)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    Open editor(db.path());
    AdoConnection reader;
    reader.setConnectionString(datesConnectionString(db.path()));
    reader.open();
    // A read left open on the other connection: in WAL mode it does not
    // stop the writer.
    sqlite3_stmt *stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(reader.handle(), "SELECT * FROM TabData", -1, &stmt, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    editor.dataSet.append();
    editor.dataSet.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("b"));
    EXPECT_NO_THROW(editor.dataSet.post());
    sqlite3_finalize(stmt);

    AdoDataSet later;
    later.setConnection(&reader);
    later.setCommandText(editorQuery);
    later.open();
    EXPECT_EQ(later.recordCount(), 2);
    EXPECT_EQ(db.column(QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("wal")});
}

TEST(AdoDataSet, CloseDropsTheRowsAndSetActiveReopens)
{
    Database db;
    db.add(QDate(2020, 1, 1), QStringLiteral("a"));
    Open open(db.path());
    QSignalSpy reset(&open.dataSet, &AdoDataSet::reset);
    open.dataSet.setActive(true); // already open: no new query
    EXPECT_EQ(reset.count(), 0);
    open.dataSet.close();
    EXPECT_FALSE(open.dataSet.active());
    EXPECT_EQ(open.dataSet.recordCount(), 0);
    EXPECT_EQ(reset.count(), 1);
    open.dataSet.setActive(true);
    EXPECT_EQ(open.comments(), QStringList{QStringLiteral("a")});
}

// --- today's query --------------------------------------------------------

TEST(RemindersQuery, SelectsTodaysRowsOneTimeRowsFirst)
{
    Database db;
    db.add(QDate(1990, 3, 5), QStringLiteral("yearly 1990"), true);
    db.add(QDate(2030, 3, 5), QStringLiteral("yearly 2030"), true);
    db.add(QDate(2026, 3, 5), QStringLiteral("one-time 2026"));
    db.add(QDate(2027, 3, 5), QStringLiteral("one-time 2027"));
    db.add(QDate(2000, 3, 5), QStringLiteral("one-time 2000"));
    db.add(QDate(2008, 2, 29), QStringLiteral("yearly 29 Feb"), true);
    db.add(QDate(2027, 2, 28), QStringLiteral("one-time 28 Feb 2027"));
    db.add(QDate(1999, 12, 31), QStringLiteral("yearly 31 Dec"), true);
    // A stored time of day never equals the day's literal.
    db.addRaw(Calendar::fromDate(QDate(2027, 3, 5)) + 0.5, QStringLiteral("with time"), 0,
              pseudoDate(QDate(2027, 3, 5)), 0);
    // Another program's yes, 1 or any number but 0, is a yes as Jet's -1 is.
    for (const int yes : {1, 2})
        db.addRaw(Calendar::fromDate(QDate(2001, 3, 5)), QStringLiteral("yearly as %1").arg(yes),
                  yes, pseudoDate(QDate(2001, 3, 5)), 0);

    const struct {
        QDate today;
        QStringList oneTime;
        QStringList yearly;
    } cases[] = {
        {QDate(2027, 3, 5),
         {"one-time 2027"},
         {"yearly 1990", "yearly 2030", "yearly as 1", "yearly as 2"}},
        {QDate(2026, 3, 5),
         {"one-time 2026"},
         {"yearly 1990", "yearly 2030", "yearly as 1", "yearly as 2"}},
        {QDate(2000, 3, 5),
         {"one-time 2000"},
         {"yearly 1990", "yearly 2030", "yearly as 1", "yearly as 2"}},
        {QDate(2028, 2, 29), {}, {"yearly 29 Feb"}},
        {QDate(2027, 2, 28), {"one-time 28 Feb 2027"}, {}},
        {QDate(2027, 3, 1), {}, {}},
        {QDate(2026, 12, 31), {}, {"yearly 31 Dec"}},
        {QDate(2027, 3, 6), {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.today.toString(Qt::ISODate).toStdString());
        Open open(db.path(), reminderQueryText(c.today));
        const QStringList got = open.comments();
        ASSERT_EQ(got.size(), c.oneTime.size() + c.yearly.size()) << got.join(", ").toStdString();
        // Within each group the order is the engine's own.
        QStringList oneTime = got.mid(0, c.oneTime.size());
        QStringList yearly = got.mid(c.oneTime.size());
        oneTime.sort();
        yearly.sort();
        EXPECT_EQ(oneTime, c.oneTime);
        EXPECT_EQ(yearly, c.yearly);
        EXPECT_EQ(open.dataSet.recNo(), got.isEmpty() ? -1 : 0);
    }
}

TEST(RemindersQuery, UsesTheIndexesAndNeverScansTheTable)
{
    Database db;
    const auto explain = [&](const QString &jet) {
        QStringList details;
        for (const QStringList &row :
             db.rows(QStringLiteral("EXPLAIN QUERY PLAN ") + JetSql::toSqlite(jet)))
            details << row.value(3);
        return details.join(QLatin1Char('\n'));
    };
    const QString reminder = explain(reminderQueryText(QDate(2027, 3, 5)));
    EXPECT_TRUE(reminder.contains(QStringLiteral("MULTI-INDEX OR"))) << reminder.toStdString();
    EXPECT_TRUE(reminder.contains(QStringLiteral("USING INDEX TabData_PsevdoDate_Annually")))
        << reminder.toStdString();
    EXPECT_TRUE(reminder.contains(QStringLiteral("USING INDEX TabData_Annually_Date")))
        << reminder.toStdString();
    EXPECT_FALSE(reminder.contains(QStringLiteral("SCAN"))) << reminder.toStdString();

    const QString editor = explain(editorQuery);
    EXPECT_TRUE(editor.contains(QStringLiteral("INDEX TabData_Date"))) << editor.toStdString();
    EXPECT_FALSE(editor.contains(QStringLiteral("TEMP B-TREE"))) << editor.toStdString();
}

} // namespace
