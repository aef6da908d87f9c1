// The add/edit dialog: one date record's year, month, day, yearly flag,
// comment and sound event, checked and written into the main window's
// dataset, with a preview of the chosen event's sound.
#pragma once

#include "form.h"

#include <QSpinBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// A spinner whose text cannot be typed into: only its arrows, the Up and
// Down keys and the wheel change the value, one step at a time, and a key
// that would edit the text only beeps.
class LockedSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit LockedSpinBox(QWidget *parent = nullptr);

signals:
    // A key that would have edited the text was refused (with a beep).
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

class TFrmEdit : public Form
{
    Q_OBJECT
public:
    explicit TFrmEdit(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label2;
    QLabel *Label5;
    LockedSpinBox *SpinYear;
    QComboBox *CmbMonth;
    LockedSpinBox *SpnDay;
    QCheckBox *ChkAnnually;
    QLineEdit *TxtComment;
    QComboBox *CmbMuzSub;
    QPushButton *BtnSoundPlay;
    QPushButton *CmdOk;
    QPushButton *CmdCancel;

    // Add appends a row, edit changes the main window's current row.
    enum class Mode { Add, Edit };
    // Sets the mode and the captions that show it; called before each
    // showing, so the dialog never keeps the other mode's captions.
    void prepareFor(Mode mode);

    void FormCreate();
    // Rebuilds the 21 items of CmbMuzSub from "muzikdan.dat"; none is
    // selected afterwards.
    void FillSoundEventList();
    void LoadCurrentRecord();
    void SetNewRecordDefaults();
    void CmdOkClick();
    void CmdCancelClick();
    void BtnSoundPlayClick();

    static constexpr int commentLimit = 150;

protected:
    void FormActivate() override;
    void FormClose(CloseAction &action) override;

private:
    void createControls();
    void AbandonPendingRow();

    Mode m_mode = Mode::Add;
};

extern TFrmEdit *FrmEdit;
