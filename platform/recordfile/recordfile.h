// Files of fixed-size records, positioned by record number. Stands in for
// the kernel file calls of the original platform: files are opened for
// reading and writing, shared with the other program, and never locked.
// Every failure but that of the quiet opening raises InOutError.
#pragma once

#include <QString>
#include <cstddef>
#include <span>
#include <type_traits>

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
    // Creates the file with `size` bytes of whole records, so that no crash
    // leaves it empty or half-written: they are written under a temporary
    // name in the same folder and synced, the file is renamed into place and
    // the folder synced; then it is opened at record 0. An existing file that
    // could not be opened for writing is refused and kept, as by create(); on
    // any failure the file of that name is as it was.
    void createWhole(const QString &fileName, const void *data, std::size_t size);
    // Position at record k; a position at or past the end is accepted.
    void seek(long long record);
    // One whole record at the position; the position moves on by one record.
    void read(void *record);
    void write(const void *record);
    // Closing a file that is not open raises code 103.
    void close();

    bool isOpen() const { return m_fd >= 0; }

    // The input/output error code for an errno value: the record files' own
    // code where there is one, otherwise InOutError::systemCode(err).
    static int codeForErrno(int err);

private:
    void requireOpen() const;
    template <typename Transfer> void transferRecord(Transfer transfer, int shortCode);

    std::size_t m_recordSize;
    int m_fd = -1;
    long long m_position = 0; // in bytes
};

// A record file of one record type, whose size is the file's record size:
// reading or writing a record of another type does not compile. A record
// is its bytes, so it must be trivially copyable and exactly `size` long.
template <typename Record> class RecordFileOf : private RecordFile
{
    static_assert(std::is_trivially_copyable_v<Record> && sizeof(Record) == Record::size,
                  "a record must be exactly its Record::size bytes");

public:
    RecordFileOf() : RecordFile(Record::size) {}

    using RecordFile::close;
    using RecordFile::create;
    void createWhole(const QString &fileName, std::span<const Record> records)
    {
        RecordFile::createWhole(fileName, records.data(), records.size_bytes());
    }
    using RecordFile::isOpen;
    using RecordFile::openQuiet;
    using RecordFile::seek;

    Record read()
    {
        Record record;
        RecordFile::read(&record);
        return record;
    }
    void write(const Record &record) { RecordFile::write(&record); }
};
