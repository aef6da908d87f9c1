// The delete confirmation. It reads the current row of the main window's
// dataset afresh at every showing and keeps no copy of it; neither button is
// the default, so Enter in the comment box never deletes.
#include "U_Delete.h"

#include "U_Karvel.h"
#include "adodataset.h"
#include "controls.h"
#include "datetext.h"
#include "dbgrid.h"
#include "guard.h"
#include "theme.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmDelete *FrmDelete = nullptr;

namespace
{

// A Null or unreadable date shows as an empty text rather than failing, so
// that a damaged row can still be seen and deleted.
QString dateText(const QVariant &value)
{
    const QDate date =
        value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
    return shortDateText(date);
}

bool hasCurrentRow()
{
    const AdoDataSet *dataSet = FrmKarvel->ADODataSet;
    return dataSet->active() && dataSet->recNo() >= 0;
}

QLabel *singleBorderPanel(QWidget *parent)
{
    auto *panel = new QLabel(parent);
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setLineWidth(1);
    panel->setAlignment(Qt::AlignCenter);
    return panel;
}

} // namespace

TFrmDelete::TFrmDelete(QWidget *parent) : Form(parent)
{
    createWindow(FrmDelete, &TFrmDelete::createControls);
}

void TFrmDelete::createControls()
{
    setUpDialog(QStringLiteral("FrmDelete"), QStringLiteral("Внимание!"), {525, 215});

    Label1 =
        new QLabel(QStringLiteral("Вы действительно желаете удалить нижеуказанную запись?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(108, 16, 316, 40);
    Label1->setFont(sansFont(16, true));
    setFixedTextColour(Label1, QColor(255, 0, 0));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);

    Label2 = new QLabel(QStringLiteral("Дата:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(8, 72);
    Label2->adjustSize();

    PnlDate = singleBorderPanel(this);
    PnlDate->setObjectName(QStringLiteral("PnlDate"));
    PnlDate->setGeometry(48, 72, 113, 17);

    PnlAnnually = singleBorderPanel(this);
    PnlAnnually->setObjectName(QStringLiteral("PnlAnnually"));
    PnlAnnually->setGeometry(216, 72, 305, 17);

    Label3 = new QLabel(QStringLiteral("Комментарий:"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(8, 120, 73, 25);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    TxtComment = new QLineEdit(this);
    TxtComment->setObjectName(QStringLiteral("TxtComment"));
    TxtComment->setGeometry(88, 120, 433, 21);
    TxtComment->setReadOnly(true);
    setButtonFaceBackground(TxtComment, QPalette::Base);
    Label3->setBuddy(TxtComment);

    CmdYes = new QPushButton(QStringLiteral("Да"), this);
    CmdYes->setObjectName(QStringLiteral("CmdYes"));
    CmdYes->setGeometry(78, 168, 165, 33);

    CmdNo = new QPushButton(QStringLiteral("Нет"), this);
    CmdNo->setObjectName(QStringLiteral("CmdNo"));
    CmdNo->setGeometry(288, 168, 165, 33);

    for (QPushButton *button : {CmdYes, CmdNo}) {
        button->setFont(sansFont(15));
        // Neither button may become the default when the dialog shows.
        button->setAutoDefault(false);
    }
    setCancelButton(CmdNo);

    setTabOrder(TxtComment, CmdYes);
    setTabOrder(CmdYes, CmdNo);

    connectGuarded(CmdYes, &QPushButton::clicked, this, [this] { CmdYesClick(); });
    connectGuarded(CmdNo, &QPushButton::clicked, this, [this] { CmdNoClick(); });
}

void TFrmDelete::FormActivate()
{
    ShowRecordToDelete();
    // The date panels take no focus, and a screen reader reads by itself
    // only the longer texts of a dialog: the comment box, which gets the
    // focus, tells the date in its description.
    TxtComment->setAccessibleDescription(Label2->text() + QLatin1Char(' ') + PnlDate->text());
    TxtComment->setFocus();
    TxtComment->setSelection(0, int(TxtComment->text().size()));
}

void TFrmDelete::ShowRecordToDelete()
{
    // Without a current row there is nothing to show, and "Да" deletes
    // nothing.
    if (!hasCurrentRow()) {
        PnlDate->clear();
        PnlAnnually->clear();
        TxtComment->clear();
        return;
    }
    const AdoDataSet *dataSet = FrmKarvel->ADODataSet;
    PnlDate->setText(dateText(dataSet->fieldValue(QStringLiteral("Date"))));
    const QVariant annually = dataSet->fieldValue(QStringLiteral("Annually"));
    PnlAnnually->setText(!annually.isNull() && annually.toBool()
                             ? QStringLiteral("Напомнить об этой дате ежегодно")
                             : QStringLiteral("Напомнить об этой дате лишь в указанный год"));
    TxtComment->setText(dataSet->fieldValue(QStringLiteral("Commentary")).toString());
}

void TFrmDelete::CmdYesClick()
{
    if (hasCurrentRow())
        FrmKarvel->ADODataSet->deleteCurrent();
    FrmKarvel->DBGrid->repaintRows();
    close();
    UpdateEditDeleteButtons();
}

void TFrmDelete::CmdNoClick()
{
    close();
}
