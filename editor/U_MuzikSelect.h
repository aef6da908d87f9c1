// The sound-event dialog: the name and the sound file of the options grid's
// current sound event, written into "muzikdan.dat" at once by Ok.
#pragma once

#include "form.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFrmMuzikSelect : public Form
{
    Q_OBJECT
public:
    explicit TFrmMuzikSelect(QWidget *parent = nullptr);

    QLabel *Label2;
    QLineEdit *TxtSub;
    QLabel *Label1;
    QLineEdit *TxtMuzFile;
    QPushButton *BtnSelectFileWav;
    QPushButton *BtnSound;
    QPushButton *BtnOk;
    QPushButton *BtnCancel;

    void FormCreate();
    void BtnSelectFileWavClick();
    void BtnSoundClick();
    void BtnOkClick();
    void BtnCancelClick();

    // What the file chooser DlgOpenMuzFile shows.
    static QString chooserTitle();
    static QString chooserFilter();

protected:
    void FormActivate() override;

private:
    void createControls();

    // The folder the chooser starts in before anything was chosen.
    QString m_initialFolder;
    // The chooser's last choice in this run; the next use starts from it.
    QString m_chosenFile;
};

extern TFrmMuzikSelect *FrmMuzikSelect;
