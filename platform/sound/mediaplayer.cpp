// The sound layer over SDL2_mixer: the media player (streamed music, or a
// decoded chunk on a reserved channel for WAV files the streaming decoder
// refuses), the synchronous file player with its default alert, and the
// observer that tests set.
// Audio starts lazily. A device that does not open is tried again on later
// calls, never waited for here; only SDL_AUDIODRIVER=dummy plays silently.
#include "mediaplayer.h"

#include <QFile>
#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "errors.h"
#include "wavwriter.h"

namespace
{

enum class AudioState { NotOpen, Ready, ShutDown };

using Clock = std::chrono::steady_clock;

AudioState audioState = AudioState::NotOpen;
QString audioError;
// When the first attempt to open the device failed; unset before that.
std::optional<Clock::time_point> firstFailure;
std::chrono::milliseconds retryPeriod(10000);
Mix_Chunk *alertChunk = nullptr;
int deviceFrequency = 44100;
int deviceFrameBytes = 4;
PlayObserver playObserver = nullptr;

// Channel 0 belongs to the media player; the synchronous player takes any
// of the others.
constexpr int PlayerChannel = 0;
// How much longer than its length a synchronous sound may take before it is
// cut off, so that a stalled device never hangs the caller.
constexpr int SyncMarginMs = 1000;

void tellObserver(const QString &fileName)
{
    if (playObserver)
        playObserver(fileName);
}

// The layer's own errors are Russian, as the programs are; SDL's text, when
// it has one, follows as a sentence of detail. The default error message
// adds the closing full stop, so the detail keeps no end punctuation.
QString withMixerDetail(const QString &what)
{
    QString detail = QString::fromUtf8(Mix_GetError()).trimmed();
    while (!detail.isEmpty() && QStringLiteral(".,:;!? ").contains(detail.back()))
        detail.chop(1);
    return detail.isEmpty() ? what : what + QStringLiteral(". ") + detail;
}

QString deviceError()
{
    return withMixerDetail(QStringLiteral("Не удалось открыть звуковое устройство"));
}

QString fileError(const QString &fileName)
{
    return withMixerDetail(
        QStringLiteral("Не удалось воспроизвести звуковой файл «%1»").arg(fileName));
}

bool openAudio()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// One quick attempt to open the device when it is not open yet. A failure
// keeps SDL's text for the error that the callers raise.
bool ensureAudio()
{
    if (audioState != AudioState::NotOpen)
        return audioState == AudioState::Ready;
    // SDL must not take over SIGINT and SIGTERM from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!openAudio()) {
        audioError = deviceError();
        if (!firstFailure)
            firstFailure = Clock::now();
        return false;
    }
    int channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&deviceFrequency, &format, &channels) && deviceFrequency > 0)
        deviceFrameBytes = std::max(1, channels * int(SDL_AUDIO_BITSIZE(format) / 8));
    else
        deviceFrequency = 44100;
    Mix_Init(MIX_INIT_MP3);
    Mix_AllocateChannels(8);
    Mix_ReserveChannels(1);
    audioState = AudioState::Ready;
    return true;
}

// Sets the mixer's error to why a file is refused, without its name, which
// the caller's message carries.
void refuse(const char *reason)
{
    Mix_SetError("%s", reason);
}

// Opens a regular file for reading; sets the mixer's error and returns null
// otherwise.
SDL_RWops *openFile(const QString &fileName)
{
    SDL_ClearError();
    const QByteArray name = QFile::encodeName(fileName);
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        refuse(errno == ENOENT ? "Файл не найден" : "Файл недоступен");
        return nullptr;
    }
    // Opening a pipe or a device could block for ever: only regular files
    // are sounds.
    if (!S_ISREG(info.st_mode)) {
        refuse("Это не обычный файл");
        return nullptr;
    }
    SDL_RWops *source = SDL_RWFromFile(name.constData(), "rb");
    if (!source)
        refuse("Файл не открывается для чтения");
    return source;
}

const char *const NotWavOrMp3 = "Файл не в формате WAV или MP3";

// The kind is taken from the content, as the mixer's loaders detect it, not
// from the name's extension: a renamed file still plays.
bool isWavOrMp3(Mix_Music *music, bool aiff)
{
    const Mix_MusicType type = Mix_GetMusicType(music);
    return type == MUS_MP3 || (type == MUS_WAV && !aiff);
}

