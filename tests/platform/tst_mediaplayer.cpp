// Tests of the sound layer: the media player's open/play/stop/close cycle and
// its idea of "ended" on WAV, MP3, truncated and empty files, its errors,
// the synchronous player with its default alert, the observer of what it
// plays, and the shutdown that ending the process runs.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "errors.h"
#include "mediaplayer.h"
#include "testsupport.h"

namespace
{

const QString Mp3File = QStringLiteral(ORVISTA_TEST_DATA "/tone-440hz-300ms.mp3");

// Sounds the mixer decodes that are neither WAV nor MP3: a MIDI file of
// one note and a Creative Voice file of a little silence.
QByteArray midiFile()
{
    const QByteArray track("\x00\x90\x3c\x40\x60\x80\x3c\x40\x00\xff\x2f\x00", 12);
    return QByteArray("MThd\0\0\0\x06\0\0\0\x01\0\x60MTrk\0\0\0\x0c", 22) + track;
}

QByteArray vocFile()
{
    const QByteArray header("Creative Voice File\x1a\x1a\0\x0a\x01\x29\x11", 26);
    // One block of 8-bit samples at 22 kHz, then the terminator.
    return header + QByteArray("\x01\xd2\x07\0\xd3\0", 6) + QByteArray(2000, char(128)) +
           QByteArray(1, '\0');
}

// An AIFF file of 100 silent mono samples: the mixer plays it as a WAV.
QByteArray aiffFile()
{
    const QByteArray common("COMM\0\0\0\x12\0\x01\0\0\0\x64\0\x10"
                            "\x40\x0e\xac\x44\0\0\0\0\0\0",
                            26);
    const QByteArray sound = QByteArray("SSND\0\0\0\xd0", 8) + QByteArray(208, '\0');
    return QByteArray("FORM\0\0\0\xf6"
                      "AIFF",
                      12) +
           common + sound;
}

// Waits for a sound to get somewhere; the limit only keeps a broken player
// from hanging the suite.
bool waitUntil(const std::function<bool()> &condition, int limitMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

// The message of the MediaError that the call raises.
QString errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const MediaError &error) {
        return error.message();
    }
    return QStringLiteral("no error");
}

const QString NotOpen = QStringLiteral("Звуковой файл не открыт");

class MediaPlayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SoundLog::clear();
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }

    QString tone(const QString &name, int milliseconds) const
    {
        writeToneWav(path(name), milliseconds);
        return path(name);
    }

    static bool ended(const MediaPlayer &player) { return player.position() >= player.length(); }

    QTemporaryDir m_dir;
};

TEST_F(MediaPlayerTest, WithoutDeviceNothingIsReady)
{
    MediaPlayer player;
    EXPECT_FALSE(player.isDeviceOpen());
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotReady);
    EXPECT_EQ(player.position(), 0);
    EXPECT_EQ(errorOf([&] { player.length(); }), NotOpen);
    EXPECT_EQ(errorOf([&] { player.play(); }), NotOpen);
    player.stop();
    player.close();
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotReady);
    EXPECT_TRUE(SoundLog::played().isEmpty());
}

TEST_F(MediaPlayerTest, PlaysWavAndMp3ToTheirEnd)
{
    const QString files[] = {tone("tone.wav", 300), Mp3File};
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        SoundLog::clear();
        MediaPlayer player;
        player.setFileName(file);
        player.open();
        EXPECT_TRUE(player.isDeviceOpen());
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Open);
        EXPECT_NEAR(player.length(), 300, 30);
        EXPECT_EQ(player.position(), 0);
        EXPECT_TRUE(SoundLog::played().isEmpty());

        player.play();
        EXPECT_EQ(SoundLog::played(), QStringList{file});
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Playing);
        EXPECT_LT(player.position(), player.length());

        ASSERT_TRUE(waitUntil([&] { return ended(player); }));
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
        EXPECT_EQ(player.position(), player.length());

        player.stop();
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
        player.close();
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotReady);
        EXPECT_EQ(errorOf([&] { player.length(); }), NotOpen);
    }
}

// The mixer ends these before their stated length, or at once: the end
// must still be seen.
TEST_F(MediaPlayerTest, ShortAndEmptySoundsAreSeenAsEnded)
{
    QFile mp3(Mp3File);
    ASSERT_TRUE(mp3.open(QIODevice::ReadOnly));
    const QByteArray whole = mp3.readAll();
    const QString files[] = {write("truncated.mp3", whole.left(whole.size() / 2)),
                             write("empty.wav", toneWav(0)), tone("tiny.wav", 5)};
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        MediaPlayer player;
        player.setFileName(file);
        player.open();
        player.play();
        ASSERT_TRUE(waitUntil([&] { return ended(player); }));
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
    }
    QStringList expected(std::begin(files), std::end(files));
    EXPECT_EQ(SoundLog::played(), expected);
}

