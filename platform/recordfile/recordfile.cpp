// Record files over POSIX open/pread/pwrite/close. The position is kept here
// rather than in the descriptor, so every transfer names its own offset.
// No locking: both programs may hold the same file open at once.
#include "recordfile.h"

#include "errors.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

int openRetrying(const QString &fileName, int flags, mode_t mode = 0)
{
    const QByteArray path = QFile::encodeName(fileName);
    int fd;
    do {
        fd = ::open(path.constData(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Writes all of `data` at the start of `fd`; -1 with errno set, or the
// bytes written when the file would take no more.
ssize_t writeAll(int fd, const char *data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

int fsyncRetrying(int fd)
{
    int result;
    do {
        result = ::fsync(fd);
    } while (result < 0 && errno == EINTR);
    return result;
}

// The mode of an existing file, which its replacement keeps; empty when there
// is none. Raises the error the old file's truncation would have met, so a
// read-only file is refused rather than renamed over.
std::optional<mode_t> replaceableMode(const QByteArray &path)
{
    // Non-blocking: opening a FIFO for writing would wait for a reader.
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err != ENOENT)
            throw InOutError(RecordFile::codeForErrno(err));
        return std::nullopt;
    }
    struct stat status = {};
    const bool known = ::fstat(fd, &status) == 0;
    ::close(fd);
    return known ? std::optional<mode_t>(status.st_mode & 07777) : std::nullopt;
}

// Syncs the folder entry of a file just renamed into place. A file system
// that cannot sync folders (EINVAL) has nothing more to give.
void syncFolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(qMax<qsizetype>(slash, 1));
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const int result = fsyncRetrying(fd);
    const int err = errno;
    ::close(fd);
    if (result < 0 && err != EINVAL)
        throw InOutError(RecordFile::codeForErrno(err));
}

} // namespace

RecordFile::RecordFile(std::size_t recordSize) : m_recordSize(recordSize) {}

RecordFile::~RecordFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int RecordFile::codeForErrno(int err)
{
    switch (err) {
    case ENOENT:
        return InOutError::FileNotFound;
    case ENOTDIR:
        return InOutError::InvalidFilename;
    case EMFILE:
    case ENFILE:
        return InOutError::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // what the original platform reports for a folder
        return InOutError::FileAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return InOutError::DiskFull;
    default:
        return InOutError::systemCode(err);
    }
}

bool RecordFile::openQuiet(const QString &fileName)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    // A directory fails here with EISDIR, as it should.
    const int fd = openRetrying(fileName, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    m_fd = fd;
    m_position = 0;
    return true;
}

bool RecordFile::create(const QString &fileName)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    // First as a new file, so the caller learns whether it made one; a name
    // that is taken (also by a link) is then replaced.
    bool isNew = true;
    int fd = openRetrying(fileName, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) {
        isNew = false;
        fd = openRetrying(fileName, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    }
    if (fd < 0) {
        // When creating, a missing name can only be a missing folder.
        const int err = errno;
        throw InOutError(err == ENOENT ? InOutError::InvalidFilename : codeForErrno(err));
    }
    m_fd = fd;
    m_position = 0;
    return isNew;
}

void RecordFile::createWhole(const QString &fileName, const void *data, std::size_t size)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    const QByteArray path = QFile::encodeName(fileName);
    const std::optional<mode_t> mode = replaceableMode(path);
    const QByteArray temporary = path + ".new-" + QByteArray::number(::getpid());
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 2; ++attempt) {
        fd =
            openRetrying(QFile::decodeName(temporary), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        // Left by a crashed run of a process with this id.
        if (fd < 0 && errno == EEXIST)
            ::unlink(temporary.constData());
    }
    if (fd < 0) {
        const int err = errno;
        // When creating, a missing name can only be a missing folder.
        throw InOutError(err == ENOENT ? 3 : codeForErrno(err));
    }
    // The umask has no say over a replaced file's mode.
    if (mode)
        (void)::fchmod(fd, *mode);

    const ssize_t written = writeAll(fd, static_cast<const char *>(data), size);
    int code = 0;
    if (written < 0)
        code = codeForErrno(errno);
    else if (static_cast<std::size_t>(written) < size)
        code = InOutError::DiskFull;
    else if (fsyncRetrying(fd) < 0)
        code = codeForErrno(errno);
    if (::close(fd) < 0 && code == 0 && errno != EINTR)
        code = codeForErrno(errno);
    if (code == 0 && ::rename(temporary.constData(), path.constData()) < 0)
        code = codeForErrno(errno);
    if (code != 0) {
        ::unlink(temporary.constData());
        throw InOutError(code);
    }
    syncFolderOf(path);

    fd = openRetrying(fileName, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        throw InOutError(codeForErrno(errno));
    m_fd = fd;
    m_position = 0;
}

void RecordFile::seek(long long record)
{
    requireOpen();
    if (record < 0 ||
        (m_recordSize > 0 && static_cast<unsigned long long>(record) >
                                 static_cast<unsigned long long>(LLONG_MAX) / m_recordSize))
        throw InOutError(codeForErrno(EINVAL));
    m_position = record * static_cast<long long>(m_recordSize);
}

// Moves one whole record with pread or pwrite, going on after a partial
// transfer, and the position with it; a short transfer raises `shortCode`.
template <typename Transfer> void RecordFile::transferRecord(Transfer transfer, int shortCode)
{
    requireOpen();
    std::size_t done = 0;
    while (done < m_recordSize) {
        const ssize_t n =
            transfer(done, static_cast<off_t>(m_position + static_cast<long long>(done)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            m_position += static_cast<long long>(done);
            throw InOutError(codeForErrno(err));
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    m_position += static_cast<long long>(done);
    if (done < m_recordSize)
        throw InOutError(shortCode);
}

void RecordFile::read(void *record)
{
    auto *bytes = static_cast<char *>(record);
    transferRecord([&](std::size_t done,
                       off_t at) { return ::pread(m_fd, bytes + done, m_recordSize - done, at); },
                   InOutError::ReadBeyondEnd);
}

void RecordFile::write(const void *record)
{
    const auto *bytes = static_cast<const char *>(record);
    transferRecord([&](std::size_t done,
                       off_t at) { return ::pwrite(m_fd, bytes + done, m_recordSize - done, at); },
                   InOutError::DiskFull);
}

void RecordFile::close()
{
    requireOpen();
    const int fd = m_fd;
    m_fd = -1;
    // The descriptor is gone even when close() reports EINTR; retrying could
    // close a descriptor opened meanwhile.
    if (::close(fd) < 0 && errno != EINTR)
        throw InOutError(codeForErrno(errno));
}

void RecordFile::requireOpen() const
{
    if (m_fd < 0)
        throw InOutError(InOutError::FileNotOpen);
}
