// The reminder window, today's query and the playback sequencer. The window
// is created hidden at start-up; the start-up step shows it only on a due
// day that has rows, and its activation plays the rows' sounds in turn.
#include "U_Show.h"

#include "U_End.h"
#include "adodataset.h"
#include "calendar.h"
#include "connectionstring.h"
#include "controls.h"
#include "datasource.h"
#include "dbgrid.h"
#include "guard.h"
#include "mainwindows.h"
#include "pictures.h"
#include "queries.h"
#include "theme.h"

#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <memory>

TFrmTolvin *FrmTolvin = nullptr;
QString ProgramPath;
RecordFileOf<OptionsRecord> OptionFile;
OptionsRecord OptionRec;
RecordFileOf<SoundEventRecord> MuzikFile;

namespace
{

// The sound files of today's rows in the order they play; built at the
// window's activation, freed at its close.
std::unique_ptr<QStringList> PlayList;

// The sound event a row's Muzik names, or 0 when the row has no sound. Only
// 1 to 20 name a sound event; anything else (0, a value out of range, an
// empty field) means none.
int soundEventOf(const QVariant &muzik)
{
    bool isNumber = false;
    const int event = muzik.isNull() ? 0 : muzik.toInt(&isNumber);
    return isNumber && event >= 1 && event <= Records::soundEventCount ? event : 0;
}

// The sound event of the current row; none in a grid whose rows were all
// deleted.
int soundEventOfCurrentRow()
{
    AdoDataSet *set = FrmTolvin->ADODataSet;
    if (set->isEmpty())
        return 0;
    return soundEventOf(set->fieldValue(QStringLiteral("Muzik")));
}

// The sound file of a sound event when the file exists; an empty text
// otherwise, and for no event.
QString soundFileOf(int event)
{
    if (event == 0)
        return {};
    const QString path = Records::readSoundEvent(MuzikFile, event).path();
    return QFileInfo(path).isFile() ? path : QString();
}

void openAndPlay(const QString &fileName)
{
    ::MediaPlayer &player = FrmTolvin->MediaPlayer;
    player.setFileName(fileName);
    player.open();
    player.play();
}

// The state without sound: the grid stays locked against replays and
// deleting, but takes the focus on its first row so that the keyboard (and
// a screen reader) can go through today's dates.
void browseSilently()
{
    DbGrid *grid = FrmTolvin->DBGrid;
    grid->setBrowseOnly(true);
    grid->setLocked(false);
    grid->setFocus();
}

// Opens and plays entry `index` of the play list, which becomes the play
// index. A file that cannot be opened leaves no device open: its error
// passes out, and the next tick counts the entry as ended and goes on. A
// sound device that cannot open fails every entry alike, so its error is
// shown once and the window stays without sound.
void playEntry(int index)
{
    FrmTolvin->TmrPlayAllTag = index;
    try {
        openAndPlay(PlayList->at(index));
    } catch (...) {
        if (!SoundDevice::isOpen()) {
            FrmTolvin->TmrPlayAll->stop();
            browseSilently();
        }
        throw;
    }
}

void stopAndClosePlayer()
{
    ::MediaPlayer &player = FrmTolvin->MediaPlayer;
    const ::MediaPlayer::Mode mode = player.mode();
    if (mode == ::MediaPlayer::Mode::Open || mode == ::MediaPlayer::Mode::Playing) {
        player.stop();
        player.close();
    }
}

} // namespace

void OpenTodayEvents()
{
    TFrmTolvin *form = FrmTolvin;
    form->ADOConnect.close();
    form->ADOConnect.setLoginPrompt(false);
    form->ADOConnect.setConnectionString(
        datesConnectionString(ProgramPath + QStringLiteral("dates.mdb")));
    form->ADOConnect.open();

    AdoDataSet *set = form->ADODataSet;
    set->setConnection(&form->ADOConnect);
    set->close();
    form->DataSource->setDataSet(set);
    // Today is read afresh for each of the two dates, the Pseudo-date's first.
    const double pseudoDay = Calendar::todayNumber();
    set->setCommandText(reminderQueryText(pseudoDay, Calendar::todayNumber()));
    set->open();

    DbGrid *grid = form->DBGrid;
    grid->setDataSource(form->DataSource);
    layOutDateGrid(grid);
    grid->repaintRows();
}

void CloseDatabase()
{
    FrmTolvin->DataSource->setDataSet(nullptr);
    FrmTolvin->ADOConnect.close();
}

void PlayAllFromStart()
{
    if (!PlayList || PlayList->isEmpty()) {
        browseSilently();
        return;
    }
    // The ticks carry the sequence on from here: past a first entry that
    // cannot be opened as past any later one, and, while the sound server is
    // still starting at logon, waiting for the device (index -1) before they
    // start the first entry.
    FrmTolvin->TmrPlayAll->start();
    if (SoundDevice::starting())
        FrmTolvin->TmrPlayAllTag = -1;
    else
        playEntry(0);
}

void PlaySelectedSound()
{
    stopAndClosePlayer();
    const QString path = soundFileOf(soundEventOfCurrentRow());
    if (!path.isEmpty())
        openAndPlay(path);
}

TFrmTolvin::TFrmTolvin(QWidget *parent) : Form(parent)
{
    createWindow(FrmTolvin, &TFrmTolvin::createControls, &TFrmTolvin::FormCreate);
}

