// Files of fixed-size records, positioned by record number. Stands in for
// the kernel file calls of the original platform: files are opened for
// reading and writing, shared with the other program, and never locked.
// Every failure but that of the quiet opening raises InOutError.
#pragma once

#include <QString>
#include <cstddef>

class RecordFile
{
public:
    explicit RecordFile(std::size_t recordSize);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens an existing file for reading and writing at record 0. Reports
    // failure by its result only; the file then stays closed.
    bool openQuiet(const QString &fileName);
    // Creates the file empty (replacing any file of that name) and opens it
    // at record 0. True when no file of that name was there before.
    bool create(const QString &fileName);
    // Position at record k; a position at or past the end is accepted.
    void seek(long long record);
    // One whole record at the position; the position moves on by one record.
    void read(void *record);
    void write(const void *record);
    // Closing a file that is not open raises code 103.
    void close();

    bool isOpen() const { return m_fd >= 0; }
    std::size_t recordSize() const { return m_recordSize; }

    // The input/output error code for an errno value.
    static int codeForErrno(int err);

private:
    void requireOpen() const;
    template <typename Transfer> void transferRecord(Transfer transfer, int shortCode);

    std::size_t m_recordSize;
    int m_fd = -1;
    long long m_position = 0; // in bytes
};