// The mixer's WAV decoder takes AIFF too, which is no WAV; an AIFF file
// opens with "FORM".
bool isAiff(SDL_RWops *source)
{
    char magic[4] = {};
    const bool read = SDL_RWread(source, magic, sizeof magic, 1) == 1;
    SDL_RWseek(source, 0, RW_SEEK_SET);
    return read && std::memcmp(magic, "FORM", sizeof magic) == 0;
}

// The streaming decoder refuses some valid WAV files (one without samples,
// or in ADPCM); SDL's own reader takes them, and WAV files alone.
bool readsAsWav(SDL_RWops *source)
{
    SDL_RWseek(source, 0, RW_SEEK_SET);
    SDL_AudioSpec spec;
    Uint8 *buffer = nullptr;
    Uint32 length = 0;
    const bool wav = SDL_LoadWAV_RW(source, 0, &spec, &buffer, &length) != nullptr;
    SDL_FreeWAV(buffer);
    SDL_RWseek(source, 0, RW_SEEK_SET);
    return wav;
}

// Decodes a whole WAV or MP3 file into the device's format; null with the
// mixer's error set otherwise.
Mix_Chunk *loadChunk(const QString &fileName)
{
    SDL_RWops *source = openFile(fileName);
    if (!source)
        return nullptr;
    const bool aiff = isAiff(source);
    Mix_Music *music = Mix_LoadMUS_RW(source, 0);
    const bool known = music ? isWavOrMp3(music, aiff) : readsAsWav(source);
    if (music)
        Mix_FreeMusic(music);
    if (!known) {
        SDL_RWclose(source);
        refuse(NotWavOrMp3);
        return nullptr;
    }
    SDL_RWseek(source, 0, RW_SEEK_SET);
    return Mix_LoadWAV_RW(source, 1);
}

int chunkMilliseconds(const Mix_Chunk *chunk)
{
    const long long frames = chunk->alen / deviceFrameBytes;
    return int((frames * 1000 + deviceFrequency / 2) / deviceFrequency);
}

// A short soft beep, made once and kept until the audio shuts down.
Mix_Chunk *alert()
{
    if (alertChunk)
        return alertChunk;
    const int rate = 44100;
    const int count = rate * 150 / 1000;
    std::vector<std::int16_t> samples(count);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double attack = std::min(1.0, t / 0.005);
        const double envelope = attack * std::exp(-t * 18.0) * (1.0 - double(i) / count);
        samples[i] = std::int16_t(9000 * envelope * std::sin(2 * M_PI * 988 * t));
    }
    const std::string wav = Wav::monoPcm16(samples, rate);
    alertChunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), int(wav.size())), 1);
    return alertChunk;
}

// Blocks until the channel falls silent, at most the sound's length and a
// margin.
void waitForChannel(int channel, int milliseconds)
{
    const Uint64 deadline = SDL_GetTicks64() + Uint64(milliseconds) + SyncMarginMs;
    while (Mix_Playing(channel) && SDL_GetTicks64() < deadline)
        SDL_Delay(5);
    Mix_HaltChannel(channel);
}

} // namespace

// A device plays from its start: the programs always stop and close a
// sound, never resume it, so stopping simply silences it.
struct MediaPlayer::Device {
    enum class State { Open, Playing, Stopped, Ended };

    QString file;
    Mix_Music *music = nullptr;
    Mix_Chunk *chunk = nullptr;
    int length = 0;
    State state = State::Open;
    Uint64 startedAt = 0;

    ~Device()
    {
        if (audioState != AudioState::Ready)
            return; // the mixer is gone with everything it held
        halt();
        if (music)
            Mix_FreeMusic(music);
        if (chunk)
            Mix_FreeChunk(chunk);
    }

    void halt()
    {
        if (music)
            Mix_HaltMusic();
        else
            Mix_HaltChannel(PlayerChannel);
    }

    bool sounding() const { return music ? Mix_PlayingMusic() != 0 : Mix_Playing(PlayerChannel); }

    // The mixer alone knows when a sound has run out (a truncated MP3 ends
    // before its stated length), so the end is taken from it and latched.
    void update()
    {
        if (state == State::Playing && !sounding())
            state = State::Ended;
    }

    // While the sound plays the position stays below the length, whatever
    // the clock says, so that only the mixer's end counts as the end.
    int currentPosition()
    {
        update();
        switch (state) {
        case State::Playing:
            return int(
                std::min<Uint64>(SDL_GetTicks64() - startedAt, Uint64(std::max(0, length - 1))));
        case State::Ended:
            return length;
        case State::Open:
        case State::Stopped:
            break;
        }
        return 0;
    }

