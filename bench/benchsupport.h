// What the start-up benchmarks share: a Program folder with a "Dates.mdb"
// of a given size made with the shipped schema, SQLite's own time for a
// query over that file, a dialog seam that never waits, and the peak memory
// of one start, measured in a process of its own.
#pragma once

#include "calendar.h"
#include "datesschema.h"
#include "dialogs.h"
#include "jetsql.h"
#include "wavwriter.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <vector>

namespace BenchSupport
{

// The day the reminder's benchmarks take for today.
inline QDate benchToday()
{
    return QDate(2027, 3, 5);
}

inline void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "benchmark database: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A short WAV of silence (16-bit mono PCM, 22050 Hz).
inline void writeWav(const QString &path, int milliseconds)
{
    const std::vector<std::int16_t> silence(std::size_t(22050 * milliseconds / 1000));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::exit(1);
    file.write(QByteArray::fromStdString(Wav::monoPcm16(silence, 22050)));
}

// A Program folder ending in "/" with "Dates.mdb" of `rows` rows dated 1900
// to 2100, 70 % of them yearly, each with a sound event 0 to 20, and the
// default sound file "sound/sub.wav". Made once per size and run. On the
// benchmarks' today about 1,900 rows of a million are due.
inline QString programFolder(int rows)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto &folder = folders[rows];
    if (folder)
        return folder->path() + QLatin1Char('/');
    folder = std::make_unique<QTemporaryDir>();
    const QString path = folder->path() + QLatin1Char('/');
    QDir(path).mkpath(QStringLiteral("sound"));
    writeWav(path + QStringLiteral("sound/sub.wav"), 200);

    sqlite3 *db = nullptr;
    check(sqlite3_open_v2((path + QStringLiteral("Dates.mdb")).toUtf8().constData(), &db,
                          SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
          db);
    check(sqlite3_exec(db, DatesSchema::statements, nullptr, nullptr, nullptr), db);
    // A large page cache keeps the filling from spilling the indexes.
    check(sqlite3_exec(db, "PRAGMA cache_size=-262144; BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt *insert = nullptr;
    check(
        sqlite3_prepare_v2(db, "INSERT INTO TabData VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr),
        db);
    std::mt19937 random(20270305);
    std::uniform_int_distribution<int> day(int(Calendar::fromDate(QDate(1900, 1, 1))),
                                           int(Calendar::fromDate(QDate(2100, 12, 31))));
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> sound(0, 20);
    for (int row = 0; row < rows; ++row) {
        const double date = day(random);
        const QDate d = Calendar::toDate(date);
        const QByteArray comment = QStringLiteral("Памятная дата номер %1").arg(row).toUtf8();
        sqlite3_bind_double(insert, 1, date);
        sqlite3_bind_text(insert, 2, comment.constData(), int(comment.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 3, percent(random) < 70 ? -1 : 0);
        sqlite3_bind_double(insert, 4, Calendar::fromDate(QDate(2000, d.month(), d.day())));
        sqlite3_bind_int(insert, 5, sound(random));
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT; PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr),
          db);
    sqlite3_close(db);
    return path;
}

// Seconds SQLite needs to prepare and step a command text (Jet SQL, as the
// programs give it) to its end over a fresh connection with SQLite's
// defaults, reading every column of every row.
inline double sqliteSeconds(const QString &databaseFile, const QString &jetSql)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3 *db = nullptr;
    check(sqlite3_open_v2(databaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr),
          db);
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db, JetSql::toSqlite(jetSql).toUtf8().constData(), -1, &stmt, nullptr),
          db);
    qint64 bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int column = 0; column < sqlite3_column_count(stmt); ++column)
            bytes += sqlite3_column_bytes(stmt, column);
    }
    benchmark::DoNotOptimize(bytes);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return timer.nsecsElapsed() / 1e9;
}

// Puts the program's time beside SQLite's: both as milliseconds per
// iteration, and their ratio.
struct SideBySide {
    double own = 0;
    double sqlite = 0;
    void report(benchmark::State &state) const
    {
        const double n = double(state.iterations());
        state.counters["own_ms"] = own * 1000 / n;
        state.counters["sqlite_ms"] = sqlite * 1000 / n;
        state.counters["own/sqlite"] = sqlite > 0 ? own / sqlite : 0;
    }
};

// Peak resident memory of this process so far, in MiB: VmHWM, which an
// exec starts afresh (getrusage's ru_maxrss would keep the forking
// parent's peak).
inline double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// Runs this executable again with `argument` and `folder`; the child does
// one start there and prints its peak memory in MiB. 0 when it failed.
inline double peakMiBOfChild(const char *argument, const QString &folder)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(argument), folder});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return 0;
    return child.readAllStandardOutput().trimmed().toDouble();
}

// Errors go to the terminal; nothing waits for a click.
class QuietDialogs : public DialogSeam
{
public:
    int messageBox(const QString &text, const QString &, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return 1;
    }
    void errorMessage(const QString &text) override
    {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
        std::exit(1);
    }
    bool confirm(const QString &, const QString &) override { return false; }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    void showModal(Form *) override {}
    [[noreturn]] void endProcess(int exitCode) override { std::exit(exitCode); }
};

// Headless and silent unless told otherwise.
inline void setUpEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    static QuietDialogs quiet;
    setDialogs(&quiet);
}

// The main of a benchmark program that needs nothing before its runs.
inline int runBenchmarks(int argc, char **argv)
{
    setUpEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace BenchSupport
