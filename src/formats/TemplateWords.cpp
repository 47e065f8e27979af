#include "formats/TemplateWords.h"

#include "lang/LanguageTable.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace vt {

namespace {

int entryOfWord(QStringView key)
{
    if (key == u"BACK") return LanguageTable::TemplateBackEntry;
    if (key == u"FRONT") return LanguageTable::TemplateFrontEntry;
    if (key == u"SPINE") return LanguageTable::TemplateSpineEntry;
    if (key == u"DROP") return LanguageTable::TemplateDropEntry;
    if (key == u"INSIDE") return LanguageTable::TemplateInsideEntry;
    if (key == u"DISC") return LanguageTable::TemplateDiscEntry;
    return -1;
}

// A share of the picture: a finite number from 0 to 1 (sizes above 0).
bool share(const QString &text, double &out)
{
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && out >= 0 && out <= 1;
}

constexpr char WordsKeyName[] = "vtWords";

} // namespace

QHash<QString, QList<TemplateWord>> readTemplateWords(const QString &wordsFile)
{
    QHash<QString, QList<TemplateWord>> words;
    QFile file(wordsFile);
    // The file is small; a huge one is not ours.
    if (file.size() > 1 << 20 || !file.open(QIODevice::ReadOnly))
        return words;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString &line : lines) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'\t');
        if (f.size() != 10)
            continue;
        TemplateWord w;
        w.entry = entryOfWord(f[1]);
        w.suffix = f[2];
        w.vertical = f[7] == u"v";
        w.bold = f[8] == u"b";
        w.colour = QColor::fromString(f[9]);
        if (w.entry < 0 || !share(f[3], w.x) || !share(f[4], w.y) || !share(f[5], w.size) || !share(f[6], w.length)
            || w.size <= 0 || w.length <= 0 || !w.colour.isValid() || (f[7] != u"v" && f[7] != u"h"))
            continue;
        words[f[0]].append(w);
    }
    return words;
}

QString templateWordsKey(const LanguageTable &texts)
{
    QStringList parts;
    for (int e = LanguageTable::TemplateBackEntry; e <= LanguageTable::TemplateDiscEntry; ++e)
        parts << texts.fallbackText(e);
    return parts.join(u'\x1f');
}

void drawTemplateWords(QImage &picture, const QList<TemplateWord> &words, const LanguageTable &texts)
{
    if (picture.isNull() || words.isEmpty())
        return;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::Antialiasing);
    const double W = picture.width(), H = picture.height();
    for (const TemplateWord &w : words) {
        const QString text = texts.fallbackText(w.entry) + w.suffix;
        if (text.trimmed().isEmpty())
            continue;
        QFont font(QStringLiteral("Liberation Sans"));
        font.setBold(w.bold);
        double pixels = std::max(1.0, w.size * H);
        font.setPixelSize(std::max(1, int(std::lround(pixels))));
        const double room = w.length * (w.vertical ? H : W);
        const double advance = QFontMetricsF(font).horizontalAdvance(text);
        if (advance > room && advance > 0) {
            pixels *= room / advance;
            font.setPixelSize(std::max(1, int(std::floor(pixels))));
        }
        const QFontMetricsF m(font);
        const double width = m.horizontalAdvance(text);
        // Centred across its line on the middle between ascent and descent.
        const double baseline = (m.ascent() - m.descent()) / 2;
        p.save();
        p.setFont(font);
        p.setPen(w.colour);
        if (w.vertical) {
            p.translate(w.x * W, w.y * H);
            p.rotate(90);
            p.drawText(QPointF(0, baseline), text);
        } else {
            p.drawText(QPointF(w.x * W - width / 2, w.y * H + baseline), text);
        }
        p.restore();
    }
}

PictureLoader placeholderLoader(const QString &appPath, const LanguageTable &texts, const PictureLoader &load)
{
    const QString modelli = appPath + QStringLiteral("/Modelli/");
    // Read on the first placeholder loaded: most format selections load none.
    auto words = std::make_shared<std::optional<QHash<QString, QList<TemplateWord>>>>();
    const QString key = templateWordsKey(texts);
    return [words, key, modelli, &texts, load](const QString &path) {
        QImage picture = load(path);
        if (picture.isNull() || !path.startsWith(modelli))
            return picture;
        if (!*words)
            *words = readTemplateWords(modelli + QStringLiteral("Words.txt"));
        drawTemplateWords(picture, (*words)->value(path.mid(modelli.size())), texts);
        picture.setText(QString::fromLatin1(WordsKeyName), key);
        return picture;
    };
}

QString placeholderWordsKey(const QImage &picture)
{
    return picture.text(QString::fromLatin1(WordsKeyName));
}

} // namespace vt
