#pragma once
// Click sounds, played to their end before the caller goes on. A sound that cannot be
// heard (no audio output, a missing or broken file) is skipped at once, and a playback
// never blocks longer than the sound's own length plus a small margin.
#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QSoundEffect;

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

    // hasAudioOutput answers whether the system has any audio output; empty: ask the
    // multimedia system.
    explicit SoundPlayer(std::function<bool()> hasAudioOutput = {});
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    Outcome play(const QString &wavPath);

private:
    std::function<bool()> m_hasOutput;
    std::map<QString, std::unique_ptr<QSoundEffect>> m_effects;
};

// The main window's sound hook: plays relativeWav ("Files/Click2.wav") from the program
// folder, through one player for the whole run.
std::function<void(const QString &relativeWav)> programSoundHook(const QString &appPath);

} // namespace vt