    bool start()
    {
        if (music)
            return Mix_PlayMusic(music, 0) == 0;
        return Mix_PlayChannel(PlayerChannel, chunk, 0) == PlayerChannel;
    }
};

MediaPlayer::MediaPlayer() = default;

MediaPlayer::~MediaPlayer()
{
    close();
}

void MediaPlayer::open()
{
    close();
    if (!ensureAudio())
        throw MediaError(audioError);

    auto device = std::make_unique<Device>();
    device->file = m_fileName;
    SDL_RWops *source = openFile(m_fileName);
    if (!source)
        throw MediaError(fileError(m_fileName));
    const bool aiff = isAiff(source);
    device->music = Mix_LoadMUS_RW(source, 1);
    if (device->music && !isWavOrMp3(device->music, aiff)) {
        refuse(NotWavOrMp3);
        throw MediaError(fileError(m_fileName));
    }
    const double seconds = device->music ? Mix_MusicDuration(device->music) : -1.0;
    if (seconds >= 0) {
        device->length = int(std::lround(seconds * 1000));
    } else {
        // Decoded whole, what streaming refuses still opens, with an exact
        // length.
        if (device->music) {
            Mix_FreeMusic(device->music);
            device->music = nullptr;
        }
        device->chunk = loadChunk(m_fileName);
        if (!device->chunk)
            throw MediaError(fileError(m_fileName));
        device->length = chunkMilliseconds(device->chunk);
    }
    m_device = std::move(device);
}

void MediaPlayer::play()
{
    if (!m_device)
        throw MediaError(QStringLiteral("Звуковой файл не открыт"));
    Device &device = *m_device;
    device.update();
    if (device.state == Device::State::Playing)
        return;
    tellObserver(device.file);
    // A sound that is over or fails to start counts as ended at once, so
    // whoever waits for its end goes on.
    if (device.state == Device::State::Ended || device.length == 0 || !device.start()) {
        device.state = Device::State::Ended;
        return;
    }
    device.state = Device::State::Playing;
    device.startedAt = SDL_GetTicks64();
}

void MediaPlayer::stop()
{
    if (!m_device)
        return;
    Device &device = *m_device;
    device.update();
    if (device.state == Device::State::Playing) {
        device.halt();
        device.state = Device::State::Stopped;
    }
}

void MediaPlayer::close()
{
    m_device.reset();
}

MediaPlayer::Mode MediaPlayer::mode() const
{
    if (!m_device)
        return Mode::NotReady;
    m_device->update();
    switch (m_device->state) {
    case Device::State::Open:
        return Mode::Open;
    case Device::State::Playing:
        return Mode::Playing;
    case Device::State::Stopped:
    case Device::State::Ended:
        break;
    }
    return Mode::Stopped;
}

int MediaPlayer::position() const
{
    return m_device ? m_device->currentPosition() : 0;
}

int MediaPlayer::length() const
{
    if (!m_device)
        throw MediaError(QStringLiteral("Звуковой файл не открыт"));
    return m_device->length;
}

bool MediaPlayer::isDeviceOpen() const
{
    return m_device != nullptr;
}

void playSoundSync(const QString &fileName)
{
    if (!ensureAudio())
        throw MediaError(audioError);
    Mix_Chunk *chunk = loadChunk(fileName);
    int channel = chunk ? Mix_PlayChannel(-1, chunk, 0) : -1;
    if (channel >= 0) {
        tellObserver(fileName);
        waitForChannel(channel, chunkMilliseconds(chunk));
    } else if (Mix_Chunk *beep = alert()) {
        channel = Mix_PlayChannel(-1, beep, 0);
        tellObserver(QString());
        if (channel >= 0)
            waitForChannel(channel, chunkMilliseconds(beep));
    }
    if (chunk)
        Mix_FreeChunk(chunk);
}

namespace SoundDevice
{

bool starting()
{
    if (ensureAudio() || audioState == AudioState::ShutDown)
        return false;
    return Clock::now() - *firstFailure < retryPeriod;
}

bool isOpen()
{
    return audioState == AudioState::Ready;
}

void setRetryPeriod(int milliseconds)
{
    retryPeriod = std::chrono::milliseconds(milliseconds);
}

void shutDown()
{
    if (audioState == AudioState::Ready) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        if (alertChunk) {
            Mix_FreeChunk(alertChunk);
            alertChunk = nullptr;
        }
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    audioState = AudioState::ShutDown;
}

} // namespace SoundDevice

void setPlayObserver(PlayObserver observer)
{
    playObserver = observer;
}
