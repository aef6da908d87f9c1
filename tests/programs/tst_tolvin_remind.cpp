// Whole-program run of the reminder on a day with dates: the built tolvin
// in a temporary Program folder, with SDL's disk driver capturing what it
// really played. The reminder then waits for the user, so the test ends it
// once both sounds have been heard; nothing may have been written by then.
#include "adoconnection.h"
#include "adodataset.h"
#include "calendar.h"
#include "recordfile.h"
#include "records.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace
{

struct Heard {
    double startSeconds;
    double hertz;
};

// The sounds in SDL's raw capture (S16LE stereo, 44.1 kHz): runs of loud
// samples in the left channel, with the pitch told by their zero crossings.
std::vector<Heard> soundsIn(const QByteArray &raw)
{
    const int rate = 44100;
    const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
    const qsizetype frames = raw.size() / 4;
    std::vector<Heard> heard;
    qsizetype start = -1;
    qsizetype lastLoud = -1;
    int crossings = 0;
    auto finish = [&] {
        const double seconds = double(lastLoud - start + 1) / rate;
        if (seconds > 0.05)
            heard.push_back({double(start) / rate, crossings / 2.0 / seconds});
        start = -1;
    };
    for (qsizetype i = 0; i < frames; ++i) {
        const int left = samples[2 * i];
        if (std::abs(left) > 1000) {
            if (start < 0) {
                start = i;
                crossings = 0;
            }
            lastLoud = i;
        } else if (start >= 0 && i - lastLoud > rate / 20) {
            finish();
        }
        if (start >= 0 && i > start && (left < 0) != (samples[2 * (i - 1)] < 0))
            ++crossings;
    }
    if (start >= 0 && frames - lastLoud > rate / 20)
        finish();
    return heard;
}

TEST(TolvinRemind, PlaysTodaysSoundsInRowOrderAndWritesNothingBeforeOk)
{
    TemporaryProgramFolder program;
    const QString folder = program.path();
    QFile::copy(QStringLiteral(ORVISTA_PROGRAM_DIR "/tolvin"), folder + "tolvin");
    QFile::setPermissions(folder + "tolvin", QFile::ReadOwner | QFile::ExeOwner);
    program.addEmptyDatabase();
    // The one-time row comes first, though its sound event is the later one.
    const QDate today = Calendar::today();
    addDateRows(folder, {{today.addYears(-30), QStringLiteral("событие"), true, {}, 3},
                         {today, QStringLiteral("событие"), false, {}, 9}});

    {
        RecordFileOf<SoundEventRecord> muzik;
        Records::createDefaultMuzikFile(muzik, folder);
        for (auto [event, hertz] : {std::pair{3, 1760}, std::pair{9, 440}}) {
            const QString wav = folder + QStringLiteral("tone%1.wav").arg(hertz);
            writeToneWav(wav, 300, hertz);
            SoundEventRecord record = Records::readSoundEvent(muzik, event);
            record.setPath(wav);
            Records::writeSoundEvent(muzik, event, record);
        }
        muzik.close();
    }
    const QByteArray optionBefore =
        optionBytes(QStringLiteral("пароль"), Calendar::todayNumber() - 1);
    program.write("option.dat", optionBefore);

    QProcess tolvin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("disk"));
    environment.insert(QStringLiteral("SDL_DISKAUDIOFILE"), folder + "out.raw");
    tolvin.setProcessEnvironment(environment);
    tolvin.setWorkingDirectory(QDir::tempPath());
    tolvin.start(folder + "tolvin", {});
    ASSERT_TRUE(tolvin.waitForStarted());

    std::vector<Heard> heard;
    QElapsedTimer waited;
    waited.start();
    while (heard.size() < 2 && waited.elapsed() < 20000 && tolvin.state() == QProcess::Running) {
        QThread::msleep(200);
        QFile raw(folder + "out.raw");
        if (raw.open(QIODevice::ReadOnly))
            heard = soundsIn(raw.readAll());
    }
    const bool stillRunning = tolvin.state() == QProcess::Running;
    tolvin.kill();
    tolvin.waitForFinished();

    EXPECT_TRUE(stillRunning) << "the reminder ended without its closing dialog";
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_NEAR(heard[0].hertz, 440, 40);
    EXPECT_NEAR(heard[1].hertz, 1760, 100);
    // The next sound starts at the first tick after the one before ended.
    const double gap = heard[1].startSeconds - heard[0].startSeconds;
    EXPECT_GT(gap, 0.3);
    EXPECT_LT(gap, 2.5);

    EXPECT_EQ(program.read("option.dat"), optionBefore);
}

} // namespace
