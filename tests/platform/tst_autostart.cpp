// The autostart store: XDG autostart entries in a temporary configuration
// folder, read back, checked by desktop-file-validate and started by gio
// (GLib's launcher) for odd Program folder names.
#include "autostart.h"
#include "errors.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

// Readable failures for texts.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace
{

const QString valueName = QStringLiteral("Orvista (Orvista) 2");
const QString failedToSet = QStringLiteral("Failed to set data for 'Orvista (Orvista) 2'");

// The message of the RegistryError that writing the entry raises.
QString writeError(const QString &program)
{
    try {
        AutoStart::write(valueName, program);
    } catch (const RegistryError &error) {
        return error.message();
    }
    return QStringLiteral("no error");
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
    EXPECT_EQ(keys["Name"], valueName);
    // A plain path stays plain.
    EXPECT_EQ(keys["Exec"], QStringLiteral("\"/opt/orvista/tolvin\""));
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
    EXPECT_EQ(readEntry(entryFile())["Exec"], QStringLiteral("\"/here/tolvin\""));
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
    EXPECT_EQ(writeError(QStringLiteral("/opt/orvista/tolvin")), failedToSet);
    EXPECT_NO_THROW(AutoStart::remove(valueName));
    EXPECT_FALSE(AutoStart::exists(valueName));
}

TEST_F(AutoStartTest, EntryThatIsAFolderCannotBeWritten)
{
    QDir().mkpath(entryFile());
    EXPECT_TRUE(AutoStart::exists(valueName));
    EXPECT_EQ(writeError(QStringLiteral("/x/tolvin")), failedToSet);
}

// The Program folder names a launcher may misread, each with a stand-in
// reminder that writes the path it was started from beside itself.
TEST_F(AutoStartTest, ValidEntryThatGioStartsForAnyFolderName)
{
    const QString folders[] = {
        QStringLiteral("Напоминания 100%"),
        QStringLiteral("My Programs (x86)"),
        QStringLiteral("%f %% %u 5%"),
        QStringLiteral("a \"quoted\" 'name'"),
        QStringLiteral("$HOME and `date` and $(id)"),
        QStringLiteral("back\\slash\\\\twice"),
        QStringLiteral("it's; a & b | c > d < e ~ * ? # {x} =y !"),
        QStringLiteral("tab\there, new\nline"),
    };
    QTemporaryDir root;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No display and a bus that is not there: gio must not start a bus of its own.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + root.filePath(QStringLiteral("no-bus")));
    const auto run = [&](const QString &program, const QStringList &arguments) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool finished = process.waitForFinished(30000);
        if (!finished)
            process.kill();
        EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0)
            << program.toStdString() << ": " << process.errorString().toStdString();
        return QString::fromLocal8Bit(process.readAll());
    };

    for (const QString &name : folders) {
        SCOPED_TRACE(name.toStdString());
        const QString program = root.path() + QLatin1Char('/') + name + QStringLiteral("/tolvin");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(program).path()));
        QFile stub(program);
        ASSERT_TRUE(stub.open(QIODevice::WriteOnly));
        stub.write("#!/bin/sh\nreadlink -f \"$0\" > \"$0.started\"\n");
        stub.close();
        stub.setPermissions(stub.permissions() | QFile::ExeOwner);

        AutoStart::write(valueName, program);
        EXPECT_EQ(run(QStringLiteral("desktop-file-validate"), {entryFile()}), QString());
        EXPECT_EQ(run(QStringLiteral("gio"), {QStringLiteral("launch"), entryFile()}), QString());
        QFile started(program + QStringLiteral(".started"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return started.size() > 0; }, 10000))
            << readEntryBytes().toStdString();
        ASSERT_TRUE(started.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(started.readAll()),
                  QFileInfo(program).canonicalFilePath() + QLatin1Char('\n'));
    }
}

} // namespace
