// The autostart store: XDG autostart entries in a temporary configuration
// folder, read back with a parser of the desktop entry format written here
// from that format's rules, independent of the writer's quoting.
#include "autostart.h"
#include "errors.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <ostream>

// Readable failures for texts and lists of texts.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace
{

const QString valueName = QStringLiteral("Orvista (Orvista) 2");

// The string escapes of a desktop entry value: \s \n \t \r \\.
QString unescapeString(const QString &value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            text += u' ';
        else if (next == u'n')
            text += u'\n';
        else if (next == u't')
            text += u'\t';
        else if (next == u'r')
            text += u'\r';
        else if (next == u'\\')
            text += u'\\';
        else
            text += QLatin1Char('\\') + next;
    }
    return text;
}

// Splits an unescaped Exec value into arguments: blanks separate them,
// double quotes group them, and inside quotes a backslash takes ", `, $ or
// \ literally. A bare reserved character or a dangling quote is an error.
std::optional<QStringList> splitExec(const QString &exec)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == u' ') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == u'"') {
            inArgument = true;
            for (++i;; ++i) {
                if (i >= exec.size())
                    return std::nullopt;
                if (exec[i] == u'"')
                    break;
                if (exec[i] == u'\\') {
                    if (i + 1 >= exec.size() || !QStringLiteral("\"`$\\").contains(exec[i + 1]))
                        return std::nullopt;
                    ++i;
                } else if (exec[i] == u'"' || exec[i] == u'`' || exec[i] == u'$') {
                    return std::nullopt;
                }
                current += exec[i];
            }
        } else if (QStringLiteral("\t\n'\\><~|&;$*?#()`").contains(c)) {
            return std::nullopt;
        } else {
            inArgument = true;
            current += c;
        }
    }
    if (inArgument)
        arguments << current;
    // %% is a literal percent sign; any other field code would be expanded.
    for (QString &argument : arguments) {
        QString plain;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            if (argument[i] == u'%') {
                if (i + 1 >= argument.size() || argument[i + 1] != u'%')
                    return std::nullopt;
                ++i;
            }
            plain += argument[i];
        }
        argument = plain;
    }
    return arguments;
}

// The keys of the [Desktop Entry] group of a file.
std::map<QString, QString> readEntry(const QString &path)
{
    QFile file(path);
    std::map<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    bool inGroup = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(u'['))
            inGroup = line == QStringLiteral("[Desktop Entry]");
        else if (inGroup && line.contains(u'='))
            keys[line.section(u'=', 0, 0)] = line.section(u'=', 1);
    }
    return keys;
}

