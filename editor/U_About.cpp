// The about window. OK is its only Tab stop and its default button; it has
// no cancel button, so Escape leaves it open.
#include "U_About.h"

#include "controls.h"
#include "theme.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TFrmAbout *FrmAbout = nullptr;

namespace
{

const QString description = QStringLiteral(
    "Программа «Orvista (Orvista) 2» напоминает пользователям ПК о наступлении памятных "
    "дат: дня рождения родственника или знакомого, праздника или любого другого дня, о "
    "котором пользователю нужно напомнить. Пользователь сам вводит эти даты и комментарии "
    "к ним, а также может их редактировать и удалять. Когда такая дата наступает, "
    "программа сообщает о ней при входе в систему. Программа создана с учётом требований "
    "и пожеланий пользователей с ослабленным зрением.");

// A label at its place, at least as wide and high as the given size and
// never narrower than its text in the substitute font.
QLabel *fixedLabel(const QString &text, QWidget *parent, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->resize(label->size().expandedTo(label->sizeHint()));
    return label;
}

} // namespace

TFrmAbout::TFrmAbout(QWidget *parent) : Form(parent)
{
    createWindow(FrmAbout, &TFrmAbout::createControls);
}

void TFrmAbout::createControls()
{
    setUpDialog(QStringLiteral("FrmAbout"), QStringLiteral("О программе"), {327, 331});

    // A raised inner and a lowered outer bevel: an etched groove.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 313, 281);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    ProductName = fixedLabel(QStringLiteral("Orvista (Orvista) 2"), Panel1, {104, 16, 169, 13});
    ProductName->setObjectName(QStringLiteral("ProductName"));

    Label4 = fixedLabel(QStringLiteral("Версия:  2.1"), Panel1, {104, 32, 61, 13});
    Label4->setObjectName(QStringLiteral("Label4"));

    Memo1 = new QPlainTextEdit(description, Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 120, 297, 73);
    Memo1->setReadOnly(true);
    // Tab passes it by; a click may still put the focus there to read it.
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setFont(sansFont(11));
    setButtonFaceBackground(Memo1, QPalette::Base);
    Memo1->setAccessibleName(QStringLiteral("Описание программы"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(43, 300, 241, 29);
    setDefaultButton(OKButton);
    // The window is only hidden, so it can be shown again.
    connect(OKButton, &QPushButton::clicked, this, &QWidget::close);
}
