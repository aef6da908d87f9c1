// The scripted dialog seam, the log of played sounds, temporary Program
// folders and the small makers of test data.
#include "testsupport.h"

#include "adoconnection.h"
#include "adodataset.h"
#include "calendar.h"
#include "connectionstring.h"
#include "errors.h"
#include "form.h"
#include "mediaplayer.h"
#include "programfolder.h"
#include "records.h"
#include "wavwriter.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <utility>

void ScriptedDialogs::install()
{
    setDialogs(&instance());
}

ScriptedDialogs &ScriptedDialogs::instance()
{
    static ScriptedDialogs dialogs;
    return dialogs;
}

int ScriptedDialogs::messageBox(const QString &text, const QString &caption, int flags)
{
    m_shown.push_back({ShownMessage::Message, text, caption, flags, {}});
    return IDOK;
}

void ScriptedDialogs::errorMessage(const QString &text)
{
    m_shown.push_back({ShownMessage::Error, text, applicationTitle(), 0, {}});
}

bool ScriptedDialogs::confirm(const QString &text, const QString &caption)
{
    m_shown.push_back({ShownMessage::Confirm, text, caption, 0, {}});
    if (m_confirmAnswers.empty()) {
        ADD_FAILURE() << "unexpected confirmation: " << text.toStdString();
        return false;
    }
    const bool answer = m_confirmAnswers.front();
    m_confirmAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::openFileName(QWidget *, const QString &title, const QString &folder,
                                      const QString &filter)
{
    m_shown.push_back({ShownMessage::FileChooser, title, folder, 0, filter});
    if (m_fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file chooser: " << title.toStdString();
        return {};
    }
    const QString answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::showModal(Form *form)
{
    m_shown.push_back({ShownMessage::Modal, form->objectName(), {}, 0, {}});
    form->show();
    form->activate();
}

void ScriptedDialogs::endProcess(int exitCode)
{
    m_shown.push_back({ShownMessage::EndProcess, QString::number(exitCode), {}, 0, {}});
    throw ProcessEnded(exitCode);
}

std::vector<ShownMessage> ScriptedDialogs::take()
{
    std::vector<ShownMessage> shown;
    shown.swap(m_shown);
    return shown;
}

QStringList ScriptedDialogs::takeTexts()
{
    QStringList texts;
    for (const ShownMessage &m : take())
        if (m.kind == ShownMessage::Message || m.kind == ShownMessage::Error)
            texts << m.text;
    return texts;
}

void ScriptedDialogs::clear()
{
    m_shown.clear();
    m_confirmAnswers.clear();
    m_fileAnswers.clear();
}

namespace SoundLog
{
namespace
{
QStringList playedFiles;
}

void install()
{
    setPlayObserver([](const QString &fileName) { playedFiles.append(fileName); });
}

QStringList played()
{
    return playedFiles;
}

void clear()
{
    playedFiles.clear();
}

} // namespace SoundLog

TemporaryProgramFolder::TemporaryProgramFolder()
{
    ProgramFolder::setOverride(m_dir.path());
}

TemporaryProgramFolder::~TemporaryProgramFolder()
{
    ProgramFolder::setOverride(QString());
}

QString TemporaryProgramFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

void TemporaryProgramFolder::addEmptyDatabase() const
{
    QFile::remove(file(QStringLiteral("Dates.mdb")));
    QFile::copy(QStringLiteral(ORVISTA_PROGRAM_DIR "/Dates.mdb"),
                file(QStringLiteral("Dates.mdb")));
    QFile::setPermissions(file(QStringLiteral("Dates.mdb")), QFile::ReadOwner | QFile::WriteOwner);
}

QByteArray TemporaryProgramFolder::read(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TemporaryProgramFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
}

QByteArray toneWav(int milliseconds, int hertz)
{
    const int rate = 22050;
    std::vector<std::int16_t> samples(std::size_t(rate * milliseconds / 1000));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::int16_t(8000 * std::sin(2 * M_PI * hertz * double(i) / rate));
    return QByteArray::fromStdString(Wav::monoPcm16(samples, rate));
}

void writeToneWav(const QString &path, int milliseconds, int hertz)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(toneWav(milliseconds, hertz));
}

void addDateRows(const QString &folder, const std::vector<DateRow> &rows)
{
    AdoConnection connection;
    connection.setConnectionString(datesConnectionString(folder + QStringLiteral("Dates.mdb")));
    connection.open();
    AdoDataSet set;
    set.setConnection(&connection);
    set.setCommandText(
        QStringLiteral("SELECT Date, Commentary, Annually, PsevdoDate, Muzik FROM TabData"));
    set.open();
    for (const DateRow &row : rows) {
        const QDate date = row.date.typeId() == QMetaType::QDate
                               ? row.date.toDate()
                               : Calendar::toDate(row.date.toDouble());
        set.append();
        set.setFieldValue(QStringLiteral("Date"), row.date);
        set.setFieldValue(QStringLiteral("Commentary"), row.commentary);
        set.setFieldValue(QStringLiteral("Annually"), row.annually);
        set.setFieldValue(QStringLiteral("PsevdoDate"),
                          row.pseudo.isValid() ? row.pseudo
                                               : QDate(2000, date.month(), date.day()));
        set.setFieldValue(QStringLiteral("Muzik"), row.muzik);
        set.post();
    }
    set.close();
    connection.close();
}

bool damageMiddleOfTable(const QString &database)
{
    sqlite3 *db = nullptr;
    sqlite3_open(database.toUtf8().constData(), &db);
    // Everything into the main file first; the -wal goes when the last
    // connection closes.
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    std::vector<qint64> pages;
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT pageno FROM dbstat WHERE name = 'TabData' AND pagetype = 'leaf' "
                       "ORDER BY pageno",
                       -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        pages.push_back(sqlite3_column_int64(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &stmt, nullptr);
    const qint64 pageSize = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    if (pages.size() < 9 || pageSize <= 0)
        return false;
    QFile file(database);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    for (std::size_t i = pages.size() / 2; i < pages.size() / 2 + 3; ++i) {
        file.seek((pages[i] - 1) * pageSize);
        file.write(QByteArray(pageSize, '\xa5'));
    }
    return true;
}

namespace
{
void collectAccessibleTexts(QAccessibleInterface *object, QStringList &texts)
{
    if (!object || !object->isValid())
        return;
    for (QAccessible::Text kind : {QAccessible::Name, QAccessible::Description}) {
        const QString text = object->text(kind);
        if (!text.isEmpty())
            texts << text;
    }
    for (int child = 0; child < object->childCount(); ++child)
        collectAccessibleTexts(object->child(child), texts);
}
} // namespace

QStringList accessibleTexts(QWidget *window)
{
    QStringList texts;
    collectAccessibleTexts(QAccessible::queryAccessibleInterface(window), texts);
    return texts;
}

int accessibleColumnCount(QWidget *grid)
{
    QAccessibleInterface *object = QAccessible::queryAccessibleInterface(grid);
    return object && object->tableInterface() ? object->tableInterface()->columnCount() : -1;
}

QStringList accessibleColumnHeaders(QWidget *grid)
{
    QStringList headers;
    QAccessibleInterface *object = QAccessible::queryAccessibleInterface(grid);
    for (int child = 0; object && child < object->childCount(); ++child) {
        QAccessibleInterface *cell = object->child(child);
        if (cell && cell->role() == QAccessible::ColumnHeader)
            headers << cell->text(QAccessible::Name);
    }
    return headers;
}

AnnouncedFocus::AnnouncedFocus()
    : m_previous(setAccessibleNotifier([this](QAccessibleEvent *event) {
          EXPECT_EQ(event->type(), QAccessible::Focus);
          m_names << event->accessibleInterface()->text(QAccessible::Name);
      }))
{
}

AnnouncedFocus::~AnnouncedFocus()
{
    setAccessibleNotifier(std::move(m_previous));
}

QStringList AnnouncedFocus::take()
{
    return std::exchange(m_names, {});
}

QByteArray optionBytes(const QString &password, double nextDate)
{
    OptionsRecord record;
    record.bytes.fill(0x5a);
    record.setPassword(password);
    record.setNextDate(nextDate);
    return QByteArray(reinterpret_cast<const char *>(record.bytes.data()), OptionsRecord::size);
}

QByteArray optionBytes(const QString &password, QDate next)
{
    return optionBytes(password, Calendar::fromDate(next));
}

double nextDateOf(const QByteArray &bytes)
{
    if (bytes.size() != qsizetype(OptionsRecord::size))
        return -1;
    OptionsRecord record;
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
    return record.nextDate();
}

namespace
{
std::optional<QByteArray> takeVariable(const char *name, const QString &value)
{
    const std::optional<QByteArray> saved =
        qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    qputenv(name, QFile::encodeName(value));
    return saved;
}

void putBack(const char *name, const std::optional<QByteArray> &saved)
{
    if (saved)
        qputenv(name, *saved);
    else
        qunsetenv(name);
}
} // namespace

TemporaryConfigHome::TemporaryConfigHome()
    : m_configHome(takeVariable("XDG_CONFIG_HOME", m_dir.path())),
      m_home(takeVariable("HOME", m_dir.path()))
{
}

TemporaryConfigHome::~TemporaryConfigHome()
{
    putBack("XDG_CONFIG_HOME", m_configHome);
    putBack("HOME", m_home);
}

void TemporaryConfigHome::block() const
{
    QFile blocker(m_dir.filePath(QStringLiteral("file")));
    EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker.fileName() + QStringLiteral("/below")));
}
