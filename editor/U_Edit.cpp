// The add/edit dialog. The main window sets its mode, and with it the two
// captions, before each showing; OK checks the date and the comment and
// writes all five columns of the row at once.
#include "U_Edit.h"

#include "U_Karvel.h"
#include "adodataset.h"
#include "calendar.h"
#include "controls.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "mediaplayer.h"
#include "records.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QValidator>
#include <QWheelEvent>

TFrmEdit *FrmEdit = nullptr;

namespace
{

const QString warningCaption = QStringLiteral("Внимание!");

// Limits what typing, pasting or dropping can add to a line edit, while a
// longer text set by the program stays whole and can still be shortened.
// An insertion that would pass the limit keeps its first characters up to
// it, as a platform edit box does.
class TypingLimit : public QValidator
{
public:
    TypingLimit(QLineEdit *edit, int limit) : QValidator(edit), m_limit(limit)
    {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString &text) { m_before = text; });
    }

    State validate(QString &input, int &position) const override
    {
        if (input.size() <= m_limit || input.size() <= m_before.size())
            return Acceptable;
        if (m_before.size() > m_limit)
            return Invalid;
        // The insertion ends at the cursor: its tail goes.
        const qsizetype excess = input.size() - m_limit;
        const qsizetype from = qMax<qsizetype>(position - excess, 0);
        input.remove(from, excess);
        position = int(from);
        // Nothing of it fitted: refused, as a keystroke at the limit is.
        return input == m_before ? Invalid : Acceptable;
    }

private:
    int m_limit;
    // The text before the change being validated.
    QString m_before;
};

// Sets a text in full, even one longer than the typing limit: validating it
// would mark the box as invalid and let the next keystroke pass unchecked.
void setWholeText(QLineEdit *edit, const QString &text)
{
    const QValidator *limit = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(text);
    edit->setValidator(limit);
}

// Characters 0 to 32 count as blanks; the no-break space does not.
QString trimControlsAndBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

[[noreturn]] void cannotConvert(const QVariant &value, const char *type)
{
    const QString from =
        value.isNull() ? QStringLiteral("Null") : QString::fromLatin1(value.metaType().name());
    throw ConvertError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                           .arg(from, QLatin1String(type)));
}

// The date a stored Date value names; empty for one that names no day (a
// number beyond the calendar, a text that is no date, Null).
std::optional<QDate> shownDateOf(const QVariant &value)
{
    QDate date;
    if (!value.isNull()) {
        if (value.metaType().id() == QMetaType::QDateTime)
            date = value.toDateTime().date();
        else if (value.canConvert<QDate>())
            date = value.toDate();
    }
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

bool booleanOf(const QVariant &value)
{
    if (value.isNull() || !value.canConvert<bool>())
        cannotConvert(value, "Boolean");
    return value.toBool();
}

QString textOf(const QVariant &value)
{
    if (value.isNull() || !value.canConvert<QString>())
        cannotConvert(value, "String");
    return value.toString();
}

int integerOf(const QVariant &value)
{
    bool ok = false;
    const int number = value.isNull() ? 0 : value.toInt(&ok);
    if (!ok)
        cannotConvert(value, "Integer");
    return number;
}

} // namespace

LockedSpinBox::LockedSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setWrapping(false);
    // Paste from the context menu, drops and input methods end here.
    lineEdit()->setReadOnly(true);
}

void LockedSpinBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        // With Ctrl held the spin box would take ten steps.
        event->setModifiers(Qt::NoModifier);
        QSpinBox::keyPressEvent(event);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // One step at a time only.
        event->ignore();
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        break;
    default:
        if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
            event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
            break;
        if (event->text().isEmpty() || !event->text().at(0).isPrint() ||
            (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            QSpinBox::keyPressEvent(event);
            return;
        }
        break;
    }
    event->accept();
    QApplication::beep();
    emit keyRefused();
}

// One step a notch or a click on an arrow, also with Ctrl held.
void LockedSpinBox::wheelEvent(QWheelEvent *event)
{
    event->setModifiers(Qt::NoModifier);
    QSpinBox::wheelEvent(event);
}

void LockedSpinBox::mousePressEvent(QMouseEvent *event)
{
    event->setModifiers(Qt::NoModifier);
    QSpinBox::mousePressEvent(event);
}

TFrmEdit::TFrmEdit(QWidget *parent) : Form(parent)
{
    createWindow(FrmEdit, &TFrmEdit::createControls, &TFrmEdit::FormCreate);
}

