// The editor's start-up to its first screen: the program block's windows
// made, the main window shown and painted with the first rows of the list,
// beside SQLite's own time for the editor's query over the same file. The
// peak memory of one such start is measured in a process of its own.
#include "U_Karvel.h"
#include "adodataset.h"
#include "benchsupport.h"
#include "dbgrid.h"
#include "karvel_app.h"
#include "programfolder.h"
#include "queries.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <cstring>
#include <vector>

namespace
{

// The editor's program block up to the painted main window.
void startEditor(const QString &folder)
{
    ProgramFolder::setOverride(folder);
    CreateEditorWindows();
    FrmKarvel->showNonModal();
    QApplication::processEvents();
    FrmKarvel->repaint();
}

void endEditor()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const std::vector<QPointer<QWidget>> guarded(windows.begin(), windows.end());
    for (const QPointer<QWidget> &window : guarded)
        delete window.data();
    if (MuzikFile.isOpen())
        MuzikFile.close();
    QApplication::processEvents();
}

void BM_EditorFirstScreen(benchmark::State &state)
{
    const QString folder = BenchSupport::programFolder(int(state.range(0)));
    const QString database = folder + QStringLiteral("Dates.mdb");
    BenchSupport::SideBySide times;
    for (auto _ : state) {
        times.sqlite += BenchSupport::sqliteSeconds(database, editorQueryText());
        QElapsedTimer timer;
        timer.start();
        startEditor(folder);
        const double own = timer.nsecsElapsed() / 1e9;
        if (FrmKarvel->DBGrid->model()->rowCount() != state.range(0))
            state.SkipWithError("the list is not complete");
        endEditor();
        times.own += own;
        state.SetIterationTime(own);
    }
    times.report(state);
    state.counters["peak_MiB"] = BenchSupport::peakMiBOfChild("--peak-memory-of", folder);
}
BENCHMARK(BM_EditorFirstScreen)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// What must stay quick on a long list: Ctrl+End in the grid, adding a row
// at the end and deleting the first row, each through the started editor.
void BM_EditorListOperations(benchmark::State &state)
{
    const QString folder = BenchSupport::programFolder(int(state.range(0)));
    startEditor(folder);
    AdoDataSet *set = FrmKarvel->ADODataSet;
    double ctrlEnd = 0;
    double add = 0;
    double remove = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(FrmKarvel->DBGrid, &end);
        FrmKarvel->DBGrid->repaint();
        const double endTime = timer.nsecsElapsed() / 1e9;

        timer.restart();
        set->append();
        set->setFieldValue(QStringLiteral("Date"), QDate(2027, 3, 5));
        set->setFieldValue(QStringLiteral("Commentary"), QStringLiteral("добавлена"));
        set->setFieldValue(QStringLiteral("Annually"), true);
        set->setFieldValue(QStringLiteral("PsevdoDate"), QDate(2000, 3, 5));
        set->setFieldValue(QStringLiteral("Muzik"), 1);
        set->post();
        FrmKarvel->DBGrid->repaintRows();
        FrmKarvel->DBGrid->repaint();
        const double addTime = timer.nsecsElapsed() / 1e9;

        timer.restart();
        set->first();
        set->deleteCurrent();
        FrmKarvel->DBGrid->repaintRows();
        FrmKarvel->DBGrid->repaint();
        const double removeTime = timer.nsecsElapsed() / 1e9;
        ctrlEnd += endTime;
        add += addTime;
        remove += removeTime;
        state.SetIterationTime(endTime + addTime + removeTime);
    }
    const double n = double(state.iterations());
    state.counters["ctrl_end_ms"] = ctrlEnd * 1000 / n;
    state.counters["add_ms"] = add * 1000 / n;
    state.counters["delete_first_ms"] = remove * 1000 / n;
    endEditor();
}
BENCHMARK(BM_EditorListOperations)
    ->Arg(1'000'000)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::setUpEnvironment();
    QApplication app(argc, argv);
    // The child of peakMiBOfChild: one start, then its peak memory.
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory-of") == 0) {
        startEditor(QString::fromLocal8Bit(argv[2]));
        std::printf("%.1f\n", BenchSupport::peakMiB());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
