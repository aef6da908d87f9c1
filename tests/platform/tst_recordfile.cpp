// Record files: opening, creating, positioning, reading and writing whole
// records, and the input/output error each failure raises. Cases that need
// an ordinary user or a lower limit run in a forked child.
#include "errors.h"
#include "recordfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr std::size_t recordSize = 32;

QByteArray record(char fill)
{
    return QByteArray(recordSize, fill);
}

// The code of the InOutError the call raises; 0 when it raises none.
int errorCode(const std::function<void()> &call)
{
    try {
        call();
    } catch (const InOutError &e) {
        return e.code();
    }
    return 0;
}

// Runs `body` in a forked child and returns its exit status; only plain
// system calls and the record file run there.
int inChild(const std::function<int()> &body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// As inChild, but as the unprivileged user "nobody", for whom file
// permissions hold even when the tests run as root.
int asUnprivileged(const std::function<int()> &body)
{
    return inChild([&] {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            return 99;
        return body();
    });
}

} // namespace

TEST(RecordFile, ErrorMessages)
{
    struct Case {
        int code;
        const char *message;
    };
    const Case cases[] = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {103, "I/O error 103"},
        {32, "I/O error 32"},
    };
    for (const Case &c : cases) {
        const InOutError error(c.code);
        EXPECT_EQ(error.code(), c.code);
        EXPECT_EQ(error.message(), QString::fromLatin1(c.message));
    }
}

TEST(RecordFile, ErrnoMapping)
{
    // Code 0: an errno without a code of the record files' own, which must
    // read as the system's text, never as one of the record files' messages
    // (errno 100, 101 and 103 share those codes' numbers).
    struct Case {
        int err;
        int code;
        const char *message;
    };
    const Case cases[] = {
        {ENOENT, 2, "File not found"},
        {ENOTDIR, 3, "Invalid filename"},
        {EMFILE, 4, "Too many open files"},
        {ENFILE, 4, "Too many open files"},
        {EACCES, 5, "File access denied"},
        {EPERM, 5, "File access denied"},
        {EROFS, 5, "File access denied"},
        {EISDIR, 5, "File access denied"},
        {ENOSPC, 101, "Disk full"},
        {EDQUOT, 101, "Disk full"},
        {EIO, 0, nullptr},
        {EBUSY, 0, nullptr},
        {EINVAL, 0, nullptr},
        {100, 0, nullptr},
        {101, 0, nullptr},
        {103, 0, nullptr},
    };
    const std::set<int> ownCodes = {2, 3, 4, 5, 100, 101, 103};
    for (const Case &c : cases) {
        const InOutError error(RecordFile::codeForErrno(c.err));
        if (c.code != 0) {
            EXPECT_EQ(error.code(), c.code) << "errno " << c.err;
            EXPECT_EQ(error.message(), QString::fromLatin1(c.message)) << "errno " << c.err;
        } else {
            EXPECT_FALSE(ownCodes.contains(error.code())) << "errno " << c.err;
            EXPECT_EQ(error.message(), QString::fromLocal8Bit(std::strerror(c.err)))
                << "errno " << c.err;
        }
    }
}

TEST(RecordFile, WritesAndReadsWholeRecordsInOrder)
{
    TemporaryProgramFolder folder;
    const QString name = folder.file(QStringLiteral("data.dat"));
    {
        RecordFile file(recordSize);
        file.create(name);
        EXPECT_TRUE(file.isOpen());
        file.write(record('a').constData());
        file.write(record('b').constData()); // the position moved on by one record
        file.seek(4);                        // past the end: accepted, the write extends
        file.write(record('e').constData());
        file.close();
        EXPECT_FALSE(file.isOpen());
    }
    const QByteArray bytes = folder.read(QStringLiteral("data.dat"));
    ASSERT_EQ(bytes.size(), 5 * int(recordSize));
    EXPECT_EQ(bytes.left(64), record('a') + record('b'));
    EXPECT_EQ(bytes.mid(64, 64), QByteArray(64, '\0'));
    EXPECT_EQ(bytes.mid(128), record('e'));

    RecordFile file(recordSize);
    ASSERT_TRUE(file.openQuiet(name));
    QByteArray buffer(recordSize, '\0');
    file.read(buffer.data()); // opening positions at record 0
    EXPECT_EQ(buffer, record('a'));
    file.read(buffer.data());
    EXPECT_EQ(buffer, record('b'));
    file.seek(4);
    file.read(buffer.data());
    EXPECT_EQ(buffer, record('e'));
    file.seek(1);
    file.write(record('B').constData());
    file.seek(1);
    file.read(buffer.data());
    EXPECT_EQ(buffer, record('B'));
}

TEST(RecordFile, ReadingPastTheEndFails)
{
    TemporaryProgramFolder folder;
    folder.write(QStringLiteral("short.dat"), record('x') + QByteArray(10, 'y'));
    RecordFile file(recordSize);
    ASSERT_TRUE(file.openQuiet(folder.file(QStringLiteral("short.dat"))));
    QByteArray buffer(recordSize, '\0');
    file.read(buffer.data());

    // A partial record and a position far beyond the end both read short.
    EXPECT_EQ(errorCode([&] { file.read(buffer.data()); }), 100);
    EXPECT_NO_THROW(file.seek(25));
    EXPECT_EQ(errorCode([&] { file.read(buffer.data()); }), 100);
    EXPECT_EQ(errorCode([&] { file.seek(-1); }), InOutError::systemCode(EINVAL));
    // A failed reading leaves the file open and usable.
    file.seek(0);
    EXPECT_NO_THROW(file.read(buffer.data()));
}