void TFrmEdit::createControls()
{
    // The caption comes with the mode.
    setUpDialog(QStringLiteral("FrmEdit"), QString(), {682, 220});

    auto label = [this](QLabel *&target, const char *name, const QString &text, int left, int top) {
        target = new QLabel(text, this);
        target->setObjectName(QLatin1String(name));
        target->move(left, top);
        target->adjustSize();
    };
    label(Label1, "Label1", QStringLiteral("Год:"), 8, 16);
    label(Label3, "Label3", QStringLiteral("Месяц:"), 136, 16);
    label(Label4, "Label4", QStringLiteral("Число:"), 304, 16);
    label(Label2, "Label2", QStringLiteral("Комментарий:"), 8, 64);
    label(Label5, "Label5", QStringLiteral("Озвучивать дату как:"), 8, 104);

    SpinYear = new LockedSpinBox(this);
    SpinYear->setObjectName(QStringLiteral("SpinYear"));
    SpinYear->setRange(1800, 2400);
    SpinYear->setValue(1800);
    SpinYear->setGeometry(40, 16, 57, 22);

    CmbMonth = new QComboBox(this);
    CmbMonth->setObjectName(QStringLiteral("CmbMonth"));
    CmbMonth->addItems({QStringLiteral("январь"), QStringLiteral("февраль"), QStringLiteral("март"),
                        QStringLiteral("апрель"), QStringLiteral("май"), QStringLiteral("июнь"),
                        QStringLiteral("июль"), QStringLiteral("август"),
                        QStringLiteral("сентябрь"), QStringLiteral("октябрь"),
                        QStringLiteral("ноябрь"), QStringLiteral("декабрь")});
    CmbMonth->setMaxVisibleItems(12);
    CmbMonth->setGeometry(176, 16, 73, 21);

    SpnDay = new LockedSpinBox(this);
    SpnDay->setObjectName(QStringLiteral("SpnDay"));
    SpnDay->setRange(1, 31);
    SpnDay->setValue(1);
    SpnDay->setGeometry(344, 16, 57, 22);

    ChkAnnually = new QCheckBox(QStringLiteral("Напоминать об этой дате ежегодно"), this);
    ChkAnnually->setObjectName(QStringLiteral("ChkAnnually"));
    ChkAnnually->setGeometry(464, 16, 217, 17);

    TxtComment = new QLineEdit(this);
    TxtComment->setObjectName(QStringLiteral("TxtComment"));
    // Not setMaxLength: that would also cut a longer stored comment.
    TxtComment->setValidator(new TypingLimit(TxtComment, commentLimit));
    TxtComment->setGeometry(96, 64, 585, 21);

    CmbMuzSub = new QComboBox(this);
    CmbMuzSub->setObjectName(QStringLiteral("CmbMuzSub"));
    CmbMuzSub->setMaxVisibleItems(11);
    // Styles that drop the list over the box (Fusion) show every item and
    // ignore the count above; a scrolling list keeps it.
    CmbMuzSub->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    CmbMuzSub->setAttribute(Qt::WA_InputMethodEnabled, false);
    CmbMuzSub->setGeometry(136, 104, 385, 21);

    BtnSoundPlay = new QPushButton(QStringLiteral("Прослушать"), this);
    BtnSoundPlay->setObjectName(QStringLiteral("BtnSoundPlay"));
    BtnSoundPlay->setGeometry(544, 104, 129, 17);

    CmdOk = new QPushButton(this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setFont(sansFont(15));
    CmdOk->setGeometry(56, 168, 265, 33);
    setDefaultButton(CmdOk);

    CmdCancel = new QPushButton(QStringLiteral("Отмена"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setFont(sansFont(15));
    CmdCancel->setGeometry(368, 168, 265, 33);
    setCancelButton(CmdCancel);

    const std::pair<QLabel *, QWidget *> buddies[] = {
        {Label1, SpinYear},   {Label3, CmbMonth},  {Label4, SpnDay},
        {Label2, TxtComment}, {Label5, CmbMuzSub},
    };
    for (const auto &[text, control] : buddies) {
        text->setBuddy(control);
        control->setAccessibleName(text->text().chopped(1));
    }
    announceCurrentItem(CmbMonth);
    announceCurrentItem(CmbMuzSub);

    QWidget *const tabOrder[] = {SpinYear,  CmbMonth,     SpnDay, ChkAnnually, TxtComment,
                                 CmbMuzSub, BtnSoundPlay, CmdOk,  CmdCancel};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    connectGuarded(CmdOk, &QPushButton::clicked, this, [this] { CmdOkClick(); });
    connectGuarded(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancelClick(); });
    connectGuarded(BtnSoundPlay, &QPushButton::clicked, this, [this] { BtnSoundPlayClick(); });
}

void TFrmEdit::prepareFor(Mode mode)
{
    m_mode = mode;
    if (mode == Mode::Add) {
        setWindowTitle(QStringLiteral("Добавление данных"));
        CmdOk->setText(QStringLiteral("Добавить"));
    } else {
        setWindowTitle(QStringLiteral("Редактирование данных"));
        CmdOk->setText(QStringLiteral("Ok"));
    }
}

void TFrmEdit::FormCreate()
{
    FillSoundEventList();
}

void TFrmEdit::FillSoundEventList()
{
    CmbMuzSub->clear();
    CmbMuzSub->addItem(QStringLiteral("Не озвучивать"));
    Records::readSoundEvents(MuzikFile, [this](int, const SoundEventRecord &record) {
        CmbMuzSub->addItem(record.name());
    });
    // The first item added became current on its own.
    CmbMuzSub->setCurrentIndex(-1);
}

void TFrmEdit::FormActivate()
{
    if (m_mode == Mode::Edit)
        LoadCurrentRecord();
    else
        SetNewRecordDefaults();
    SpinYear->setFocus();
}

void TFrmEdit::LoadCurrentRecord()
{
    AdoDataSet *dataSet = FrmKarvel->ADODataSet;
    QVariant date;
    bool annually = false;
    QString comment;
    int muzik = 0;
    // Every column is read before a control is set: a row that cannot be
    // read is not offered for editing, so the controls never hold another
    // row's values for Ok to post over it.
    try {
        date = dataSet->fieldValue(QStringLiteral("Date"));
        annually = booleanOf(dataSet->fieldValue(QStringLiteral("Annually")));
        // A missing comment is an empty one, which Ok asks the user to fill.
        const QVariant text = dataSet->fieldValue(QStringLiteral("Commentary"));
        comment = text.isNull() ? QString() : textOf(text);
        muzik = integerOf(dataSet->fieldValue(QStringLiteral("Muzik")));
    } catch (...) {
        close();
        throw;
    }

    const std::optional<QDate> shown = shownDateOf(date);
    if (shown) {
        SpinYear->setValue(shown->year());
        CmbMonth->setCurrentIndex(shown->month() - 1);
        SpnDay->setValue(shown->day());
    } else {
        // Today's year and day, near most dates to be given, and no month,
        // so that Ok refuses the date until the user has chosen one.
        const QDate today = Calendar::today();
        SpinYear->setValue(today.year());
        CmbMonth->setCurrentIndex(-1);
        SpnDay->setValue(today.day());
    }
    ChkAnnually->setChecked(annually);
    setWholeText(TxtComment, comment);
    CmbMuzSub->setCurrentIndex(muzik >= 0 && muzik < CmbMuzSub->count() ? muzik : -1);
    if (!shown)
        dialogs().messageBox(QStringLiteral("Дату этой записи нельзя показать. "
                                            "Укажите год, месяц и число."),
                             warningCaption, MB_OK);
}

void TFrmEdit::SetNewRecordDefaults()
{
    const QDate today = Calendar::today();
    SpinYear->setValue(today.year());
    CmbMonth->setCurrentIndex(today.month() - 1);
    SpnDay->setValue(today.day());
    ChkAnnually->setChecked(true);
    setWholeText(TxtComment, QString());
    CmbMuzSub->setCurrentIndex(0);
}

void TFrmEdit::CmdOkClick()
{
    const int month = CmbMonth->currentIndex() + 1;
    const std::optional<double> date = Calendar::encode(SpinYear->value(), month, SpnDay->value());
    if (!date) {
        dialogs().messageBox(QStringLiteral("Неверно введена дата!"), warningCaption, MB_OKCANCEL);
        return;
    }

    setWholeText(TxtComment, trimControlsAndBlanks(TxtComment->text()));
    if (TxtComment->text().isEmpty()) {
        dialogs().messageBox(QStringLiteral("Необходимо ввести комментарий!"), warningCaption,
                             MB_OK);
        return;
    }

    AdoDataSet *dataSet = FrmKarvel->ADODataSet;
    // After a refused post the row is still pending: OK again retries it
    // rather than starting a second one.
    if (m_mode == Mode::Add && dataSet->state() != AdoDataSet::State::Insert)
        dataSet->append();
    if (m_mode == Mode::Edit && dataSet->state() != AdoDataSet::State::Edit)
        dataSet->edit();

    dataSet->setFieldValue(QStringLiteral("Date"), Calendar::toDate(*date));
    dataSet->setFieldValue(QStringLiteral("PsevdoDate"),
                           Calendar::toDate(*Calendar::encode(2000, month, SpnDay->value())));
    dataSet->setFieldValue(QStringLiteral("Commentary"), TxtComment->text());
    dataSet->setFieldValue(QStringLiteral("Annually"), ChkAnnually->isChecked());
    // No item selected (a stored number outside the list) is stored as no sound.
    dataSet->setFieldValue(QStringLiteral("Muzik"), std::max(CmbMuzSub->currentIndex(), 0));
    dataSet->post();

    FrmKarvel->DBGrid->repaintRows();
    close();
    UpdateEditDeleteButtons();
}

void TFrmEdit::CmdCancelClick()
{
    close();
}

// Esc and the close box end here as well as Cancel, so a row left pending
// by a refused post never stays in the list.
void TFrmEdit::FormClose(CloseAction &)
{
    AbandonPendingRow();
}

void TFrmEdit::AbandonPendingRow()
{
    AdoDataSet *dataSet = FrmKarvel ? FrmKarvel->ADODataSet : nullptr;
    if (dataSet && (dataSet->state() == AdoDataSet::State::Insert ||
                    dataSet->state() == AdoDataSet::State::Edit)) {
        dataSet->cancel();
        FrmKarvel->DBGrid->repaintRows();
    }
}

void TFrmEdit::BtnSoundPlayClick()
{
    const int event = CmbMuzSub->currentIndex();
    if (event <= 0)
        return;
    playSoundSync(Records::readSoundEvent(MuzikFile, event).path());
}
