#include "platform/SoundPlayer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace vt {

namespace {

quint16 u16(const char *p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char *p) { return qFromLittleEndian<quint32>(p); }

// Click sounds are short; a header claiming more is not one of ours.
constexpr qint64 LongestSoundMs = 10'000;

} // namespace

std::optional<int> wavDurationMs(const QByteArray &bytes)
{
    const char *d = bytes.constData();
    const qint64 n = bytes.size();
    if (n < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0)
        return std::nullopt;
    quint32 byteRate = 0;
    bool haveFormat = false;
    qint64 pos = 12;
    while (pos + 8 <= n) {
        const quint32 size = u32(d + pos + 4);
        const qint64 body = pos + 8;
        const qint64 available = std::min<qint64>(size, n - body);
        if (std::memcmp(d + pos, "fmt ", 4) == 0) {
            if (available < 16)
                return std::nullopt;
            const quint16 format = u16(d + body);
            const quint16 channels = u16(d + body + 2);
            const quint32 rate = u32(d + body + 4);
            byteRate = u32(d + body + 8);
            const quint16 blockAlign = u16(d + body + 12);
            const quint16 bits = u16(d + body + 14);
            // PCM, IEEE float, or the extensible header carrying either.
            if ((format != 1 && format != 3 && format != 0xFFFE) || channels == 0 || rate == 0 || byteRate == 0
                || blockAlign == 0 || bits == 0 || bits % 8 != 0 || blockAlign != channels * (bits / 8)
                || byteRate != rate * blockAlign)
                return std::nullopt;
            haveFormat = true;
        } else if (std::memcmp(d + pos, "data", 4) == 0) {
            if (!haveFormat || available <= 0)
                return std::nullopt;
            const qint64 ms = (available * 1000 + byteRate - 1) / byteRate;
            if (ms <= 0 || ms > LongestSoundMs)
                return std::nullopt;
            return int(ms);
        }
        // Chunks are padded to an even length.
        pos = body + qint64(size) + (size & 1);
    }
    return std::nullopt;
}

SoundPlayer::SoundPlayer(std::function<bool()> hasAudioOutput) : m_hasOutput(std::move(hasAudioOutput))
{
    if (!m_hasOutput)
        m_hasOutput = [] { return !QMediaDevices::audioOutputs().isEmpty(); };
}

SoundPlayer::~SoundPlayer() = default;

SoundPlayer::Outcome SoundPlayer::play(const QString &wavPath)
{
    if (!m_hasOutput())
        return Outcome::NoOutput;
    QFile file(wavPath);
    if (!QFileInfo(wavPath).isFile() || !file.open(QIODevice::ReadOnly))
        return Outcome::Missing;
    // Click sounds are small; a large file is no click sound of ours.
    const QByteArray bytes = file.read(4 * 1024 * 1024);
    const auto duration = wavDurationMs(bytes);
    if (!duration)
        return Outcome::Broken;

    auto &slot = m_effects[wavPath];
    if (!slot) {
        slot = std::make_unique<QSoundEffect>();
        slot->setSource(QUrl::fromLocalFile(wavPath));
    }
    QSoundEffect &effect = *slot;

    // Without a working device the effect may report "playing" for ever: the wait is
    // bounded by the sound's length. User input waits too, so no handler runs twice.
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
    limit.start(*duration + MarginMs);
    if (!failed)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    if (failed) {
        m_effects.erase(wavPath);
        return Outcome::Broken;
    }
    if (effect.isPlaying()) {
        effect.stop();
        return Outcome::TimedOut;
    }
    return started ? Outcome::Played : Outcome::TimedOut;
}

std::function<void(const QString &)> programSoundHook(const QString &appPath)
{
    auto player = std::make_shared<SoundPlayer>();
    return [player, appPath](const QString &relativeWav) { player->play(appPath + u'/' + relativeWav); };
}

} // namespace vt
