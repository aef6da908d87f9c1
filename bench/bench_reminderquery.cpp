// The reminder's query of today's rows through the dataset, on a database
// of 1,000,000 rows made with the shipped schema in a temporary folder.
// The indexes should keep it near a millisecond whatever the table's size.
#include "adoconnection.h"
#include "adodataset.h"
#include "benchsupport.h"
#include "connectionstring.h"
#include "queries.h"

#include <QDate>
#include <benchmark/benchmark.h>

namespace
{

// The shared million-row database; about 1,900 rows are due on each day.
QString database()
{
    return BenchSupport::programFolder(1'000'000) + QStringLiteral("Dates.mdb");
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

int main(int argc, char **argv)
{
    return BenchSupport::runBenchmarks(argc, argv);
}
