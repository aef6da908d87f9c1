// The reminder window, which lists today's remembered dates, the query that
// finds them, and the state the reminder's start-up opens for the other
// windows ("option.dat", its Options record, "muzikdan.dat").
#pragma once

#include "adoconnection.h"
#include "form.h"
#include "mediaplayer.h"
#include "recordfile.h"
#include "records.h"

class AdoDataSet;
class DataSource;
class DbGrid;
class PanelStatusBar;
class QLabel;
class QTimer;

class TFrmTolvin : public Form
{
    Q_OBJECT
public:
    explicit TFrmTolvin(QWidget *parent = nullptr);

    QLabel *Panel1;
    DbGrid *DBGrid;
    PanelStatusBar *StatusBar1;
    ::MediaPlayer MediaPlayer;
    QTimer *TmrPlayAll;
    AdoConnection ADOConnect;
    ::DataSource *DataSource;
    AdoDataSet *ADODataSet;

    void FormCreate();

private:
    void createControls();
};

extern TFrmTolvin *FrmTolvin;

// The Program folder, ending in "/"; set by the start-up step.
extern QString ProgramPath;
// "option.dat", open from the start-up step until the closing dialog has
// stored the next reminder date.
extern RecordFile OptionFile;
// The Options record as the start-up step read or created it.
extern struct OptionRec OptionRec;
// "muzikdan.dat", open while the reminder window is in use.
extern RecordFile MuzikFile;

// Jet SQL date literals, month first and without leading zeros whatever the
// locale: "#3/5/2027#", and for the Pseudo-date "#3/5/2000#".
QString SqlDateLiteral(double date);
QString SqlPseudoDateLiteral(double date);

// Connects to the database, opens today's rows in FrmTolvin's dataset
// (one-time rows first) and lays out the grid. Database errors pass out.
void OpenTodayEvents();
// Detaches the grid from the rows and closes the connection; a second call
// does nothing more.
void CloseDatabase();
