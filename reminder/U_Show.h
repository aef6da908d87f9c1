// The reminder window, which lists today's dates and plays their sounds in
// turn, today's query, and the state the reminder's start-up opens for the
// other windows ("option.dat", its Options record, "muzikdan.dat").
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
class QChar;

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
    // The timer's Tag: the index in the play list of the sound that plays;
    // -1 while the sequence waits for the sound device.
    int TmrPlayAllTag = 0;
    AdoConnection ADOConnect;
    ::DataSource *DataSource;
    AdoDataSet *ADODataSet;

    void FormCreate();
    // Builds the play list from today's rows and starts the sequence.
    void FormActivate() override;
    void DBGridDblClick();
    // Enter (character 13) replays the current row; the key stays as it is.
    void DBGridKeyPress(QChar &key);
    // One step of the sequence: when the current sound has ended, the next
    // one starts, or the grid is handed to the user after the last.
    void TmrPlayAllTimer();

protected:
    void FormClose(CloseAction &action) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
};

extern TFrmTolvin *FrmTolvin;

// The Program folder, ending in "/"; set by the start-up step.
extern QString ProgramPath;
// "option.dat", open from the start-up step until the closing dialog has
// stored the next reminder date.
extern RecordFileOf<OptionsRecord> OptionFile;
// The Options record as the start-up step read or created it.
extern OptionsRecord OptionRec;
// "muzikdan.dat", open while the reminder window is in use.
extern RecordFileOf<SoundEventRecord> MuzikFile;

// Connects to the database, opens today's rows in FrmTolvin's dataset
// (one-time rows first) and lays out the grid. Database errors pass out.
void OpenTodayEvents();
// Detaches the grid from the rows and closes the connection; a second call
// does nothing more.
void CloseDatabase();

// Starts the sequence at the first entry of the play list. With nothing to
// play (an empty list, or no sound device) the grid may only be browsed.
void PlayAllFromStart();
// Stops what plays and plays the sound of the grid's current row, read
// afresh from "muzikdan.dat"; a row without an existing sound file plays
// nothing.
void PlaySelectedSound();
