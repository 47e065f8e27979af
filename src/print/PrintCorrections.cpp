#include "print/PrintCorrections.h"

#include "app/ProgramFolders.h"
#include "common/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vt {

namespace {

const QString HeaderLine =
    QStringLiteral("# Vantrelo printer corrections: printer=offset X mm;offset Y mm;scale X %;scale Y %");

QString encodedName(const QString &printer)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(printer));
}

double within(double v, double low, double high, double otherwise)
{
    return std::isfinite(v) ? std::clamp(v, low, high) : otherwise;
}

// The file's lines as far as the size cap; the last line is dropped when the cap cut it.
QStringList fileLines(const QString &file)
{
    if (!isRegularFile(file))
        return {};
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.read(MaxPrintCorrectionsBytes);
    QStringList lines = splitLines(QString::fromUtf8(bytes));
    if (!f.atEnd() && !lines.isEmpty())
        lines.removeLast();
    return lines;
}

struct Entry
{
    QString key; // encoded name
    QString value;
};

std::optional<Entry> entryOf(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (line.startsWith(u'#') || eq <= 0)
        return std::nullopt;
    return Entry{line.left(eq), line.mid(eq + 1)};
}

std::optional<PrintCorrection> correctionOf(const QString &value)
{
    const QStringList parts = value.split(u';');
    if (parts.size() != 4)
        return std::nullopt;
    double v[4];
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        v[k] = parts[k].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v[k]))
            return std::nullopt;
    }
    return clampCorrection({v[0], v[1], v[2], v[3]});
}

QString valueOf(const PrintCorrection &c)
{
    auto n = [](double v) { return QString::number(v, 'g', 12); };
    return QStringLiteral("%1;%2;%3;%4").arg(n(c.offsetXMm), n(c.offsetYMm), n(c.scaleXPercent), n(c.scaleYPercent));
}

} // namespace

PrintCorrection clampCorrection(PrintCorrection c)
{
    c.offsetXMm = within(c.offsetXMm, MinCorrectionOffsetMm, MaxCorrectionOffsetMm, 0);
    c.offsetYMm = within(c.offsetYMm, MinCorrectionOffsetMm, MaxCorrectionOffsetMm, 0);
    c.scaleXPercent = within(c.scaleXPercent, MinCorrectionScalePercent, MaxCorrectionScalePercent, 100);
    c.scaleYPercent = within(c.scaleYPercent, MinCorrectionScalePercent, MaxCorrectionScalePercent, 100);
    return c;
}

QString printCorrectionsFile(const AppState &state)
{
    return writableFilesFolder(state) + QStringLiteral("/PrinterCorrections.ini");
}

PrintCorrection readPrintCorrection(const QString &file, const QString &printer)
{
    if (printer.isEmpty())
        return {};
    const QString key = encodedName(printer);
    PrintCorrection found;
    // The last line of a printer counts, as it would had the file been written twice.
    for (const QString &line : fileLines(file))
        if (const auto entry = entryOf(line); entry && entry->key == key)
            if (const auto c = correctionOf(entry->value))
                found = *c;
    return found;
}

bool writePrintCorrection(const QString &file, const QString &printer, const PrintCorrection &c, QString *error)
{
    if (printer.isEmpty()) {
        if (error)
            *error = QStringLiteral("no printer is named");
        return false;
    }
    const QString key = encodedName(printer);
    // Other printers' lines stay as they are; lines that are no printer's are dropped,
    // so a damaged file mends itself on the next write.
    QStringList lines{HeaderLine};
    for (const QString &line : fileLines(file))
        if (const auto entry = entryOf(line); entry && entry->key != key && correctionOf(entry->value))
            lines << line;
    const PrintCorrection kept = clampCorrection(c);
    if (!kept.isIdentity())
        lines << key + u'=' + valueOf(kept);
    QDir().mkpath(QFileInfo(file).absolutePath());
    return writeTextLines(file, lines, error);
}

} // namespace vt
