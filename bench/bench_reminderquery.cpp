// The reminder's query of today's rows through the dataset, on a database
// of 1,000,000 rows made with the shipped schema in a temporary folder.
// The indexes should keep it near a millisecond whatever the table's size.
#include "adoconnection.h"
#include "adodataset.h"
#include "calendar.h"
#include "connectionstring.h"
#include "datesschema.h"
#include "queries.h"

#include <QDate>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sqlite3.h>

namespace
{

constexpr int rowCount = 1'000'000;

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "filling the database failed: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A million rows dated 1900 to 2100, one in ten yearly: about 270 yearly
// rows and a dozen one-time rows fall on each day. Made once per run.
const QString &database()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(QStringLiteral("Dates.mdb"));
        sqlite3 *db = nullptr;
        check(sqlite3_open_v2(file.toUtf8().constData(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              db);
        check(sqlite3_exec(db, DatesSchema::statements, nullptr, nullptr, nullptr), db);
        // A large page cache keeps the filling from spilling the indexes to
        // disk again and again.
        check(sqlite3_exec(db, "PRAGMA cache_size=-262144; BEGIN", nullptr, nullptr, nullptr), db);
        sqlite3_stmt *insert = nullptr;
        check(sqlite3_prepare_v2(db, "INSERT INTO TabData VALUES (?, ?, ?, ?, ?)", -1, &insert,
                                 nullptr),
              db);
        std::mt19937 random(20270305);
        const int first = int(Calendar::fromDate(QDate(1900, 1, 1)));
        const int last = int(Calendar::fromDate(QDate(2100, 12, 31)));
        std::uniform_int_distribution<int> day(first, last);
        std::uniform_int_distribution<int> tenth(0, 9);
        std::uniform_int_distribution<int> sound(0, 20);
        for (int row = 0; row < rowCount; ++row) {
            const double date = day(random);
            const QDate d = Calendar::toDate(date);
            const QByteArray comment = QStringLiteral("Памятная дата %1").arg(row).toUtf8();
            sqlite3_bind_double(insert, 1, date);
            sqlite3_bind_text(insert, 2, comment.constData(), int(comment.size()),
                              SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 3, tenth(random) == 0 ? -1 : 0);
            sqlite3_bind_double(insert, 4, Calendar::fromDate(QDate(2000, d.month(), d.day())));
            sqlite3_bind_int(insert, 5, sound(random));
            check(sqlite3_step(insert), db);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        sqlite3_close(db);
        return file;
    }();
    return path;
}

// The query alone, over an open connection; each run asks for another day.
void BM_RemindersQuery(benchmark::State &state)
{
    AdoConnection connection;
    connection.setConnectionString(datesConnectionString(database()));
    connection.open();
    AdoDataSet dataSet;
    dataSet.setConnection(&connection);
    QDate today(2027, 1, 1);
    qint64 rows = 0;
    for (auto _ : state) {
        dataSet.setCommandText(reminderQueryText(today));
        dataSet.open();
        rows += dataSet.recordCount();
        today = today.addDays(1);
    }
    state.counters["rows/query"] =
        benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RemindersQuery)->Unit(benchmark::kMillisecond);

// What the reminder does at start: connect, then query.
void BM_ConnectAndQuery(benchmark::State &state)
{
    const QString text = datesConnectionString(database());
    QDate today(2027, 1, 1);
    for (auto _ : state) {
        AdoConnection connection;
        connection.setConnectionString(text);
        connection.open();
        AdoDataSet dataSet;
        dataSet.setConnection(&connection);
        dataSet.setCommandText(reminderQueryText(today));
        dataSet.open();
        benchmark::DoNotOptimize(dataSet.recordCount());
        today = today.addDays(1);
    }
}
BENCHMARK(BM_ConnectAndQuery)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