TEST(RecordFile, CreateReplacesAnExistingFile)
{
    TemporaryProgramFolder folder;
    folder.write(QStringLiteral("old.dat"), QByteArray(1000, 'o'));
    RecordFile file(recordSize);
    // It tells a replaced file from a new one.
    EXPECT_FALSE(file.create(folder.file(QStringLiteral("old.dat"))));
    EXPECT_EQ(folder.read(QStringLiteral("old.dat")).size(), 0);
    EXPECT_TRUE(RecordFile(recordSize).create(folder.file(QStringLiteral("new.dat"))));
    file.write(record('n').constData());
    file.close();
    EXPECT_EQ(folder.read(QStringLiteral("old.dat")), record('n'));
}

TEST(RecordFile, QuietOpeningFailsWithoutRaising)
{
    TemporaryProgramFolder folder;
    QDir(folder.path()).mkdir(QStringLiteral("folder.dat"));
    const QString names[] = {
        folder.file(QStringLiteral("missing.dat")),
        folder.file(QStringLiteral("no-such-folder/missing.dat")),
        folder.file(QStringLiteral("folder.dat")),
    };
    for (const QString &name : names) {
        RecordFile file(recordSize);
        EXPECT_FALSE(file.openQuiet(name)) << name.toStdString();
        EXPECT_FALSE(file.isOpen());
    }
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("missing.dat"))));
}

TEST(RecordFile, CreationFailures)
{
    TemporaryProgramFolder folder;
    folder.write(QStringLiteral("plain"), "x");
    QDir(folder.path()).mkdir(QStringLiteral("folder.dat"));
    struct Case {
        QString name;
        int code;
    };
    const Case cases[] = {
        {folder.file(QStringLiteral("no-such-folder/a.dat")), 3}, // missing folder
        {folder.file(QStringLiteral("plain/a.dat")), 3},          // a file used as a folder
        {folder.file(QStringLiteral("folder.dat")), 5},           // a folder in the way
    };
    for (const Case &c : cases) {
        RecordFile file(recordSize);
        EXPECT_EQ(errorCode([&] { file.create(c.name); }), c.code) << c.name.toStdString();
        EXPECT_EQ(errorCode([&] { file.createWhole(c.name, record('w').constData(), recordSize); }),
                  c.code)
            << c.name.toStdString();
        EXPECT_FALSE(file.isOpen());
    }
}

TEST(RecordFile, ReadOnlyFileIsRefusedAndKept)
{
    TemporaryProgramFolder folder;
    const QString name = folder.file(QStringLiteral("option.dat"));
    folder.write(QStringLiteral("option.dat"), record('k'));
    QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(folder.path(), QFile::Permissions(0x7777));

    const int status = asUnprivileged([&] {
        RecordFile file(recordSize);
        // The folder itself is open to this user: only the file is refused.
        if (errorCode([&] { file.create(folder.file(QStringLiteral("other.dat"))); }) != 0)
            return 98;
        if (file.openQuiet(name))
            return 1;
        const int whole =
            errorCode([&] { file.createWhole(name, record('w').constData(), recordSize); });
        return whole == errorCode([&] { file.create(name); }) ? whole : 97;
    });
    EXPECT_EQ(status, 5);
    EXPECT_EQ(folder.read(QStringLiteral("option.dat")), record('k'));
}

TEST(RecordFile, TooManyOpenFiles)
{
    TemporaryProgramFolder folder;
    const QString name = folder.file(QStringLiteral("a.dat"));
    const int status = inChild([&] {
        const rlimit none{0, 0};
        if (setrlimit(RLIMIT_NOFILE, &none) != 0)
            return 99;
        RecordFile file(recordSize);
        return errorCode([&] { file.create(name); });
    });
    EXPECT_EQ(status, 4);
}

TEST(RecordFile, ShortWriteIsDiskFull)
{
    RecordFile file(recordSize);
    ASSERT_TRUE(file.openQuiet(QStringLiteral("/dev/full")));
    EXPECT_EQ(errorCode([&] { file.write(record('z').constData()); }), 101);
}

TEST(RecordFile, EveryOperationOnAClosedFileIs103)
{
    RecordFile file(recordSize);
    QByteArray buffer(recordSize, '\0');
    EXPECT_EQ(errorCode([&] { file.seek(0); }), 103);
    EXPECT_EQ(errorCode([&] { file.read(buffer.data()); }), 103);
    EXPECT_EQ(errorCode([&] { file.write(buffer.constData()); }), 103);
    EXPECT_EQ(errorCode([&] { file.close(); }), 103);

    // Closing twice, and using a file whose creation failed.
    TemporaryProgramFolder folder;
    file.create(folder.file(QStringLiteral("a.dat")));
    file.close();
    EXPECT_EQ(errorCode([&] { file.close(); }), 103);
    EXPECT_NE(errorCode([&] { file.create(folder.file(QStringLiteral("x/y.dat"))); }), 0);
    EXPECT_EQ(errorCode([&] { file.read(buffer.data()); }), 103);
}

TEST(RecordFile, TwoHoldersOfOneFileSeeEachOthersWrites)
{
    // The editor and the reminder may hold one file open at the same time.
    TemporaryProgramFolder folder;
    const QString name = folder.file(QStringLiteral("shared.dat"));
    RecordFile first(recordSize);
    first.create(name);
    first.write(record('1').constData());

    RecordFile second(recordSize);
    ASSERT_TRUE(second.openQuiet(name));
    QByteArray buffer(recordSize, '\0');
    second.read(buffer.data());
    EXPECT_EQ(buffer, record('1'));
    second.seek(0);
    second.write(record('2').constData());

    first.seek(0);
    first.read(buffer.data());
    EXPECT_EQ(buffer, record('2'));
}
