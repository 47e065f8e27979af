#include "project/ProjectFile.h"

#include "common/Numbers.h"
#include "common/Text.h"
#include "common/TextFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vt {

namespace {

// " 1 " for 1, "-5 " for -5: how the line-printing routine has always written numbers.
QString numberLine(qint64 value)
{
    return (value >= 0 ? QStringLiteral(" ") : QString()) + QString::number(value) + u' ';
}

QString fontSizeLine(float size)
{
    // QString::number ignores the locale, so the separator is a point everywhere; the
    // replacement is kept for the benefit of any comma that could still appear.
    return QString::number(double(size), 'g', 7).replace(u',', u'.');
}

// A number line: the leading number of the text, 0 when there is none.
double numberOf(const QString &line)
{
    return leadingNumber(line);
}

// A decimal with a point and no exponent, trailing zeros dropped: "1", "0.5", "1.25".
// Six places keep a centre to a millionth of the picture, well below one pixel.
QString decimalField(double v)
{
    QString t = QString::number(v, 'f', 6);
    while (t.endsWith(u'0'))
        t.chop(1);
    if (t.endsWith(u'.'))
        t.chop(1);
    return t == QLatin1String("-0") ? QStringLiteral("0") : t;
}

std::optional<double> finiteNumber(const QString &field)
{
    bool ok = false;
    const double v = field.toDouble(&ok); // the C locale: a point as decimal separator
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString modeName(Placement::Mode m)
{
    switch (m) {
    case Placement::Mode::Fill: return QStringLiteral("fill");
    case Placement::Mode::Fit: return QStringLiteral("fit");
    case Placement::Mode::Stretch: break;
    }
    return QStringLiteral("stretch");
}

bool writesPlacements(const ProjectFile &p)
{
    return p.hasPlacements
           || std::any_of(p.placements.begin(), p.placements.end(), [](const Placement &x) { return x != Placement{}; });
}

// Whether `path` lies in `folder` or below it; `relative` receives the path from there.
bool insideFolder(const QString &folder, const QString &path, QString &relative)
{
    relative = QDir(folder).relativeFilePath(path);
    return !relative.isEmpty() && relative != QLatin1String(".") && !QDir::isAbsolutePath(relative)
           && relative != QLatin1String("..") && !relative.startsWith(QLatin1String("../"));
}

constexpr double MinimumFontSize = 1.0;
constexpr double MaximumFontSize = 1638.0;

} // namespace

QString placementLine(const Placement &p)
{
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(modeName(p.mode), decimalField(p.zoom), decimalField(p.centreX), decimalField(p.centreY))
        .arg(p.turns);
}

Placement parsePlacementLine(const QString &line)
{
    const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
    if (f.size() != 5)
        return {};
    Placement p;
    const QString mode = f[0].toLower();
    if (mode == QLatin1String("stretch"))
        p.mode = Placement::Mode::Stretch;
    else if (mode == QLatin1String("fill"))
        p.mode = Placement::Mode::Fill;
    else if (mode == QLatin1String("fit"))
        p.mode = Placement::Mode::Fit;
    else
        return {};
    const auto zoom = finiteNumber(f[1]);
    const auto x = finiteNumber(f[2]);
    const auto y = finiteNumber(f[3]);
    const auto turns = finiteNumber(f[4]);
    if (!zoom || !x || !y || !turns || *turns != std::floor(*turns))
        return {};
    p.zoom = std::clamp(*zoom, 1.0, 8.0);
    p.centreX = std::clamp(*x, 0.0, 1.0);
    p.centreY = std::clamp(*y, 0.0, 1.0);
    p.turns = int(std::clamp(*turns, 0.0, 3.0));
    return p;
}

QStringList projectLines(const ProjectFile &p)
{
    const TitleStyle &t = p.title;
    QStringList lines = {
        singleLine(p.picturePaths[0]),
        singleLine(p.picturePaths[1]),
        singleLine(p.picturePaths[2]),
        numberLine(p.outlineSwitch),
        singleLine(t.CoverText),
        singleLine(t.SpineText),
        singleLine(t.FontName),
        fontSizeLine(t.FontSize),
        numberLine(t.FontBold ? 1 : 0),
        numberLine(t.FontItalic ? 1 : 0),
        numberLine(t.FontUnderline ? 1 : 0),
        numberLine(qint32(t.ForeColor)),
        numberLine(p.titleOnCover),
        numberLine(p.titleOnSpine),
        numberLine(p.formatIndex),
    };
    if (writesPlacements(p)) {
        lines << QLatin1String(PlacementSectionLine);
        for (const Placement &placement : p.placements)
            lines << placementLine(placement);
    }
    return lines;
}

QByteArray projectBytes(const ProjectFile &project)
{
    QByteArray out;
    for (const QString &line : projectLines(project)) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

std::optional<qint16> parseFormatIndexLine(const QString &line)
{
    const QString t = line.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok); // the C locale: a point as decimal separator
    if (!ok)
        return std::nullopt;
    return toInt16(v);
}

float projectFontSize(double read)
{
    const double whole = roundHalfEven(read);
    if (!(whole >= MinimumFontSize))
        return float(MinimumFontSize);
    return float(std::min(whole, MaximumFontSize));
}

ProjectReading readProjectText(const QString &text)
{
    ProjectReading r;
    FieldReader in(text);
    ProjectFile &p = r.project;

    auto fail = [&](int line, const QString &reason) {
        r.error = ProjectError{line, escapeControls(reason)};
        return r;
    };
    auto missing = [&](int line) {
        return fail(line, QStringLiteral("the file ends before line %1 of %2").arg(line).arg(ProjectLineCount));
    };
    // Whole numbers that must fit their field: a value the field cannot hold stops the
    // reading there, like any other line that cannot be taken.
    auto wholeNumber = [&](const QString &line, qint64 low, qint64 high) -> std::optional<qint64> {
        const double v = roundHalfEven(numberOf(line));
        if (!(v >= double(low) && v <= double(high)))
            return std::nullopt;
        return qint64(v);
    };

    std::array<QString, ProjectLineCount> lines;
    for (int k = 0; k < ProjectLineCount; ++k) {
        const auto line = in.readLine();
        if (!line)
            break;
        lines[size_t(k)] = *line;
        r.linesRead = k + 1;
    }
    const int available = r.linesRead;
    r.linesRead = 0;

    for (int n = 1; n <= ProjectLineCount; ++n) {
        if (n > available)
            return missing(n);
        const QString &line = lines[size_t(n - 1)];
        switch (n) {
        case 1: case 2: case 3:
            p.picturePaths[size_t(n - 1)] = line;
            break;
        case 4: {
            // The switch knows unticked, ticked and undecided (0, 1, 2); it refuses the rest.
            const auto v = wholeNumber(line, 0, 2);
            if (!v)
                return fail(n, QStringLiteral("the outline switch cannot take the value \"%1\"").arg(line.trimmed()));
            p.outlineSwitch = qint16(*v);
            break;
        }
        case 5: case 6: {
            QString title = line;
            if (title.size() > MaxTitleCharacters) {
                r.warnings << QStringLiteral("The %1 title on line %2 has %3 characters; it was cut to the first %4.")
                                  .arg(n == 5 ? QStringLiteral("front") : QStringLiteral("spine"))
                                  .arg(n)
                                  .arg(title.size())
                                  .arg(MaxTitleCharacters);
                title.truncate(MaxTitleCharacters);
                // Never half of a character outside the basic plane.
                if (title.back().isHighSurrogate())
                    title.chop(1);
            }
            (n == 5 ? p.title.CoverText : p.title.SpineText) = title;
            break;
        }
        case 7: p.title.FontName = line; break;
        case 8: p.title.FontSize = projectFontSize(numberOf(line)); break;
        case 9: p.title.FontBold = numberOf(line) == 1.0; break;
        case 10: p.title.FontItalic = numberOf(line) == 1.0; break;
        case 11: p.title.FontUnderline = numberOf(line) == 1.0; break;
        case 12: {
            const auto v = wholeNumber(line, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
            if (!v)
                return fail(n, QStringLiteral("the colour \"%1\" is not a 32-bit number").arg(line.trimmed()));
            p.title.ForeColor = quint32(qint32(*v));
            break;
        }
        case 13: case 14: {
            const auto v = wholeNumber(line, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
            if (!v)
                return fail(n, QStringLiteral("\"%1\" is too large a number").arg(line.trimmed()));
            (n == 13 ? p.titleOnCover : p.titleOnSpine) = qint16(*v);
            break;
        }
        case 15: {
            const auto v = parseFormatIndexLine(line);
            if (!v)
                return fail(n, QStringLiteral("the format \"%1\" is not a number").arg(line.trimmed()));
            p.formatIndex = *v;
            break;
        }
        }
        r.linesRead = n;
    }

    // The placement section, when the file has one; blank lines before it are allowed.
    std::optional<QString> next;
    do
        next = in.readLine();
    while (next && next->trimmed().isEmpty());
    if (next && next->trimmed().compare(QLatin1String(PlacementSectionLine), Qt::CaseInsensitive) == 0) {
        p.hasPlacements = true;
        for (Placement &placement : p.placements) {
            const auto line = in.readLine();
            if (!line)
                break;
            placement = parsePlacementLine(*line);
        }
    }
    return r;
}

ProjectReading readProjectBytes(const QByteArray &bytes)
{
    return readProjectText(decodeText(bytes, "windows-1252"));
}

QString resolvePicturePath(const QString &projectFile, const QString &picturePath)
{
    const QString trimmed = picturePath.trimmed();
    if (trimmed.isEmpty() || QDir::isAbsolutePath(trimmed))
        return trimmed;
    const QFileInfo project(projectFile);
    const QString beside = QDir::cleanPath(project.absoluteDir().filePath(trimmed));
    // A project reached through a link (one made for a name Qt cannot spell, or the
    // user's own) has its pictures beside the file it leads to, when not beside the link.
    if (project.isSymLink() && !QFileInfo::exists(beside)) {
        const QString there = QDir::cleanPath(QFileInfo(project.symLinkTarget()).absoluteDir().filePath(trimmed));
        if (QFileInfo::exists(there))
            return there;
    }
    return beside;
}

QStringList projectInputFiles(const QString &projectFile)
{
    QStringList files{projectFile};
    if (const auto text = readTextFile(projectFile)) {
        const ProjectReading reading = readProjectText(*text);
        for (int k = 0; k < std::min(reading.linesRead, 3); ++k)
            if (const QString picture = resolvePicturePath(projectFile, reading.project.picturePaths[size_t(k)]);
                !picture.isEmpty())
                files << picture;
    }
    return files;
}

QString picturePathForProject(const QString &knownPath, const QString &readFrom, const QString &targetProject)
{
    const QString trimmed = knownPath.trimmed();
    if (trimmed.isEmpty())
        return knownPath;
    // A relative path without a project it was read from has nothing to be taken from:
    // it is kept as it is.
    if (!QDir::isAbsolutePath(trimmed) && readFrom.isEmpty())
        return knownPath;
    const QString file = QDir::isAbsolutePath(trimmed) ? QDir::cleanPath(trimmed) : resolvePicturePath(readFrom, trimmed);
    const QString folder = QFileInfo(targetProject).absolutePath();
    QString relative;
    const QString stored = insideFolder(folder, file, relative) ? relative : file;
    return stored == trimmed ? knownPath : stored;
}

void storePicturePaths(ProjectFile &project, const QString &readFrom, const QString &targetProject)
{
    for (QString &path : project.picturePaths)
        path = picturePathForProject(path, readFrom, targetProject);
}

} // namespace vt
