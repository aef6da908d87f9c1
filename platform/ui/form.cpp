#include "form.h"

#include "dialogs.h"
#include "guard.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

Form::Form(QWidget *parent) : QDialog(parent) {}

void Form::showModal()
{
    centreOnScreen();
    dialogs().showModal(this);
}

void Form::showNonModal()
{
    centreOnScreen();
    show();
    activate();
}

void Form::activate()
{
    guarded([this] { FormActivate(); });
}

void Form::setOuterSize(int width, int height)
{
    setFixedSize(width - frameWidth, height - frameHeight);
}

void Form::setOuterWidth(int width)
{
    setFixedSize(width - frameWidth, height());
}

void Form::setOuterHeight(int height)
{
    setFixedSize(width(), height - frameHeight);
}

void Form::centreOnScreen()
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Form::setDefaultButton(QPushButton *button)
{
    button->setAutoDefault(true);
    button->setDefault(true);
}

void Form::reject()
{
    if (m_cancelButton && m_cancelButton->isEnabled())
        m_cancelButton->click();
}

void Form::closeEvent(QCloseEvent *event)
{
    CloseAction action = CloseAction::Hide;
    guarded([&] { FormClose(action); });
    if (action == CloseAction::None) {
        event->ignore();
        return;
    }
    // QDialog's own close would call reject(), which here means Esc.
    QWidget::closeEvent(event);
}
