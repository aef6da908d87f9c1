// The shared record formats: the exact bytes of the default "option.dat" and
// "muzikdan.dat", how existing files are left alone, and reading and writing
// single records in place.
#include "calendar.h"
#include "errors.h"
#include "recordfile.h"
#include "records.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const QByteArray eventPrefix = QByteArray::fromHex("d1eee1fbf2e8e520"); // "Событие "

// A Short string field of `capacity` characters holding these bytes.
QByteArray shortString(const QByteArray &text, int capacity)
{
    return char(text.size()) + text + QByteArray(capacity - text.size(), '\0');
}

QString messageOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const InOutError &e) {
        return e.message();
    }
    return {};
}

// Whether `call` raises the input/output error when run in a forked child
// in which no file may grow past `bytes`, as on a disk that fills up.
bool raisesWithFileSizeLimit(rlim_t bytes, const std::function<void()> &call)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // the write fails instead
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = bytes;
        _exit(setrlimit(RLIMIT_FSIZE, &limit) == 0 && !messageOf(call).isEmpty() ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

class Records : public ::testing::Test
{
protected:
    void SetUp() override { Calendar::setToday(QDate(2024, 2, 29)); }
    void TearDown() override { Calendar::setToday(QDate()); }

    QByteArray bytes(const QString &name) const { return folder.read(name); }

    TemporaryProgramFolder folder;
};

} // namespace

TEST_F(Records, DefaultOptionFile)
{
    ::Records::ensureOptionFile(folder.path());
    // Empty password, zero gap, then 29 February 2024 (day 45351).
    EXPECT_EQ(bytes(QStringLiteral("option.dat")),
              QByteArray(24, '\0') + QByteArray::fromHex("00000000e024e640"));

    const OptionsRecord record = OptionsRecord::defaults();
    EXPECT_EQ(record.password(), QString());
    EXPECT_EQ(record.nextDate(), 45351.0);
}

TEST_F(Records, DefaultMuzikFile)
{
    RecordFileOf<SoundEventRecord> file;
    ::Records::openOrCreateMuzikFile(file, folder.path());
    EXPECT_TRUE(file.isOpen()); // it stays open for the editor's whole run

    const QByteArray all = bytes(QStringLiteral("muzikdan.dat"));
    ASSERT_EQ(all.size(), 5940);
    const QByteArray path = QFile::encodeName(folder.path()) + "sound/sub.wav";
    for (int n = 1; n <= 20; ++n) {
        const QByteArray digits = n < 10 ? "0" + QByteArray::number(n) : QByteArray::number(n);
        const QByteArray expected = shortString(eventPrefix + digits, 40) + shortString(path, 255);
        EXPECT_EQ(all.mid((n - 1) * 297, 297), expected) << "sound event " << n;
    }

    EXPECT_EQ(::Records::readSoundEvent(file, 1).name(), QStringLiteral("Событие 01"));
    EXPECT_EQ(::Records::readSoundEvent(file, 10).name(), QStringLiteral("Событие 10"));
    const SoundEventRecord last = ::Records::readSoundEvent(file, 20);
    EXPECT_EQ(last.name(), QStringLiteral("Событие 20"));
    EXPECT_EQ(last.path(), folder.path() + QStringLiteral("sound/sub.wav"));
}

TEST_F(Records, DefaultSoundPathKeepsFirst255Characters)
{
    const QString longFolder =
        QStringLiteral("/") + QString(300, QChar(u'п')) + QStringLiteral("/");
    const SoundEventRecord record = SoundEventRecord::defaults(3, longFolder);
    EXPECT_EQ(record.path(), longFolder.left(255));
    EXPECT_EQ(record.bytes[41], 255);
}

TEST_F(Records, ExistingFilesAreNeitherReadNorRewritten)
{
    // A 0-byte "option.dat" is kept; only reading its record fails.
    folder.write(QStringLiteral("option.dat"), QByteArray());
    ::Records::ensureOptionFile(folder.path());
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("option.dat"))));
    EXPECT_EQ(bytes(QStringLiteral("option.dat")).size(), 0);

    RecordFileOf<OptionsRecord> option;
    ASSERT_TRUE(option.openQuiet(::Records::optionFileName(folder.path())));
    EXPECT_EQ(messageOf([&] { ::Records::readOptionRec(option); }),
              QStringLiteral("Read beyond end of file"));

    // Odd contents of "muzikdan.dat" are kept too.
    const QByteArray odd(297 * 3 + 5, 'q');
    folder.write(QStringLiteral("muzikdan.dat"), odd);
    RecordFileOf<SoundEventRecord> muzik;
    ::Records::openOrCreateMuzikFile(muzik, folder.path());
    EXPECT_EQ(bytes(QStringLiteral("muzikdan.dat")), odd);
}

TEST_F(Records, ShortAndLongMuzikFiles)
{
    struct Case {
        int records;
        bool event20Reads;
    };
    const Case cases[] = {{19, false}, {20, true}, {21, true}};
    for (const Case &c : cases) {
        QByteArray content;
        for (int n = 1; n <= c.records; ++n)
            content += QByteArray(
                reinterpret_cast<const char *>(SoundEventRecord::defaults(n, "/x/").bytes.data()),
                297);
        folder.write(QStringLiteral("muzikdan.dat"), content);

        RecordFileOf<SoundEventRecord> file;
        ::Records::openOrCreateMuzikFile(file, folder.path());
        for (int n = 1; n <= 19; ++n)
            EXPECT_EQ(::Records::readSoundEvent(file, n).path(),
                      QStringLiteral("/x/sound/sub.wav"));
        if (c.event20Reads) {
            EXPECT_EQ(::Records::readSoundEvent(file, 20).name(), QStringLiteral("Событие 20"));
        } else {
            EXPECT_EQ(messageOf([&] { ::Records::readSoundEvent(file, 20); }),
                      QStringLiteral("Read beyond end of file"));
        }
        EXPECT_EQ(bytes(QStringLiteral("muzikdan.dat")).size(), c.records * 297);
    }
}