void TFrmTolvin::createControls()
{
    setObjectName(QStringLiteral("FrmTolvin"));
    setWindowTitle(QStringLiteral("Orvista: Сообщение (Orvista: Message) 2"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(Pictures::programIcon());
    setFont(sansFont(11));
    // The design size; the creation handler sets the outer width.
    setFixedSize(833, 513);

    Panel1 =
        new QLabel(QStringLiteral("Сегодняшний день примечателен следующими событиями:"), this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 833, 33);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setFont(serifFont(29, true));
    setFixedTextColour(Panel1, QColor(0, 0, 128));

    DBGrid = new DbGrid(this);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setGeometry(0, 32, 833, 457);
    DBGrid->setFont(sansFont(11));
    DBGrid->horizontalHeader()->setFont(sansFont(11, true));
    DBGrid->setAccessibleName(QStringLiteral("Сегодняшние события"));
    DBGrid->setToolTip(QStringLiteral("Двойной щелчок мыши здесь или нажатие клавиши <Enter> "
                                      "воспроизведет мелодию для выбранного события"));
    // Created locked: the playback releases the grid when it has played
    // every sound. The lock also takes the grid out of the tab order.
    DBGrid->setCursor(Qt::WaitCursor);
    DBGrid->setLocked(true);
    DBGrid->installEventFilter(this);
    DBGrid->viewport()->installEventFilter(this);

    const auto centred = Qt::AlignHCenter;
    StatusBar1 = new PanelStatusBar({{60, centred, QStringLiteral("Orvista 2")},
                                     {180, centred, QStringLiteral("Памятные даты сегодня")},
                                     {195, centred, QStringLiteral("Enter: прослушать мелодию")},
                                     {230, centred, QStringLiteral("Двойной щелчок: мелодия")},
                                     {50, Qt::AlignRight, QStringLiteral("Сегодня: ")}},
                                    this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, height() - 25, width(), 25);

    TmrPlayAll = new QTimer(this);
    TmrPlayAll->setObjectName(QStringLiteral("TmrPlayAll"));
    TmrPlayAll->setInterval(1000);
    connectGuarded(TmrPlayAll, &QTimer::timeout, this, [this] { TmrPlayAllTimer(); });

    DataSource = new ::DataSource(this);
    DataSource->setObjectName(QStringLiteral("DataSource"));
    ADODataSet = new AdoDataSet(this);
    ADODataSet->setObjectName(QStringLiteral("ADODataSet"));
}

void TFrmTolvin::FormCreate()
{
    FrmTolvin->setOuterWidth(835);
    StatusBar1->setGeometry(0, height() - 25, width(), 25);
    FrmTolvin->StatusBar1->setPanelText(4, todayStatusText());
}

void TFrmTolvin::FormActivate()
{
    PlayList = std::make_unique<QStringList>();
    AdoDataSet *set = FrmTolvin->ADODataSet;
    set->first();
    // The rows are read by index: moving the current row for each of them
    // would make the grid follow every step. Each sound event is read from
    // "muzikdan.dat" once, however many rows name it.
    const int muzik = set->isEmpty() ? -1 : set->fieldIndex(QStringLiteral("Muzik"));
    if (muzik < 0 && !set->isEmpty())
        set->fieldValue(QStringLiteral("Muzik")); // raises the missing field's error
    QHash<int, QString> soundFiles;
    for (int row = 0; row < set->recordCount(); ++row) {
        const int event = soundEventOf(set->value(row, muzik));
        if (event == 0)
            continue;
        auto known = soundFiles.constFind(event);
        if (known == soundFiles.constEnd()) {
            try {
                known = soundFiles.insert(event, soundFileOf(event));
            } catch (...) {
                // A failed read leaves the grid on the row that needed it.
                set->setRecNo(row);
                throw;
            }
        }
        if (!known->isEmpty())
            PlayList->append(*known);
    }
    set->first();
    PlayAllFromStart();
}

void TFrmTolvin::TmrPlayAllTimer()
{
    if (!PlayList)
        return;
    if (TmrPlayAllTag < 0) {
        if (!SoundDevice::starting())
            playEntry(0);
        return;
    }
    // An entry that failed to open left no device. Its error was shown when
    // it was tried; here it counts as ended, so the sequence goes on instead
    // of failing again on every tick.
    if (MediaPlayer.isDeviceOpen()) {
        const int position = MediaPlayer.position();
        const int length = MediaPlayer.length();
        if (position < length)
            return;
        MediaPlayer.stop();
        MediaPlayer.close();
    }
    if (TmrPlayAllTag >= PlayList->size() - 1) {
        // Unlocking also gives the grid back its tab stop.
        DBGrid->setLocked(false);
        DBGrid->setCursor(Qt::ArrowCursor);
        DBGrid->setFocus();
        TmrPlayAll->stop();
        return;
    }
    playEntry(TmrPlayAllTag + 1);
}

void TFrmTolvin::DBGridDblClick()
{
    PlaySelectedSound();
}

void TFrmTolvin::DBGridKeyPress(QChar &key)
{
    if (key == QChar(13))
        PlaySelectedSound();
}

// Where the grid's double-clicks and character keys reach their handlers.
// A locked grid has no focus and drops its double-clicks, and a grid that
// may only be browsed replays nothing, so neither handler runs before the
// grid is released.
bool TFrmTolvin::eventFilter(QObject *watched, QEvent *event)
{
    if (DBGrid->isLocked() || DBGrid->isBrowseOnly())
        return Form::eventFilter(watched, event);
    if (watched == DBGrid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        guarded([this] { DBGridDblClick(); });
    } else if (watched == DBGrid && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty()) {
            QChar key = text.front();
            guarded([&] { DBGridKeyPress(key); });
        }
    }
    return Form::eventFilter(watched, event);
}

void TFrmTolvin::FormClose(CloseAction &action)
{
    Q_UNUSED(action);
    TmrPlayAll->stop();
    stopAndClosePlayer();
    // A failed close is shown, but the closing dialog still follows: it is
    // the only way to end the reminder.
    guarded([] { MuzikFile.close(); });
    PlayList.reset();
    FrmEnd->showModal();
}
