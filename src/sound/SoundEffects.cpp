// The part of click sounds that needs Qt's multimedia libraries, built as a module of
// its own. The program opens it on the first click: linked in, the multimedia libraries
// and the audio and codec libraries they bring would load with every start, a few
// milliseconds before the window could show, for a sound most starts never play.
// The functions keep C names, so the program finds them by name.
#include <QAudioDevice>
#include <QEventLoop>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <map>
#include <memory>

namespace {

struct Effects
{
    std::map<QString, std::unique_ptr<QSoundEffect>> loaded;
};

// As SoundPlayer::Outcome says them.
enum : int { Played = 0, Broken = 3, TimedOut = 4 };

} // namespace

extern "C" {

Q_DECL_EXPORT bool vantreloHasAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

Q_DECL_EXPORT void *vantreloCreateEffects()
{
    return new Effects;
}

Q_DECL_EXPORT void vantreloDestroyEffects(void *effects)
{
    delete static_cast<Effects *>(effects);
}

// Plays the WAV file to its end, waiting at most limitMs.
Q_DECL_EXPORT int vantreloPlaySound(void *effects, const QString &wavPath, int limitMs)
{
    auto &slot = static_cast<Effects *>(effects)->loaded[wavPath];
    if (!slot) {
        slot = std::make_unique<QSoundEffect>();
        slot->setSource(QUrl::fromLocalFile(wavPath));
    }
    QSoundEffect &effect = *slot;

    // Without a working device the effect may report "playing" for ever: the wait is
    // bounded. User input waits too, so no handler runs twice.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool started = false;
    bool failed = false;
    auto startWhenReady = [&] {
        if (effect.status() == QSoundEffect::Error) {
            failed = true;
            loop.quit();
        } else if (effect.status() == QSoundEffect::Ready && !started) {
            started = true;
            effect.play();
        }
    };
    const auto c1 = QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, startWhenReady);
    const auto c2 = QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (started && !effect.isPlaying())
            loop.quit();
    });
    startWhenReady();
    limit.start(limitMs);
    if (!failed)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    if (failed) {
        static_cast<Effects *>(effects)->loaded.erase(wavPath);
        return Broken;
    }
    if (effect.isPlaying()) {
        effect.stop();
        return TimedOut;
    }
    return started ? Played : TimedOut;
}

} // extern "C"
