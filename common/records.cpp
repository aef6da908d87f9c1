// The Options and Sound-event records, their default contents, and the
// record-file steps both programs take on "option.dat" and "muzikdan.dat".
// Records stay as raw bytes so that a rewrite keeps what it was read with.
#include "records.h"

#include "calendar.h"
#include "recordfile.h"
#include "shortstring.h"

#include <QtEndian>
#include <bit>

namespace
{

constexpr std::size_t nextDateOffset = 24;
constexpr std::size_t pathOffset = 41;

} // namespace

QString OptionsRecord::password() const
{
    return ShortString::load(bytes.data(), passwordCapacity);
}

void OptionsRecord::setPassword(const QString &password)
{
    ShortString::store(bytes.data(), passwordCapacity, password);
}

double OptionsRecord::nextDate() const
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes.data() + nextDateOffset));
}

void OptionsRecord::setNextDate(double dayNumber)
{
    qToLittleEndian(std::bit_cast<quint64>(dayNumber), bytes.data() + nextDateOffset);
}

OptionsRecord OptionsRecord::defaults()
{
    OptionsRecord record;
    record.setNextDate(Calendar::todayNumber());
    return record;
}

QString SoundEventRecord::name() const
{
    return ShortString::load(bytes.data(), nameCapacity);
}

void SoundEventRecord::setName(const QString &name)
{
    ShortString::store(bytes.data(), nameCapacity, name);
}

QString SoundEventRecord::path() const
{
    return ShortString::load(bytes.data() + pathOffset, pathCapacity);
}

void SoundEventRecord::setPath(const QString &path)
{
    ShortString::store(bytes.data() + pathOffset, pathCapacity, path);
}

SoundEventRecord SoundEventRecord::defaults(int n, const QString &programFolder)
{
    SoundEventRecord record;
    const QString prefix = n < 10 ? QStringLiteral("Событие 0") : QStringLiteral("Событие ");
    record.setName(prefix + QString::number(n));
    record.setPath(programFolder + QStringLiteral("sound/sub.wav"));
    return record;
}

namespace Records
{

QString optionFileName(const QString &programFolder)
{
    return programFolder + QStringLiteral("option.dat");
}

QString muzikFileName(const QString &programFolder)
{
    return programFolder + QStringLiteral("muzikdan.dat");
}

OptionsRecord createDefaultOptionFile(RecordFileOf<OptionsRecord> &file,
                                      const QString &programFolder)
{
    const OptionsRecord record = OptionsRecord::defaults();
    file.createWhole(optionFileName(programFolder), {&record, 1});
    return record;
}

void createDefaultMuzikFile(RecordFileOf<SoundEventRecord> &file, const QString &programFolder)
{
    std::array<SoundEventRecord, soundEventCount> records;
    for (int n = 1; n <= soundEventCount; ++n)
        records[n - 1] = SoundEventRecord::defaults(n, programFolder);
    file.createWhole(muzikFileName(programFolder), records);
}

void ensureOptionFile(const QString &programFolder)
{
    RecordFileOf<OptionsRecord> file;
    if (!file.openQuiet(optionFileName(programFolder)))
        createDefaultOptionFile(file, programFolder);
    file.close();
}

void openOrCreateMuzikFile(RecordFileOf<SoundEventRecord> &file, const QString &programFolder)
{
    if (!file.openQuiet(muzikFileName(programFolder)))
        createDefaultMuzikFile(file, programFolder);
}

OptionsRecord readOptionRec(RecordFileOf<OptionsRecord> &file)
{
    file.seek(0);
    return file.read();
}

void writeOptionRec(RecordFileOf<OptionsRecord> &file, const OptionsRecord &record)
{
    file.seek(0);
    file.write(record);
}

SoundEventRecord readSoundEvent(RecordFileOf<SoundEventRecord> &file, int n)
{
    file.seek(n - 1);
    return file.read();
}

void writeSoundEvent(RecordFileOf<SoundEventRecord> &file, int n, const SoundEventRecord &record)
{
    file.seek(n - 1);
    file.write(record);
}

} // namespace Records
