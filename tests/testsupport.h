// What the tests share: a scripted stand-in for the dialog seam that records
// every message and never blocks, the log of played sounds, a temporary
// Program folder, and helpers for typing text that QTest::keyClicks cannot
// send.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <deque>
#include <optional>
#include <vector>

#include "controls.h"
#include "dialogs.h"

class QWidget;

struct ShownMessage {
    enum Kind { Message, Error, Confirm, FileChooser, Modal, EndProcess } kind;
    QString text;    // message text, error text, form objectName, chooser title
    QString caption; // caption, or the chooser's folder
    int flags = 0;   // message flags
    QString filter;  // the chooser's filter
};

class ScriptedDialogs : public DialogSeam
{
public:
    static void install();
    static ScriptedDialogs &instance();

    int messageBox(const QString &text, const QString &caption, int flags) override;
    void errorMessage(const QString &text) override;
    bool confirm(const QString &text, const QString &caption) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    void showModal(Form *form) override;
    [[noreturn]] void endProcess(int exitCode) override;

    // Answers for the next confirmations and file choosers; an unscripted
    // one fails the test (and answers Cancel).
    void answerConfirm(bool ok) { m_confirmAnswers.push_back(ok); }
    void answerFile(const QString &path) { m_fileAnswers.push_back(path); }

    // Everything shown since the last take, oldest first.
    std::vector<ShownMessage> take();
    // Texts of messages (kind Message) and errors (kind Error) since the
    // last take.
    QStringList takeTexts();
    void clear();

private:
    std::vector<ShownMessage> m_shown;
    std::deque<bool> m_confirmAnswers;
    std::deque<QString> m_fileAnswers;
};

// What the sound layer started to play since the last clear, in order; an
// empty text stands for the default alert sound. The test main installs it
// as the layer's observer.
namespace SoundLog
{
void install();
QStringList played();
void clear();
} // namespace SoundLog

// A fresh Program folder for one test: a temporary folder, set as the
// folder the programs take for their own; restored when it goes.
class TemporaryProgramFolder
{
public:
    TemporaryProgramFolder();
    ~TemporaryProgramFolder();
    // Ends in "/".
    QString path() const;
    QString file(const QString &name) const { return path() + name; }
    // Copies the empty database the build ships as "Dates.mdb".
    void addEmptyDatabase() const;
    QByteArray read(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
};

// Sends text as key events carrying their characters (Cyrillic included).
void typeText(QWidget *widget, const QString &text);

// A WAV file of a sine tone (16-bit PCM mono, 22050 Hz), and writing one.
QByteArray toneWav(int milliseconds, int hertz = 880);
void writeToneWav(const QString &path, int milliseconds, int hertz = 880);

// One row of TabData for a test.
struct DateRow {
    QVariant date; // QDate, or a day number with a time of day
    QString commentary;
    bool annually;
    QDate pseudo = {}; // when invalid, the one the editor stores
    QVariant muzik = 1;
};

// Appends rows to the Program folder's Dates.mdb as the editor stores them:
// the Pseudo-date is the date's month and day in the year 2000.
void addDateRows(const QString &folder, const std::vector<DateRow> &rows);

// Overwrites three leaf pages of TabData in the middle of the database file
// with bytes that are no page, as a damaged disk leaves them; the indexes
// stay whole. False when the table has too few pages.
bool damageMiddleOfTable(const QString &database);

// What a screen reader is told of a window: the name and the description of
// every accessible object under it, the window's own included.
QStringList accessibleTexts(QWidget *window);
// The column count and the column headers a grid reports to assistive
// technology.
int accessibleColumnCount(QWidget *grid);
QStringList accessibleColumnHeaders(QWidget *grid);

// While it lives, records the accessible name of each cell or item that the
// screen-reader helpers of controls.h announce as focused.
class AnnouncedFocus
{
public:
    AnnouncedFocus();
    ~AnnouncedFocus();
    // What was announced since the last take, oldest first.
    QStringList take();

private:
    QStringList m_names;
    AccessibleNotifier m_previous;
};

// "option.dat" as the tests write it: a password and a Next reminder date,
// every other byte 0x5a, so that a rewrite which does not keep the record
// whole shows.
QByteArray optionBytes(const QString &password, double nextDate);
QByteArray optionBytes(const QString &password, QDate next);
// The Next reminder date in the bytes of "option.dat"; -1 when they are not
// one record.
double nextDateOf(const QByteArray &bytes);

// XDG_CONFIG_HOME and HOME pointed at a temporary folder while it lives, so
// that no test reads or writes the user's own autostart entries; both put
// back as they were when it goes.
class TemporaryConfigHome
{
public:
    TemporaryConfigHome();
    ~TemporaryConfigHome();
    QString path() const { return m_dir.path(); }
    // Points XDG_CONFIG_HOME below a plain file, where no folder can be
    // made, not even by root.
    void block() const;

private:
    QTemporaryDir m_dir;
    std::optional<QByteArray> m_configHome;
    std::optional<QByteArray> m_home;
};
