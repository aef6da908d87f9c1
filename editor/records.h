// The two record files both programs share: "option.dat" with one 32-byte
// Options record, and "muzikdan.dat" with 20 Sound-event records of 297
// bytes. The records are kept as their exact bytes; texts are Short strings
// in Windows-1251.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

class RecordFile;

struct OptionsRecord {
    static constexpr std::size_t size = 32;
    static constexpr int passwordCapacity = 20;
    std::array<std::uint8_t, size> bytes{};

    QString password() const;
    // Replaces only the length byte and the characters; the other bytes
    // stay as they were.
    void setPassword(const QString &password);
    // The Next reminder date, a Calendar date at offset 24.
    double nextDate() const;
    void setNextDate(double dayNumber);

    // Empty password, zero gap, Next reminder date today.
    static OptionsRecord defaults();
};

struct SoundEventRecord {
    static constexpr std::size_t size = 297;
    static constexpr int nameCapacity = 40;
    static constexpr int pathCapacity = 255;
    std::array<std::uint8_t, size> bytes{};

    QString name() const;
    void setName(const QString &name);
    QString path() const;
    void setPath(const QString &path);

    // Sound event n (1 to 20): "Событие 01" .. "Событие 20", the Program
    // folder + "sound/sub.wav", zero padding.
    static SoundEventRecord defaults(int n, const QString &programFolder);
};

namespace Records
{

inline constexpr int soundEventCount = 20;

QString optionFileName(const QString &programFolder);
QString muzikFileName(const QString &programFolder);

// Creates "option.dat" and writes the default record as record 0; returns
// that record. Raises InOutError.
OptionsRecord createDefaultOptionFile(RecordFile &file, const QString &programFolder);
// Creates "muzikdan.dat" and writes the 20 default records in order.
void createDefaultMuzikFile(RecordFile &file, const QString &programFolder);

// The editor's start-up step for "option.dat": quiet opening, default
// creation when that fails, closing. An existing file is not read.
void ensureOptionFile(const QString &programFolder);
// Quiet opening of "muzikdan.dat", default creation when that fails; the
// file stays open.
void openOrCreateMuzikFile(RecordFile &file, const QString &programFolder);

// Record 0 of "option.dat": positioning, then one reading or writing.
OptionsRecord readOptionRec(RecordFile &file);
void writeOptionRec(RecordFile &file, const OptionsRecord &record);

// Sound event n (1 to 20) is record n - 1.
SoundEventRecord readSoundEvent(RecordFile &file, int n);
void writeSoundEvent(RecordFile &file, int n, const SoundEventRecord &record);

} // namespace Records
