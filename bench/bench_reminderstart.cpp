// The reminder's step from today's query to its first sound: the query run
// and the grid laid out, the window shown, the play list built by its
// activation and the first sound started; beside SQLite's own time for the
// reminder's query over the same file.
#include "U_Show.h"
#include "adodataset.h"
#include "benchsupport.h"
#include "queries.h"
#include "records.h"

#include <QApplication>
#include <QTimer>

namespace
{

void BM_ReminderFirstSound(benchmark::State &state)
{
    const QString folder = BenchSupport::programFolder(int(state.range(0)));
    const QString database = folder + QStringLiteral("Dates.mdb");
    const QString query = reminderQueryText(BenchSupport::benchToday());
    Calendar::setToday(BenchSupport::benchToday());
    ProgramPath = folder;
    Records::openOrCreateMuzikFile(MuzikFile, folder);
    if (!FrmTolvin)
        new TFrmTolvin;
    BenchSupport::SideBySide times;
    qint64 rows = 0;
    for (auto _ : state) {
        times.sqlite += BenchSupport::sqliteSeconds(database, query);
        QElapsedTimer timer;
        timer.start();
        OpenTodayEvents();
        FrmTolvin->showNonModal();
        const double own = timer.nsecsElapsed() / 1e9;
        if (!FrmTolvin->TmrPlayAll->isActive())
            state.SkipWithError("no sound started");
        rows += FrmTolvin->ADODataSet->recordCount();
        FrmTolvin->TmrPlayAll->stop();
        if (FrmTolvin->MediaPlayer.isDeviceOpen()) {
            FrmTolvin->MediaPlayer.stop();
            FrmTolvin->MediaPlayer.close();
        }
        FrmTolvin->hide();
        CloseDatabase();
        QApplication::processEvents();
        times.own += own;
        state.SetIterationTime(own);
    }
    times.report(state);
    state.counters["rows_today"] = double(rows) / double(state.iterations());
    MuzikFile.close();
}
BENCHMARK(BM_ReminderFirstSound)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return BenchSupport::runBenchmarks(argc, argv);
}
