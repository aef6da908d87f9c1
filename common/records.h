// The two record files both programs share: "option.dat" with one 32-byte
// Options record, and "muzikdan.dat" with 20 Sound-event records of 297
// bytes. The records are kept as their exact bytes; texts are Short strings
// in Windows-1251.
#pragma once

#include "recordfile.h"

#include <QString>
#include <array>
#include <cstdint>
#include <type_traits>

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

// Creates "option.dat" whole with the default record as record 0, open at
// record 0; returns that record. Raises InOutError, leaving no file made.
OptionsRecord createDefaultOptionFile(RecordFileOf<OptionsRecord> &file,
                                      const QString &programFolder);
// Creates "muzikdan.dat" whole with the 20 default records in order, open
// at record 0; a failure leaves no file made.
void createDefaultMuzikFile(RecordFileOf<SoundEventRecord> &file, const QString &programFolder);

// The editor's start-up step for "option.dat": quiet opening, default
// creation when that fails, closing. An existing file is not read.
void ensureOptionFile(const QString &programFolder);
// Quiet opening of "muzikdan.dat", default creation when that fails; the
// file stays open.
void openOrCreateMuzikFile(RecordFileOf<SoundEventRecord> &file, const QString &programFolder);

// Record 0 of "option.dat": positioning, then one reading or writing.
OptionsRecord readOptionRec(RecordFileOf<OptionsRecord> &file);
void writeOptionRec(RecordFileOf<OptionsRecord> &file, const OptionsRecord &record);

// Sound event n (1 to 20) is record n - 1.
SoundEventRecord readSoundEvent(RecordFileOf<SoundEventRecord> &file, int n);
void writeSoundEvent(RecordFileOf<SoundEventRecord> &file, int n, const SoundEventRecord &record);

// All 20 sound events in order: positioning at record 0, then one reading
// per event, each handed to `visit(n, record)` before the next is read. A
// `visit` that returns false stops there: the later records are not read.
template <typename Visit> void readSoundEvents(RecordFileOf<SoundEventRecord> &file, Visit visit)
{
    file.seek(0);
    for (int n = 1; n <= soundEventCount; ++n) {
        const SoundEventRecord record = file.read();
        if constexpr (std::is_void_v<std::invoke_result_t<Visit &, int, const SoundEventRecord &>>)
            visit(n, record);
        else if (!visit(n, record))
            return;
    }
}

} // namespace Records