class AutoStartTest : public ::testing::Test
{
protected:
    QString entryFile() const { return m_config.path() + "/autostart/" + valueName + ".desktop"; }
    QByteArray readEntryBytes() const
    {
        QFile file(entryFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeEntryBytes(const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(entryFile()).path());
        QFile file(entryFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    TemporaryConfigHome m_config;
};

TEST_F(AutoStartTest, FolderFollowsConfigHome)
{
    EXPECT_EQ(AutoStart::folder(), m_config.path() + "/autostart");
    EXPECT_EQ(AutoStart::entryPath(valueName), entryFile());

    // A relative or empty XDG_CONFIG_HOME is not a base directory.
    for (const char *ignored : {"relative/config", ""}) {
        qputenv("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(AutoStart::folder(), QDir::homePath() + "/.config/autostart") << ignored;
    }
}

TEST_F(AutoStartTest, AddExistsDeleteCycle)
{
    EXPECT_FALSE(AutoStart::exists(valueName));
    // Deleting what is not there reports nothing.
    EXPECT_NO_THROW(AutoStart::remove(valueName));

    // The autostart folder itself is missing at first.
    ASSERT_FALSE(QFileInfo::exists(AutoStart::folder()));
    AutoStart::write(valueName, QStringLiteral("/opt/orvista/tolvin"));
    EXPECT_TRUE(AutoStart::exists(valueName));

    auto keys = readEntry(entryFile());
    EXPECT_EQ(keys["Type"], QStringLiteral("Application"));
    EXPECT_EQ(unescapeString(keys["Name"]), valueName);
    EXPECT_EQ(splitExec(unescapeString(keys["Exec"])),
              QStringList{QStringLiteral("/opt/orvista/tolvin")});
    EXPECT_NE(keys["Hidden"], QStringLiteral("true"));

    AutoStart::remove(valueName);
    EXPECT_FALSE(AutoStart::exists(valueName));
    EXPECT_FALSE(QFileInfo::exists(entryFile()));
}

TEST_F(AutoStartTest, ForeignEntryCountsAndIsOnlyReplacedByWrite)
{
    const QByteArray foreign = "[Desktop Entry]\nType=Application\nExec=/elsewhere/tolvin\n";
    writeEntryBytes(foreign);
    EXPECT_TRUE(AutoStart::exists(valueName));
    EXPECT_EQ(readEntryBytes(), foreign);

    // Whatever the file holds, even nothing, it is the entry.
    writeEntryBytes(QByteArray());
    EXPECT_TRUE(AutoStart::exists(valueName));

    AutoStart::write(valueName, QStringLiteral("/here/tolvin"));
    EXPECT_EQ(splitExec(unescapeString(readEntry(entryFile())["Exec"])),
              QStringList{QStringLiteral("/here/tolvin")});
}

TEST_F(AutoStartTest, EntrySwitchedOffByTheDesktopCountsAsAbsent)
{
    // A session skips such an entry at logon, so it must not count.
    struct Case {
        const char *entry;
        bool exists;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nExec=/x/tolvin\nHidden=true\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\nExec=/x/tolvin\n", false},
        {"[Desktop Entry]\r\nHidden = true\r\n", false},
        {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n", true},
        {"[Desktop Entry]\nExec=/x/tolvin\n[Desktop Action Off]\nHidden=true\n", true},
        {"# Hidden=true\n[Desktop Entry]\nExec=/x/tolvin\n", true},
    };
    for (const Case &c : cases) {
        writeEntryBytes(c.entry);
        EXPECT_EQ(AutoStart::exists(valueName), c.exists) << c.entry;
    }
}

TEST_F(AutoStartTest, DanglingLinkCountsAsEntry)
{
    QDir().mkpath(AutoStart::folder());
    ASSERT_TRUE(QFile::link(m_config.path() + "/nowhere", entryFile()));
    EXPECT_TRUE(AutoStart::exists(valueName));
    AutoStart::remove(valueName);
    EXPECT_FALSE(AutoStart::exists(valueName));
}

TEST_F(AutoStartTest, FolderThatCannotBeCreatedRaisesRegistryError)
{
    m_config.block();

    EXPECT_FALSE(AutoStart::exists(valueName));
    try {
        AutoStart::write(valueName, QStringLiteral("/opt/orvista/tolvin"));
        FAIL() << "no error raised";
    } catch (const RegistryError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("Failed to set data for 'Orvista (Orvista) 2'"));
    }
    EXPECT_NO_THROW(AutoStart::remove(valueName));
    EXPECT_FALSE(AutoStart::exists(valueName));
}

TEST_F(AutoStartTest, EntryThatIsAFolderCannotBeWritten)
{
    QDir().mkpath(entryFile());
    EXPECT_TRUE(AutoStart::exists(valueName));
    EXPECT_THROW(AutoStart::write(valueName, QStringLiteral("/x/tolvin")), RegistryError);
}

TEST_F(AutoStartTest, ExecParsesBackToTheProgramPath)
{
    const QString programs[] = {
        QStringLiteral("/opt/Orvista 2/tolvin"),
        QStringLiteral("/home/user/My Programs/Orvista (Orvista) 2/tolvin"),
        QStringLiteral("/home/юзер/Мои программы/tolvin"),
        QStringLiteral("/tmp/a \"quoted\" name/tolvin"),
        QStringLiteral("/tmp/$HOME and `date`/tolvin"),
        QStringLiteral("/tmp/back\\slash\\\\twice/tolvin"),
        QStringLiteral("/tmp/100% %f %%/tolvin"),
        QStringLiteral("/tmp/it's; a & b | c > d < e ~ * ? # /tolvin"),
        QStringLiteral("/tmp/tab\there/new\nline/tolvin"),
        QStringLiteral("/tmp/  two  blanks  /tolvin"),
    };
    for (const QString &program : programs) {
        SCOPED_TRACE(program.toStdString());
        AutoStart::write(valueName, program);
        const QString exec = readEntry(entryFile())["Exec"];
        // The line stays one line of the file.
        EXPECT_FALSE(exec.contains(u'\n'));
        const auto arguments = splitExec(unescapeString(exec));
        ASSERT_TRUE(arguments.has_value()) << exec.toStdString();
        EXPECT_EQ(*arguments, QStringList{program});
    }
}

} // namespace