TEST_F(MediaPlayerTest, StopSilencesAndPlayStartsOver)
{
    MediaPlayer player;
    player.setFileName(tone("long.wav", 600));
    player.open();
    player.play();
    ASSERT_TRUE(waitUntil([&] { return player.position() > 300; }));
    player.stop();
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
    EXPECT_EQ(player.position(), 0);

    QElapsedTimer timer;
    timer.start();
    player.play();
    ASSERT_TRUE(waitUntil([&] { return ended(player); }));
    EXPECT_GE(timer.elapsed(), 550);
    EXPECT_EQ(SoundLog::played().size(), 2);
}

TEST_F(MediaPlayerTest, FailedOpenRaisesAndLeavesNoDevice)
{
    QDir(m_dir.path()).mkdir("folder.wav");
    // Opening a pipe with no writer would block for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.wav")).constData(), 0600), 0);
    const QString notRegular = QStringLiteral("Это не обычный файл");
    const QString notFound = QStringLiteral("Файл не найден");
    const QString notWavOrMp3 = QStringLiteral("Файл не в формате WAV или MP3");
    const struct {
        QString file, reason;
    } cases[] = {
        {path("pipe.wav"), notRegular},
        {path("missing.wav"), notFound},
        {write("garbage.wav",
               QByteArray("this is not a sound file, only some text\n").repeated(20)),
         notWavOrMp3},
        {write("empty.mp3", QByteArray()), notWavOrMp3},
        {write("broken.wav", toneWav(0).left(20)), notWavOrMp3},
        {write("midi.wav", midiFile()), notWavOrMp3},
        {write("voc.mp3", vocFile()), notWavOrMp3},
        {write("aiff.wav", aiffFile()), notWavOrMp3},
        {path("folder.wav"), notRegular},
        {QString(), notFound},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        MediaPlayer player;
        player.setFileName(tone("before.wav", 300));
        player.open();
        player.play();
        player.setFileName(c.file);
        EXPECT_EQ(errorOf([&] { player.open(); }),
                  QStringLiteral("Не удалось воспроизвести звуковой файл «%1». %2")
                      .arg(c.file, c.reason));
        EXPECT_FALSE(player.isDeviceOpen());
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotReady);
        EXPECT_EQ(errorOf([&] { player.length(); }), NotOpen);
    }
}

TEST_F(MediaPlayerTest, OpenClosesTheDeviceStillOpen)
{
    MediaPlayer player;
    player.setFileName(tone("first.wav", 600));
    player.open();
    player.play();
    player.setFileName(Mp3File);
    player.open();
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Open);
    EXPECT_EQ(player.position(), 0);
    EXPECT_NEAR(player.length(), 300, 30);
    QThread::msleep(50);
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Open);
}

TEST_F(MediaPlayerTest, PlaySoundSyncPlaysToTheEnd)
{
    const QString file = tone("sync.wav", 300);
    QElapsedTimer timer;
    timer.start();
    playSoundSync(file);
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_EQ(SoundLog::played(), QStringList{file});
}

TEST_F(MediaPlayerTest, PlaySoundSyncGivesTheAlertForWhatCannotPlay)
{
    const QString files[] = {
        path("missing.wav"),
        write("garbage.mp3", QByteArray(4000, 'x')),
        write("empty.wav", toneWav(0)),
        write("midi.wav", midiFile()),
        write("voc.wav", vocFile()),
        write("aiff.wav", aiffFile()),
        QString(),
        path("pipe.mp3"),
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.mp3")).constData(), 0600), 0);
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        SoundLog::clear();
        QElapsedTimer timer;
        timer.start();
        playSoundSync(file);
        EXPECT_LT(timer.elapsed(), 3000);
        EXPECT_EQ(SoundLog::played(), QStringList{QString()});
    }
}

TEST_F(MediaPlayerTest, LogKeepsTheOrderOfEverythingStarted)
{
    const QString wav = tone("a.wav", 50);
    MediaPlayer player;
    player.setFileName(Mp3File);
    player.open();

    playSoundSync(wav);
    player.play();
    playSoundSync(path("missing.wav"));
    playSoundSync(Mp3File);
    EXPECT_EQ(SoundLog::played(), (QStringList{wav, Mp3File, QString(), Mp3File}));
    SoundLog::clear();
    EXPECT_TRUE(SoundLog::played().isEmpty());
}

// Runs one test of this executable in a child process with these variables
// added to the environment; SDL takes its driver when the device first
// opens, so a test with another driver needs a process of its own.
void runChildTest(const char *filter, const QProcessEnvironment &added)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(added);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", QStringLiteral("--gtest_filter=") + filter});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString();
}

