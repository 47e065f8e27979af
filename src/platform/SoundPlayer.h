#pragma once
// Click sounds, played to their end before the caller goes on. A sound that cannot be
// heard (no audio output, a missing or broken file) is skipped at once, and a playback
// never blocks longer than the sound's own length plus a small margin.
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vt {

// The length of a PCM or float WAV file's sound in milliseconds; nothing when the bytes
// are not a WAV file that can be played (no RIFF/WAVE header, no format or data chunk,
// impossible format values, no samples).
std::optional<int> wavDurationMs(const QByteArray &bytes);

class SoundPlayer
{
public:
    enum class Outcome { Played, NoOutput, Missing, Broken, TimedOut };
    // Waiting beyond the sound's length: loading the file and starting the device.
    static constexpr int MarginMs = 400;

    // modulePath is the multimedia module (SoundModuleName), opened on the first sound.
    // hasAudioOutput answers whether the system has any audio output; empty: ask the
    // module.
    explicit SoundPlayer(QString modulePath, std::function<bool()> hasAudioOutput = {});
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    Outcome play(const QString &wavPath);

private:
    struct Module;
    Module *module(); // opened once; null when it cannot be

    QString m_modulePath;
    std::function<bool()> m_hasOutput;
    std::unique_ptr<Module> m_module;
    bool m_moduleTried = false;
};

// The multimedia module's file, relative to the program folder.
inline constexpr char SoundModuleName[] = "plugins/vantrelo-sound.so";

// The main window's sound hook: plays relativeWav ("Files/Click2.wav") from the program
// folder, through one player for the whole run.
std::function<void(const QString &relativeWav)> programSoundHook(const QString &appPath);

} // namespace vt
