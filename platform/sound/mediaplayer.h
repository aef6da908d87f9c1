// The sound layer over SDL2_mixer. MediaPlayer stands in for the hidden
// media player of the original platform (open, play, stop, close, mode,
// position, length; milliseconds); playSoundSync stands in for playing a
// sound file by name, synchronously. WAV and MP3 only; no recording, no
// seeking, no resuming: both programs stop a sound only to close it.
#pragma once

#include <QString>
#include <memory>

class MediaPlayer
{
public:
    // In the order of the platform's mode codes 524 to 530.
    enum class Mode { NotReady, Stopped, Playing, Recording, Seeking, Paused, Open };

    MediaPlayer();
    ~MediaPlayer(); // closes a device still open
    MediaPlayer(const MediaPlayer &) = delete;
    MediaPlayer &operator=(const MediaPlayer &) = delete;

    // The file that the next open() opens.
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }

    // Closes a device still open, then opens fileName(), chosen as WAV or
    // MP3 by its content. Raises MediaError naming the file, or saying that
    // the sound device does not open, with SDL's detail after it; no device
    // is open afterwards then.
    void open();
    // Starts playing from the start and returns at once. A sound that has
    // played to its end stays ended until it is opened again.
    void play();
    // Stops playback; returns when it has stopped. Position 0 then.
    void stop();
    // Closes the device; nothing when none is open.
    void close();
    // NotReady when no device is open.
    Mode mode() const;
    // Milliseconds; position() is 0 without a device, length() raises
    // MediaError without one.
    int position() const;
    int length() const;

    bool isDeviceOpen() const;

private:
    struct Device;
    QString m_fileName;
    std::unique_ptr<Device> m_device;
};

// Plays a sound file to its end before returning. A file that is missing or
// cannot be played gives a short default alert sound instead. Never hangs on
// a broken file. Without a sound device, where not even the alert can sound,
// raises MediaError at once.
void playSoundSync(const QString &fileName);

// The sound device opens when first needed. At logon the sound server may
// start after the programs, so a device that does not open is tried again
// on every later call (MediaPlayer::open, playSoundSync, starting); none of
// them waits for it.
namespace SoundDevice
{
// True while no device is open and the retry period, counted from the first
// failed attempt, has not run out; tries once more to open it first.
bool starting();
// True while the device is open. Tries nothing: after an open that failed,
// it tells a file the player could not open from a device that is missing.
bool isOpen();
// The retry period, 10 seconds unless a test sets another.
void setRetryPeriod(int milliseconds);
// Halts every sound and closes the device for good, so that the mixer's
// thread is gone before the process ends; the layer plays nothing after.
void shutDown();
} // namespace SoundDevice

// Observation seam for tests: when set, told of every file that the layer
// starts to play (MediaPlayer::play and playSoundSync), in order; an empty
// text stands for the default alert sound. The programs set none.
using PlayObserver = void (*)(const QString &fileName);
void setPlayObserver(PlayObserver observer);
