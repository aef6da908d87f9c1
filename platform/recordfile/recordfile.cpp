// Record files over POSIX open/pread/pwrite/close. The position is kept here
// rather than in the descriptor, so every transfer names its own offset.
// No locking: both programs may hold the same file open at once.
#include "recordfile.h"

#include "errors.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <fcntl.h>
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
