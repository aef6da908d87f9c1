// Password boxes: how the windows make them, and what screen readers are
// told of them, which must never be what is typed.
#pragma once

class QLineEdit;
class QObject;
class QWidget;

// A line edit that shows a star for each character, in the windows' bold
// 16-pixel font, takes at most `maxLength` characters and only those that
// Windows-1251 holds (the password is stored in a record file).
QLineEdit *makePasswordBox(QWidget *parent, int maxLength);

// A line edit that hides its text.
bool isPasswordBox(const QObject *object);

// Qt 6.4: a line edit with hidden echo hands its plain text to its text
// events (inserted, removed, replaced) while its queries already hide it.
// Installs, once for the application, a filter on every accessibility event
// that sends such a text on as stars, one a character, so that a screen
// reader can say that something was typed or deleted but never what. The
// filter passes every event on to the handler installed before it, or to
// Qt's own bridge when there was none.
void installPasswordEventMask();
