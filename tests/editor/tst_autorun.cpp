// The editor's autostart operations: the entry's name, the reminder of the
// Program folder as its program, and the error when it cannot be written.
#include "U_Karvel.h"
#include "autorun.h"
#include "autostart.h"
#include "errors.h"
#include "guard.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

class AutoRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ScriptedDialogs::instance().clear();
        ProgramPath = QStringLiteral("/opt/My Programs/Orvista 2/");
    }
    void TearDown() override { ProgramPath.clear(); }
    QString entryFile() const
    {
        return m_config.path() + QStringLiteral("/autostart/Orvista (Orvista) 2.desktop");
    }
    QByteArray execLine() const
    {
        QFile file(entryFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        for (const QByteArray &line : file.readAll().split('\n'))
            if (line.startsWith("Exec="))
                return line.mid(5);
        return {};
    }

    TemporaryConfigHome m_config;
};

TEST_F(AutoRunTest, AddExistsDelete)
{
    EXPECT_FALSE(AutoRunValueExists());
    AddAutoRunValue();
    EXPECT_TRUE(AutoRunValueExists());
    EXPECT_EQ(execLine(),
              AutoStart::execValue(QStringLiteral("/opt/My Programs/Orvista 2/tolvin")).toUtf8());
    EXPECT_EQ(execLine(), QByteArray("\"/opt/My Programs/Orvista 2/tolvin\""));

    DeleteAutoRunValue();
    EXPECT_FALSE(AutoRunValueExists());
    EXPECT_FALSE(QFile::exists(entryFile()));
    DeleteAutoRunValue();
    EXPECT_FALSE(AutoRunValueExists());
}

TEST_F(AutoRunTest, AddReplacesAnEntryOfThatName)
{
    // Ours as the previous version wrote it for a folder with a percent
    // sign, which GLib never started: it counts, and Add rewrites it.
    QDir().mkpath(m_config.path() + QStringLiteral("/autostart"));
    QFile other(entryFile());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("[Desktop Entry]\nType=Application\nName=Orvista (Orvista) 2\n"
                "Exec=\"/opt/Напоминания 100%%/tolvin\"\nTerminal=false\n");
    other.close();
    EXPECT_TRUE(AutoRunValueExists());

    AddAutoRunValue();
    EXPECT_EQ(execLine(), QByteArray("\"/opt/My Programs/Orvista 2/tolvin\""));
}

TEST_F(AutoRunTest, UnwritableFolderShowsTheRegistryError)
{
    m_config.block();

    EXPECT_FALSE(AutoRunValueExists());
    // As a handler shows it: the text ends in a quote, so no full stop.
    guarded([] { AddAutoRunValue(); });
    EXPECT_EQ(ScriptedDialogs::instance().takeTexts(),
              QStringList{QStringLiteral("Failed to set data for 'Orvista (Orvista) 2'")});
    EXPECT_NO_THROW(DeleteAutoRunValue());
}

} // namespace
