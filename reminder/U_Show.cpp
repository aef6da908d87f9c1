// The reminder window and today's query. The window is created hidden at
// start-up; the start-up step shows it only on a due day that has rows.
#include "U_Show.h"

#include "adodataset.h"
#include "calendar.h"
#include "controls.h"
#include "datasource.h"
#include "dbgrid.h"
#include "guard.h"
#include "pictures.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTimer>

TFrmTolvin *FrmTolvin = nullptr;
QString ProgramPath;
RecordFile OptionFile(OptionRec::size);
struct OptionRec OptionRec;
RecordFile MuzikFile(SoundEventRec::size);

namespace
{

QString jetDateLiteral(int month, int day, int year)
{
    return QStringLiteral("#%1/%2/%3#").arg(month).arg(day).arg(year);
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
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + ProgramPath +
        QStringLiteral("dates.mdb;Persist Security Info=False"));
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
    // every sound.
    DBGrid->setCursor(Qt::WaitCursor);
    DBGrid->setFocusPolicy(Qt::NoFocus);
    DBGrid->setDeleteAllowed(false);

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
