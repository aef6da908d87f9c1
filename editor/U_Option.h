// The options window: the 20 sound events in a read-only grid, the change of
// the reminder's password and the autostart setting. Its Ok saves only when
// every sound file exists and the password rules hold.
#pragma once

#include "form.h"
#include "recordfile.h"
#include "records.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TFrmOption : public Form
{
    Q_OBJECT
public:
    explicit TFrmOption(QWidget *parent = nullptr);

    QGroupBox *GroupBox1;
    QTableWidget *GrdMuzik;
    QPushButton *BtnChangeMuzik;
    QGroupBox *GroupBox2;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *TxtPassword;
    QLineEdit *TxtPasswordNew;
    QLineEdit *TxtPasswordNewNew;
    QCheckBox *ChkAutoRun;
    QPushButton *CmdOk;
    QPushButton *CmdCancel;

    // "option.dat", open only while the window is shown.
    RecordFileOf<OptionsRecord> OptionFile;
    // Record 0 of "option.dat" as last read: when the window was shown, and
    // again by Ok.
    OptionsRecord OptionRec;

    void FormCreate();
    void FillSoundGrid();
    void BtnChangeMuzikClick();
    void CmdOkClick();
    void CmdCancelClick();

    // The grid's current row: sound event 1 to 20 (row 0 is the header).
    int currentSoundRow() const;
    // Makes row 1 to 20 current and selected, and gives the grid the focus.
    void selectSoundRow(int row);
    // The row rule of FillSoundGrid: the event's name and its shortened path.
    void setSoundRow(int row, const SoundEventRecord &record);
    // The text of a cell of the grid, row 0 being the header.
    QString soundCell(int column, int row) const;

    static constexpr int passwordLimit = 20;

protected:
    void FormActivate() override;
    void FormClose(CloseAction &action) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
};

extern TFrmOption *FrmOption;

// The display form of a sound file's path: up to 70 characters unchanged,
// otherwise the leading folders up to at least 20 characters, ".../" and
// the trailing whole components of at most 47 characters.
QString ShortenPath(const QString &path);