// Without a device the layer never plays silently and never waits: each
// call tries once more, and a device that comes up late is taken.
TEST(SoundDeviceMissing, DISABLED_Child)
{
    if (qEnvironmentVariable("SDL_AUDIODRIVER") != QLatin1String("nosuchdriver"))
        GTEST_SKIP() << "runs only as the child of RaisesUntilTheDeviceComes";
    QTemporaryDir dir;
    const QString wav = dir.filePath("tone.wav");
    writeToneWav(wav, 50);
    SoundLog::clear();
    MediaPlayer player;
    player.setFileName(wav);

    SoundDevice::setRetryPeriod(3600 * 1000);
    EXPECT_TRUE(SoundDevice::starting());
    const std::function<void()> calls[] = {[&] { player.open(); }, [&] { playSoundSync(wav); }};
    const QString deviceError = QStringLiteral("Не удалось открыть звуковое устройство. ");
    for (const auto &call : calls) {
        const QString message = errorOf(call);
        EXPECT_TRUE(message.startsWith(deviceError)) << message.toStdString();
        EXPECT_TRUE(message.contains("nosuchdriver")) << message.toStdString();
    }
    EXPECT_FALSE(player.isDeviceOpen());
    EXPECT_TRUE(SoundDevice::starting());
    SoundDevice::setRetryPeriod(0);
    EXPECT_FALSE(SoundDevice::starting());
    EXPECT_TRUE(errorOf([&] { player.open(); }).startsWith(deviceError));
    EXPECT_TRUE(SoundLog::played().isEmpty());

    qputenv("SDL_AUDIODRIVER", "dummy");
    EXPECT_FALSE(SoundDevice::starting());
    player.open();
    player.play();
    playSoundSync(wav);
    EXPECT_EQ(SoundLog::played(), (QStringList{wav, wav}));
}

TEST(SoundDeviceMissing, RaisesUntilTheDeviceComes)
{
    QProcessEnvironment env;
    env.insert("SDL_AUDIODRIVER", "nosuchdriver");
    runChildTest("SoundDeviceMissing.DISABLED_Child", env);
}

// The real end of the process runs its steps newest first, the sound
// layer's shutdown among them, then ends with the code given; nothing after
// the call runs.
TEST(ProcessEnd, DISABLED_Child)
{
    const QString wav = qEnvironmentVariable("ORVISTA_END_CHILD");
    if (wav.isEmpty())
        GTEST_SKIP() << "runs only as the child of RunsItsStepsThenEnds";
    runAtProcessEnd([] { std::printf("open after: %d\n", int(SoundDevice::isOpen())); });
    runAtProcessEnd(SoundDevice::shutDown);
    runAtProcessEnd([] { std::printf("open before: %d\n", int(SoundDevice::isOpen())); });
    MediaPlayer player;
    player.setFileName(wav);
    player.open();
    player.play();
    setDialogs(nullptr);
    dialogs().endProcess(7);
}

TEST(ProcessEnd, RunsItsStepsThenEnds)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("long.wav");
    writeToneWav(wav, 3000);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVISTA_END_CHILD", wav);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=ProcessEnd.DISABLED_Child"});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QByteArray output = child.readAllStandardOutput();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 7) << output.toStdString();
    EXPECT_TRUE(output.endsWith("open before: 1\nopen after: 0\n")) << output.toStdString();
}

// SDL's disk driver writes what really reached the device, in a child of
// this test.
TEST(MediaPlayerDisk, DISABLED_ChildPlays)
{
    const QString file = qEnvironmentVariable("ORVISTA_SOUND_CHILD");
    if (file.isEmpty())
        GTEST_SKIP() << "runs only as the child of WritesRealSamples";
    playSoundSync(file);
    playSoundSync(file + ".missing");
    QThread::msleep(100); // let the driver write its last buffer
}

TEST(MediaPlayerDisk, WritesRealSamples)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wav = dir.filePath("tone.wav");
    const QString raw = dir.filePath("out.raw");
    writeToneWav(wav, 200);

    QProcessEnvironment env;
    env.insert("SDL_AUDIODRIVER", "disk");
    env.insert("SDL_DISKAUDIOFILE", raw);
    env.insert("ORVISTA_SOUND_CHILD", wav);
    runChildTest("MediaPlayerDisk.DISABLED_ChildPlays", env);

    // S16LE stereo at 44.1 kHz.
    QFile file(raw);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
    const qsizetype count = bytes.size() / 2;
    int peak = 0;
    qsizetype loud = 0;
    for (qsizetype i = 0; i < count; ++i) {
        peak = std::max(peak, std::abs(int(samples[i])));
        if (std::abs(int(samples[i])) > 1000)
            ++loud;
    }
    EXPECT_NEAR(peak, 8000, 800);
    // 200 ms of tone in two channels, most of its samples well above silence.
    EXPECT_GT(loud, 44100 * 2 * 15 / 100);
}

} // namespace