TEST_F(Records, FailedCreationRaises)
{
    // A folder named like the file cannot be opened nor replaced.
    QDir(folder.path()).mkdir(QStringLiteral("option.dat"));
    EXPECT_EQ(messageOf([&] { ::Records::ensureOptionFile(folder.path()); }),
              QStringLiteral("File access denied"));

    RecordFileOf<SoundEventRecord> file;
    EXPECT_EQ(messageOf([&] {
                  ::Records::openOrCreateMuzikFile(file, folder.file(QStringLiteral("gone/")));
              }),
              QStringLiteral("Invalid filename"));
    EXPECT_FALSE(file.isOpen());
}

TEST_F(Records, CreationThatCannotBeCompletedLeavesNoFile)
{
    // Room for half an Options record: both creations fail, and neither
    // leaves a short file that every later start would fail to read, nor a
    // file under another name.
    EXPECT_TRUE(raisesWithFileSizeLimit(16, [&] { ::Records::ensureOptionFile(folder.path()); }));
    EXPECT_TRUE(raisesWithFileSizeLimit(16, [&] {
        RecordFileOf<SoundEventRecord> file;
        ::Records::openOrCreateMuzikFile(file, folder.path());
    }));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // With room again the next start creates them whole.
    ::Records::ensureOptionFile(folder.path());
    RecordFileOf<SoundEventRecord> file;
    ::Records::openOrCreateMuzikFile(file, folder.path());
    EXPECT_EQ(bytes(QStringLiteral("muzikdan.dat")).size(), 5940);

    // A file replaced in a failing creation keeps what it held.
    const QByteArray option = bytes(QStringLiteral("option.dat"));
    EXPECT_EQ(option.size(), 32);
    EXPECT_TRUE(raisesWithFileSizeLimit(16, [&] {
        RecordFileOf<OptionsRecord> replaced;
        ::Records::createDefaultOptionFile(replaced, folder.path());
    }));
    EXPECT_EQ(bytes(QStringLiteral("option.dat")), option);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(Records, SetPasswordKeepsTheOtherBytes)
{
    OptionsRecord record;
    record.bytes.fill(0xab);
    record.setPassword(QStringLiteral("Пароль"));
    EXPECT_EQ(record.password(), QStringLiteral("Пароль"));

    QByteArray expected(32, char(0xab));
    expected.replace(0, 7, "\x06" + QByteArray::fromHex("cfe0f0eeebfc"));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(record.bytes.data()), 32), expected);

    // Through the file: the gap and the old characters after the new
    // password come back as they were written.
    RecordFileOf<OptionsRecord> file;
    ::Records::createDefaultOptionFile(file, folder.path());
    ::Records::writeOptionRec(file, record);
    EXPECT_EQ(::Records::readOptionRec(file).bytes, record.bytes);
    EXPECT_EQ(bytes(QStringLiteral("option.dat")), expected);

    record.setPassword(QStringLiteral("twenty-one-characters"));
    EXPECT_EQ(record.password(), QStringLiteral("twenty-one-character"));
    record.setPassword(QString());
    EXPECT_EQ(record.bytes[0], 0);
    EXPECT_EQ(record.password(), QString());
}

TEST_F(Records, CalendarDateRoundTrip)
{
    const QDate dates[] = {QDate(1899, 12, 30), QDate(1899, 12, 31), QDate(1900, 1, 1),
                           QDate(1812, 9, 7),   QDate(2000, 2, 29),  QDate(2024, 2, 29),
                           QDate(9999, 12, 31)};
    RecordFileOf<OptionsRecord> file;
    const OptionsRecord created = ::Records::createDefaultOptionFile(file, folder.path());
    EXPECT_EQ(created.nextDate(), Calendar::fromDate(QDate(2024, 2, 29)));
    for (const QDate &date : dates) {
        OptionsRecord record = created;
        record.setNextDate(Calendar::fromDate(date));
        ::Records::writeOptionRec(file, record);
        const double stored = ::Records::readOptionRec(file).nextDate();
        EXPECT_EQ(stored, std::floor(stored));
        EXPECT_EQ(Calendar::toDate(stored), date) << date.toString().toStdString();
    }
    EXPECT_EQ(bytes(QStringLiteral("option.dat")).size(), 32);
}

TEST_F(Records, WritingOneSoundEventInPlace)
{
    RecordFileOf<SoundEventRecord> file;
    ::Records::openOrCreateMuzikFile(file, folder.path());
    const QByteArray before = bytes(QStringLiteral("muzikdan.dat"));

    SoundEventRecord record = ::Records::readSoundEvent(file, 7);
    record.setName(QStringLiteral("Именины"));
    record.setPath(QStringLiteral("/музыка/вальс.mp3"));
    ::Records::writeSoundEvent(file, 7, record);

    const QByteArray after = bytes(QStringLiteral("muzikdan.dat"));
    ASSERT_EQ(after.size(), 5940);
    EXPECT_EQ(after.left(6 * 297), before.left(6 * 297));
    EXPECT_EQ(after.mid(7 * 297), before.mid(7 * 297));
    const SoundEventRecord back = ::Records::readSoundEvent(file, 7);
    EXPECT_EQ(back.name(), QStringLiteral("Именины"));
    EXPECT_EQ(back.path(), QStringLiteral("/музыка/вальс.mp3"));
}
