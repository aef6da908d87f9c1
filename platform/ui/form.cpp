// The window base: creation with the window's global, one activation per
// showing, outer sizes, Esc, Enter and the close handler.
#include "form.h"

#include "controls.h"
#include "dialogs.h"
#include "guard.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>

Form::Form(QWidget *parent) : QDialog(parent) {}

// Before the controls go, so that nothing they do on the way out finds the
// global still pointing here.
Form::~Form()
{
    if (m_releaseGlobal)
        m_releaseGlobal();
}

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

void Form::setOuterWidth(int width)
{
    setFixedSize(width - frameWidth, height());
}

void Form::setOuterHeight(int height)
{
    setFixedSize(width(), height - frameHeight);
}

void Form::setUpDialog(const QString &name, const QString &title, QSize clientSize)
{
    setObjectName(name);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(sansFont(11));
    setFixedSize(clientSize);
}

QPoint keptOnScreen(const QRect &frame, const QRect &available)
{
    auto kept = [](int start, int length, int screenStart, int screenLength) {
        if (length > screenLength)
            return screenStart;
        return std::clamp(start, screenStart, screenStart + screenLength - length);
    };
    return {kept(frame.x(), frame.width(), available.x(), available.width()),
            kept(frame.y(), frame.height(), available.y(), available.height())};
}

namespace
{

// Before the first showing the window manager has not told the frame's
// size yet: a single border and a title bar stand in for it.
QSize frameSize(const QWidget *window)
{
    QMargins margins;
    if (const QWindow *handle = window->windowHandle())
        margins = handle->frameMargins();
    if (margins.isNull() && !(window->windowFlags() & Qt::FramelessWindowHint))
        margins = QMargins(Form::frameWidth / 2, Form::frameHeight - Form::frameWidth / 2,
                           Form::frameWidth / 2, Form::frameWidth / 2);
    return window->size().grownBy(margins);
}

} // namespace

void placeOnScreen(QWidget *window, QPoint topLeft)
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->move(keptOnScreen(QRect(topLeft, frameSize(window)), screen->availableGeometry()));
}

void centreOnScreen(QWidget *window)
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), window->size());
        frame.moveCenter(screen->availableGeometry().center());
        placeOnScreen(window, frame.topLeft());
    }
}

void Form::setDefaultButton(QPushButton *button)
{
    m_defaultButton = button;
    button->setAutoDefault(true);
    button->setDefault(true);
}

void Form::keyPressEvent(QKeyEvent *event)
{
    // QDialog would make its first button the default one when shown, so
    // that Enter anywhere pressed it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !m_defaultButton) {
        auto *button = qobject_cast<QPushButton *>(focusWidget());
        if (button && button->isEnabled())
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
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
