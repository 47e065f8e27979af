#include "platform/SoundPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
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

namespace {

// The multimedia module's functions (sound/SoundEffects.cpp).
using HasOutput = bool (*)();
using CreateEffects = void *(*)();
using DestroyEffects = void (*)(void *);
using PlaySound = int (*)(void *, const QString &, int);

} // namespace

struct SoundPlayer::Module
{
    QLibrary library;
    HasOutput hasOutput = nullptr;
    DestroyEffects destroy = nullptr;
    PlaySound play = nullptr;
    void *effects = nullptr;

    ~Module()
    {
        if (effects)
            destroy(effects);
        // The library stays loaded: Qt's multimedia threads may outlive the effects.
    }
};

SoundPlayer::SoundPlayer(QString modulePath, std::function<bool()> hasAudioOutput)
    : m_modulePath(std::move(modulePath)), m_hasOutput(std::move(hasAudioOutput))
{
}

SoundPlayer::~SoundPlayer() = default;

SoundPlayer::Module *SoundPlayer::module()
{
    if (m_moduleTried)
        return m_module.get();
    m_moduleTried = true;
    auto m = std::make_unique<Module>();
    m->library.setFileName(m_modulePath);
    if (!m->library.load())
        return nullptr;
    m->hasOutput = reinterpret_cast<HasOutput>(m->library.resolve("vantreloHasAudioOutput"));
    const auto create = reinterpret_cast<CreateEffects>(m->library.resolve("vantreloCreateEffects"));
    m->destroy = reinterpret_cast<DestroyEffects>(m->library.resolve("vantreloDestroyEffects"));
    m->play = reinterpret_cast<PlaySound>(m->library.resolve("vantreloPlaySound"));
    if (!m->hasOutput || !create || !m->destroy || !m->play)
        return nullptr;
    m->effects = create();
    m_module = std::move(m);
    return m_module.get();
}

SoundPlayer::Outcome SoundPlayer::play(const QString &wavPath)
{
    // Without the module there is nothing to play with: as good as no audio output.
    Module *m = m_hasOutput ? nullptr : module();
    if (m_hasOutput ? !m_hasOutput() : (!m || !m->hasOutput()))
        return Outcome::NoOutput;
    QFile file(wavPath);
    if (!QFileInfo(wavPath).isFile() || !file.open(QIODevice::ReadOnly))
        return Outcome::Missing;
    // Click sounds are small; a large file is no click sound of ours.
    const QByteArray bytes = file.read(4 * 1024 * 1024);
    const auto duration = wavDurationMs(bytes);
    if (!duration)
        return Outcome::Broken;
    if (!m)
        m = module();
    if (!m)
        return Outcome::NoOutput;
    // The wait is bounded by the sound's own length and the time to start the device.
    return Outcome(m->play(m->effects, wavPath, *duration + MarginMs));
}

std::function<void(const QString &)> programSoundHook(const QString &appPath)
{
    auto player = std::make_shared<SoundPlayer>(appPath + QStringLiteral("/") + QLatin1String(SoundModuleName));
    return [player, appPath](const QString &relativeWav) { player->play(appPath + u'/' + relativeWav); };
}

} // namespace vt
