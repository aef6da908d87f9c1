// The base of every window: a dialog whose activation handler runs once per
// showing, called by the showing itself and never by window-manager focus
// events, so the programs behave the same with or without a window manager.
// Its creation sets the window's global, and its destruction clears it.
#pragma once

#include "guard.h"

#include <QDialog>
#include <functional>

// Where a window's frame goes so that its title bar and top-left corner stay
// on the screen: a frame that fits stays where it was asked to be, moved in
// only as far as the screen needs; along an axis where it is larger than
// the screen it starts at the screen's edge.
QPoint keptOnScreen(const QRect &frame, const QRect &available);
// Moves a top-level window's frame to `topLeft`, as far as keptOnScreen
// lets it go.
void placeOnScreen(QWidget *window, QPoint topLeft);
// Centres a window on the screen, as far as keptOnScreen lets it go.
void centreOnScreen(QWidget *window);

class Form : public QDialog
{
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    // Shows the form modally through the dialog seam.
    void showModal();
    // Shows the form without waiting, then runs its activation.
    void showNonModal();
    // Runs the activation handler, guarded.
    void activate();

    // Outer size of a window with a single border and a title bar: the
    // client area is what the frame leaves.
    void setOuterWidth(int width);
    void setOuterHeight(int height);
    static constexpr int frameWidth = 6;
    static constexpr int frameHeight = 28;

    // What a close request does once the close handler has run.
    enum class CloseAction { Hide, None };

    // The button that answers Esc; without one Esc does nothing.
    void setCancelButton(QPushButton *button) { m_cancelButton = button; }
    // The button that answers Enter. Without one, Enter presses the focused
    // button and nothing else.
    void setDefaultButton(QPushButton *button);

    void reject() override;

protected:
    // The creation every window goes through, called from its constructor:
    // its global is set first, since the creation handler and the windows it
    // reaches may use it; then its controls are made and its creation
    // handler runs, guarded. The global is cleared when the window is
    // destroyed, unless another window has taken it over by then.
    template <typename Window>
    void createWindow(Window *&global, void (Window::*createControls)(),
                      void (Window::*formCreate)() = nullptr)
    {
        auto *window = static_cast<Window *>(this);
        global = window;
        m_releaseGlobal = [&global, window] {
            if (global == window)
                global = nullptr;
        };
        (window->*createControls)();
        if (formCreate)
            guarded([window, formCreate] { (window->*formCreate)(); });
    }

    virtual void FormActivate() {}
    // The close handler: runs on every close request (close box, Alt+F4,
    // close()); it may refuse the close.
    virtual void FormClose(CloseAction &action) { Q_UNUSED(action); }
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // A dialog of a fixed client size, with a title bar, the system menu and
    // the close box only, in the windows' font.
    void setUpDialog(const QString &name, const QString &title, QSize clientSize);
    // Fixed size, centred on the screen.
    void centreOnScreen() { ::centreOnScreen(this); }

private:
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_defaultButton = nullptr;
    std::function<void()> m_releaseGlobal;
};
