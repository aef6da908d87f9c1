// The one seam through which the programs show message boxes, the default
// error message and modal windows, and end the process. Tests put a scripted
// stand-in in its place, so no handler ever blocks a test.
#pragma once

#include <QString>

class QWidget;
class Form;

// Flags of the programs' own message boxes.
enum MessageFlags { MB_OK = 0, MB_OKCANCEL = 1 };
// What a message box answers.
enum MessageAnswer { IDOK = 1, IDCANCEL = 2 };

class DialogSeam
{
public:
    virtual ~DialogSeam() = default;

    // The programs' own message: text, caption, no icon; flags MB_OK or
    // MB_OKCANCEL.
    virtual int messageBox(const QString &text, const QString &caption, int flags) = 0;
    // The default error message; `text` already carries its full stop.
    virtual void errorMessage(const QString &text) = 0;
    // A confirmation with OK and Cancel and a question icon; true for OK.
    virtual bool confirm(const QString &text, const QString &caption) = 0;
    // The file-open chooser; an empty text when it was cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    // Shows a form modally: its activation runs once, then the call waits
    // until the form is hidden.
    virtual void showModal(Form *form) = 0;
    // Ends the process with this exit code; nothing after the call runs.
    // The real seam first runs the steps given to runAtProcessEnd.
    [[noreturn]] virtual void endProcess(int exitCode) = 0;
};

// Adds a step that the real endProcess runs before the process ends, such
// as the sound layer's shutdown, which halts what plays and closes the
// device. Steps run newest first, each once; they must not show anything.
void runAtProcessEnd(void (*step)());

DialogSeam &dialogs();
// Replaces the seam (tests); nullptr restores the real one.
void setDialogs(DialogSeam *seam);

// The application title: caption of the default error message.
inline QString applicationTitle()
{
    return QStringLiteral("Orvista 2");
}

// The default error message's text: a full stop is appended when the text
// is not empty and its last character's code is greater than that of ".".
QString errorMessageText(const QString &text);

// Shows an error with the default error message.
void showDefaultError(const QString &text);
