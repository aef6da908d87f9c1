// The editor's main window and its start-up and closing steps.
#include "U_Karvel.h"

#include "U_About.h"
#include "U_Delete.h"
#include "U_Edit.h"
#include "U_Option.h"
#include "adodataset.h"
#include "connectionstring.h"
#include "controls.h"
#include "datasource.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "guard.h"
#include "mainwindows.h"
#include "pictures.h"
#include "programfolder.h"
#include "queries.h"
#include "records.h"
#include "theme.h"

#include <QPushButton>

TFrmKarvel *FrmKarvel = nullptr;
RecordFileOf<SoundEventRecord> MuzikFile;
QString ProgramPath;

TFrmKarvel::TFrmKarvel(QWidget *parent) : Form(parent)
{
    createWindow(FrmKarvel, &TFrmKarvel::createControls, &TFrmKarvel::FormCreate);
}

void TFrmKarvel::createControls()
{
    setObjectName(QStringLiteral("FrmKarvel"));
    setWindowTitle(QStringLiteral("Orvista: Редактор (Orvista: Editor) 2"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(Pictures::programIcon());
    setFont(sansFont(11));
    // The design size, kept when the start-up fails before it sets its own.
    setFixedSize(906, 525);

    DBGrid = new DbGrid(this);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setGeometry(0, 0, 833, 465);
    DBGrid->setFont(sansFont(11));
    DBGrid->setAccessibleName(QStringLiteral("Список дат"));

    struct ButtonSpec {
        QPushButton *&button;
        const char *name;
        QString caption;
        int left;
        int width;
        QIcon icon;
    };
    const ButtonSpec buttons[] = {
        {BitAdd, "BitAdd", QStringLiteral("Добавить"), 0, 167, Pictures::checkMark()},
        {BitEdit, "BitEdit", QStringLiteral("Отредактировать"), 168, 167, Pictures::retry()},
        {BitDelete, "BitDelete", QStringLiteral("Удалить"), 336, 167, Pictures::redCross()},
        {BitOption, "BitOption", QStringLiteral("Опции"), 504, 167, Pictures::ignore()},
        {BitAbout, "BitAbout", QStringLiteral("О программе"), 672, 161, Pictures::help()},
    };
    for (const ButtonSpec &spec : buttons) {
        spec.button = new QPushButton(spec.icon, spec.caption, this);
        spec.button->setObjectName(QLatin1String(spec.name));
        spec.button->setGeometry(spec.left, 472, spec.width, 30);
        spec.button->setFont(sansFont(13, true));
        keepPictureReadable(spec.button);
    }
    setTabOrder(BitAdd, BitEdit);
    setTabOrder(BitEdit, BitDelete);
    setTabOrder(BitDelete, BitOption);
    setTabOrder(BitOption, BitAbout);
    setTabOrder(BitAbout, DBGrid);
    // The focus chain starts at the window, not at the first Tab stop: the
    // window would open with the focus in the grid.
    BitAdd->setFocus();

    const auto centred = Qt::AlignHCenter;
    StatusBar1 = new PanelStatusBar({{60, centred, QStringLiteral("Orvista 2")},
                                     {180, centred, QStringLiteral("Редактор памятных дат")},
                                     {195, centred, QStringLiteral("Ctrl+Del: удалить строку")},
                                     {230, centred, QStringLiteral("Esc: закрыть диалог")},
                                     {50, Qt::AlignRight, QStringLiteral("Сегодня 20.07.2006   ")}},
                                    this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, height() - 25, width(), 25);

    DataSource = new ::DataSource(this);
    ADODataSet = new AdoDataSet(this);

    connectGuarded(BitAdd, &QPushButton::clicked, this, [this] { BitAddClick(); });
    connectGuarded(BitEdit, &QPushButton::clicked, this, [this] { BitEditClick(); });
    connectGuarded(BitDelete, &QPushButton::clicked, this, [this] { BitDeleteClick(); });
    connectGuarded(BitOption, &QPushButton::clicked, this, [this] { BitOptionClick(); });
    connectGuarded(BitAbout, &QPushButton::clicked, this, [this] { BitAboutClick(); });
    // The grid's own deletion leaves the list perhaps empty.
    connectGuarded(DBGrid, &DbGrid::rowDeleted, this, [] { UpdateEditDeleteButtons(); });
    // A row that cannot be read shows empty: the database's reason is told
    // once, after the painting that met it.
    connect(
        ADODataSet, &AdoDataSet::readFailed, this,
        [](const QString &message) { guarded([&] { showDefaultError(message); }); },
        Qt::QueuedConnection);
}

void TFrmKarvel::FormCreate()
{
    ProgramPath = ProgramFolder::fromExecutable();
    Records::ensureOptionFile(ProgramPath);
    Records::openOrCreateMuzikFile(MuzikFile, ProgramPath);
    FrmKarvel->setOuterWidth(839);
    FrmKarvel->setOuterHeight(556);
    StatusBar1->setGeometry(0, height() - 25, width(), 25);
    StatusBar1->setPanelText(4, todayStatusText());
    OpenDatabase();
    UpdateEditDeleteButtons();
}

void TFrmKarvel::OpenDatabase()
{
    ADOConnect.close();
    ADOConnect.setLoginPrompt(false);
    ADOConnect.setConnectionString(
        datesConnectionString(ProgramPath + QStringLiteral("Dates.mdb")));
    ADOConnect.open();

    ADODataSet->setConnection(&ADOConnect);
    ADODataSet->setActive(false);
    DataSource->setDataSet(ADODataSet);
    ADODataSet->setCommandText(editorQueryText());
    ADODataSet->open();

    DBGrid->setDataSource(DataSource);
    layOutDateGrid(DBGrid);
    ADODataSet->setActive(true);
    DBGrid->repaintRows();
}

void TFrmKarvel::FormClose(CloseAction &)
{
    // A start-up that never opened the file must not make the editor
    // impossible to close.
    if (MuzikFile.isOpen())
        MuzikFile.close();
    DataSource->setDataSet(nullptr);
    ADOConnect.close();
    dialogs().endProcess(0);
}

void TFrmKarvel::BitAddClick()
{
    FrmEdit->prepareFor(TFrmEdit::Mode::Add);
    FrmEdit->showModal();
}

void TFrmKarvel::BitEditClick()
{
    FrmEdit->prepareFor(TFrmEdit::Mode::Edit);
    FrmEdit->showModal();
}

void TFrmKarvel::BitDeleteClick()
{
    FrmDelete->showModal();
}

void TFrmKarvel::BitOptionClick()
{
    FrmOption->showModal();
}

void TFrmKarvel::BitAboutClick()
{
    FrmAbout->showModal();
}

void UpdateEditDeleteButtons()
{
    const bool empty = FrmKarvel->ADODataSet->isEmpty();
    FrmKarvel->BitEdit->setEnabled(!empty);
    FrmKarvel->BitDelete->setEnabled(!empty);
}
