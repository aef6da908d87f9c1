// The errors the programs raise and show with the default error message.
// Each platform layer throws its own kind; a handler guard catches them all,
// so none ever unwinds through Qt.
#pragma once

#include <QString>
#include <stdexcept>

class OrvistaError : public std::runtime_error
{
public:
    explicit OrvistaError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Record-file input/output error with its numeric code.
class InOutError : public OrvistaError
{
public:
    // The codes the record files raise by name. Any other code is shown by
    // its number ("I/O error 32"), or, below zero, by the system's text.
    enum Code : int {
        FileNotFound = 2,
        InvalidFilename = 3,
        TooManyOpenFiles = 4,
        FileAccessDenied = 5,
        ReadBeyondEnd = 100,
        DiskFull = 101,
        FileNotOpen = 103, // shown by its number
    };

    explicit InOutError(int code);
    int code() const { return m_code; }
    static QString messageFor(int code);
    // The code of a system error that has no code of the record files' own:
    // below zero, so it is never taken for one of them, and shown with the
    // system's text for that errno.
    static int systemCode(int err) { return -err; }

private:
    int m_code;
};

class DatabaseError : public OrvistaError
{
    using OrvistaError::OrvistaError;
};

class RegistryError : public OrvistaError
{
    using OrvistaError::OrvistaError;
};

class MediaError : public OrvistaError
{
    using OrvistaError::OrvistaError;
};

// A stored value that cannot be taken as the type a window needs (a Null
// date, say).
class ConvertError : public OrvistaError
{
    using OrvistaError::OrvistaError;
};

// Thrown by a test's stand-in for ending the process, so that nothing after
// the end runs; the handler guard swallows it.
class ProcessEnded
{
public:
    explicit ProcessEnded(int code) : exitCode(code) {}
    int exitCode;
};
