// The editor's main window: the list of every remembered date and the row
// of buttons that opens the other windows. Its creation does the editor's
// start-up; closing it ends the editor.
#pragma once

#include "adoconnection.h"
#include "form.h"
#include "recordfile.h"
#include "records.h"

class AdoDataSet;
class DataSource;
class DbGrid;
class PanelStatusBar;
class QPushButton;

class TFrmKarvel : public Form
{
    Q_OBJECT
public:
    explicit TFrmKarvel(QWidget *parent = nullptr);

    PanelStatusBar *StatusBar1;
    QPushButton *BitAdd;
    QPushButton *BitEdit;
    QPushButton *BitDelete;
    QPushButton *BitOption;
    QPushButton *BitAbout;
    DbGrid *DBGrid;
    AdoConnection ADOConnect;
    ::DataSource *DataSource;
    AdoDataSet *ADODataSet;

    void FormCreate();
    void BitAddClick();
    void BitEditClick();
    void BitDeleteClick();
    void BitOptionClick();
    void BitAboutClick();

protected:
    void FormClose(CloseAction &action) override;

private:
    void createControls();
    void OpenDatabase();
};

extern TFrmKarvel *FrmKarvel;
// "muzikdan.dat", open for the editor's whole run.
extern RecordFileOf<SoundEventRecord> MuzikFile;
// The Program folder, ending in "/".
extern QString ProgramPath;

// Edit and Delete are enabled exactly while the list has rows.
void UpdateEditDeleteButtons();
