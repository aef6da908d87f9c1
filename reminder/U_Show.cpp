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
#include "pictures.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <memory>

TFrmTolvin *FrmTolvin = nullptr;
QString ProgramPath;
RecordFile OptionFile(OptionRec::size);
struct OptionRec OptionRec;
RecordFile MuzikFile(SoundEventRec::size);

namespace
{

// The sound files of today's rows in the order they play; built at the
// window's activation, freed at its close.
std::unique_ptr<QStringList> PlayList;

QString jetDateLiteral(int month, int day, int year)
{
    return QStringLiteral("#%1/%2/%3#").arg(month).arg(day).arg(year);
}

// The sound event of the current row, or 0 when the row has no sound. Only
// 1 to 20 name a sound event; anything else (0, a value out of range, an
// empty field) means none, and so does a grid whose rows were all deleted.
int soundEventOfCurrentRow()
{
    AdoDataSet *set = FrmTolvin->ADODataSet;
    if (set->isEmpty())
        return 0;
    bool isNumber = false;
    const QVariant muzik = set->fieldValue(QStringLiteral("Muzik"));
    const int event = muzik.isNull() ? 0 : muzik.toInt(&isNumber);
    return isNumber && event >= 1 && event <= Records::soundEventCount ? event : 0;
}

// The sound file of the current row when the row has a sound and the file
// exists; an empty text otherwise.
QString soundFileOfCurrentRow()
{
    const int event = soundEventOfCurrentRow();
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

QString SqlDateLiteral(double date)
{
    const QDate d = Calendar::toDate(date);
    return jetDateLiteral(d.month(), d.day(), d.year());
}

QString SqlPseudoDateLiteral(double date)
{
    const QDate d = Calendar::toDate(date);
    return jetDateLiteral(d.month(), d.day(), 2000);
}

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
    set->setCommandText(QStringLiteral("SELECT TabData.Date, TabData.Commentary, "
                                       "TabData.Annually, TabData.PsevdoDate, TabData.Muzik "));
    set->setCommandText(set->commandText() + QStringLiteral("FROM TabData "));
    set->setCommandText(set->commandText() +
                        QStringLiteral("WHERE (((TabData.Annually)=True) AND "
                                       "((TabData.PsevdoDate)=") +
                        SqlPseudoDateLiteral(Calendar::todayNumber()) + QStringLiteral(")) "));
    set->setCommandText(set->commandText() +
                        QStringLiteral("OR (((TabData.Annually)=False)) AND ((TabData.Date)=") +
                        SqlDateLiteral(Calendar::todayNumber()) + QStringLiteral(") "));
    set->setCommandText(set->commandText() + QStringLiteral("ORDER BY  TabData.Annually DESC"));
    set->open();

    DbGrid *grid = form->DBGrid;
    grid->setDataSource(form->DataSource);
    grid->setColumn(0, QStringLiteral("Date"), QStringLiteral("Дата"), Qt::AlignCenter, 80);
    grid->setColumn(1, QStringLiteral("Commentary"), QStringLiteral("Комментарий"), Qt::AlignCenter,
                    718);
    grid->setColumnShown(4, false);
    grid->setColumnShown(3, false);
    grid->setColumnShown(2, false);
    grid->repaintRows();
}

void CloseDatabase()
{
    FrmTolvin->DataSource->setDataSet(nullptr);
    FrmTolvin->ADOConnect.close();
}

void PlayAllFromStart()
{
    if (!PlayList || PlayList->isEmpty())
        return;
    FrmTolvin->TmrPlayAllTag = 0;
    openAndPlay(PlayList->at(0));
    FrmTolvin->TmrPlayAll->start();
}

void PlaySelectedSound()
{
    stopAndClosePlayer();
    const QString path = soundFileOfCurrentRow();
    if (!path.isEmpty())
        openAndPlay(path);
}

TFrmTolvin::TFrmTolvin(QWidget *parent) : Form(parent)
{
    FrmTolvin = this;
    createControls();
    guarded([this] { FormCreate(); });
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
    QPalette headerPalette = Panel1->palette();
    headerPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Panel1->setPalette(headerPalette);

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
    FrmTolvin->StatusBar1->setPanelText(
        4, QStringLiteral("Сегодня: ") +
               QLocale::system().toString(Calendar::today(), QLocale::ShortFormat) +
               QStringLiteral("     "));
}

void TFrmTolvin::FormActivate()
{
    PlayList = std::make_unique<QStringList>();
    AdoDataSet *set = FrmTolvin->ADODataSet;
    set->first();
    const int rows = set->recordCount();
    for (int row = 1; row <= rows; ++row) {
        const QString path = soundFileOfCurrentRow();
        if (!path.isEmpty())
            PlayList->append(path);
        if (row < set->recordCount())
            set->next();
    }
    set->first();
    PlayAllFromStart();
}

void TFrmTolvin::TmrPlayAllTimer()
{
    if (!PlayList)
        return;
    // An entry that failed to open left no device. The tick that tried it
    // showed its error; here it counts as ended, so the sequence goes on
    // instead of failing again on every tick.
    if (MediaPlayer.isDeviceOpen()) {
        const int position = MediaPlayer.position();
        const int length = MediaPlayer.length();
        if (position < length)
            return;
        MediaPlayer.stop();
        MediaPlayer.close();
    }
    if (TmrPlayAllTag >= PlayList->size() - 1) {
        DBGrid->setLocked(false);
        DBGrid->setCursor(Qt::ArrowCursor);
        DBGrid->setFocusPolicy(Qt::StrongFocus);
        DBGrid->setFocus();
        TmrPlayAll->stop();
        return;
    }
    ++TmrPlayAllTag;
    openAndPlay(PlayList->at(TmrPlayAllTag));
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
// A locked grid has no focus and drops its double-clicks, so neither
// handler runs before the grid is released.
bool TFrmTolvin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGrid->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        !DBGrid->isLocked()) {
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
