// The splash window and the reminder's start-up step: the due test against
// the Next reminder date in "option.dat", today's query, and the reminder
// window on a day that has rows.
#include "U_Logo.h"

#include "U_Show.h"
#include "adodataset.h"
#include "calendar.h"
#include "controls.h"
#include "dialogs.h"
#include "guard.h"
#include "programfolder.h"
#include "records.h"
#include "theme.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <cmath>

TFrmLogo *FrmLogo = nullptr;

namespace
{

int pauseMilliseconds = 2000;

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
                  int pixelHeight, const QColor &colour, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setFont(serifFont(pixelHeight));
    followTheme(label, QPalette::Window, {},
                [colour](QPalette &palette) { palette.setColor(QPalette::WindowText, colour); });
    return label;
}

// Only today or tomorrow is ever stored. A later date, or a value that is
// no finite number, comes from a wrong clock or a damaged file and would
// keep the reminder silent, perhaps for ever: it counts as due. Plain
// double comparisons, so no such value is ever converted to an integer.
bool isDue(double nextDate, double today)
{
    return !std::isfinite(nextDate) || nextDate > today + 1 || today >= nextDate;
}

} // namespace

TFrmLogo::TFrmLogo(QWidget *parent) : Form(parent)
{
    createWindow(FrmLogo, &TFrmLogo::createControls);
    showPainted();
    activate();
}

void TFrmLogo::createControls()
{
    setObjectName(QStringLiteral("FrmLogo"));
    setWindowTitle(applicationTitle());
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(442, 137);
    const QColor blue(0, 0, 255), fuchsia(255, 0, 255), teal(0, 128, 128);
    // One background for the three texts, so that they stand on one face.
    followTheme(this, QPalette::Button, {blue, fuchsia, teal}, [](QPalette &palette) {
        palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    });
    setAutoFillBackground(true);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Orvista"), QRect(0, 0, 442, 67), 59, blue,
                       Qt::AlignHCenter);
    Label2 = makeLabel(this, "Label2", QStringLiteral("(Orvista)"), QRect(16, 67, 369, 55), 48,
                       fuchsia, Qt::AlignHCenter);
    // Reaches past the right edge, which clips it.
    Label4 = makeLabel(this, "Label4", QStringLiteral("2"), QRect(392, 72, 57, 49), 48, teal,
                       Qt::AlignLeft);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1500);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Tick(); });
}

// The pause that follows blocks the thread, so the splash has to be on the
// screen before it starts, not merely asked for.
void TFrmLogo::showPainted()
{
    centreOnScreen();
    show();
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
    QGuiApplication::sync();
}

void TFrmLogo::FormActivate()
{
    QThread::msleep(pauseMilliseconds);
    Timer1->start();
}

void TFrmLogo::setPause(int milliseconds)
{
    pauseMilliseconds = milliseconds;
}

void TFrmLogo::Timer1Tick()
{
    if (m_stepRunning)
        return;
    m_stepRunning = true;
    bool failed = false;
    guarded([&] {
        try {
            Timer1Timer();
        } catch (const ProcessEnded &) {
            throw;
        } catch (...) {
            // Stopped before the message shows, so no tick repeats the step
            // behind it.
            Timer1->stop();
            failed = true;
            throw;
        }
    });
    if (failed)
        guarded([] { dialogs().endProcess(0); });
    m_stepRunning = false;
}

void TFrmLogo::Timer1Timer()
{
    FrmLogo->hide();
    ProgramPath = ProgramFolder::fromExecutable();

    if (!OptionFile.openQuiet(Records::optionFileName(ProgramPath)))
        OptionRec = Records::createDefaultOptionFile(OptionFile, ProgramPath);
    else
        OptionRec = Records::readOptionRec(OptionFile);

    if (!isDue(OptionRec.nextDate(), Calendar::todayNumber())) {
        OptionFile.close();
        dialogs().endProcess(0);
    }

    OpenTodayEvents();
    if (FrmTolvin->ADODataSet->isEmpty()) {
        OptionRec.setNextDate(Calendar::todayNumber());
        Records::writeOptionRec(OptionFile, OptionRec);
        OptionFile.close();
        CloseDatabase();
        dialogs().endProcess(0);
    }

    Records::openOrCreateMuzikFile(MuzikFile, ProgramPath);
    FrmTolvin->showNonModal();
    Timer1->stop();
}
