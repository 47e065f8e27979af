#include "formats/Catalogue.h"

#include "app/AppState.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "common/TextFile.h"

#include <QStringList>

namespace vt {

namespace {

void readText(FieldReader &in, QString &target)
{
    if (auto f = in.readField())
        target = *f;
}

// A length that is not a number, or does not fit 32 bits, keeps its earlier value.
void readLength(FieldReader &in, qint32 &target)
{
    const auto f = in.readField();
    if (!f)
        return;
    if (f->isEmpty()) {
        target = 0;
        return;
    }
    if (const auto number = parseLeadingNumber(*f))
        if (const auto v = toInt32(*number))
            target = *v;
}

// A text field as one line that the field reader takes back whole. A comma would split
// it and shift every later field of the file, and surrounding blanks or a leading quote
// would be lost, so such a text is written in double quotes, the form the reader takes
// commas and blanks from. A text that also holds a double quote has no form the reader
// keeps; its quotes become apostrophes so the file at least stays in step.
QString storedText(const QString &text)
{
    const auto needsQuotes = [](const QString &t) {
        return t.contains(u',') || t.startsWith(u'"') || t.startsWith(u' ') || t.startsWith(u'\t')
               || t.endsWith(u' ') || t.endsWith(u'\t');
    };
    QString out = singleLine(text);
    if (!needsQuotes(out))
        return out;
    out.replace(u'"', u'\'');
    return needsQuotes(out) ? u'"' + out + u'"' : out;
}

} // namespace

bool ReadCatalogue(const QString &path, AppState &state)
{
    const auto text = readTextFile(path);
    if (!text)
        return false;
    FieldReader in(*text);
    for (int i = 0; i <= state.LastFormatIndex && i < FormatCatalogue::Capacity; ++i) {
        CoverFormat &f = state.Catalogue.entries[size_t(i)];
        readText(in, f.Reserved1);
        readLength(in, f.DimA);
        readLength(in, f.DimB);
        readText(in, f.Orientation);
        readLength(in, f.DimC);
        readLength(in, f.DimD);
        readText(in, f.Shape);
        readText(in, f.Reserved2);
        readText(in, f.OffsetX);
        readText(in, f.OffsetY);
        readText(in, f.OffsetX2);
        readText(in, f.OffsetY2);
        if (i == ThreeLabelFormat) {
            readText(in, state.Format14OffsetX3);
            readText(in, state.Format14OffsetY3);
        }
    }
    return true;
}

QStringList catalogueLines(const AppState &state)
{
    QStringList lines;
    for (int i = 0; i <= state.LastFormatIndex && i < FormatCatalogue::Capacity; ++i) {
        const CoverFormat &f = state.Catalogue.entries[size_t(i)];
        lines << storedText(f.Reserved1) << QString::number(f.DimA) << QString::number(f.DimB)
              << storedText(f.Orientation) << QString::number(f.DimC) << QString::number(f.DimD)
              << storedText(f.Shape) << storedText(f.Reserved2) << storedText(f.OffsetX.trimmed())
              << storedText(f.OffsetY.trimmed()) << storedText(f.OffsetX2.trimmed())
              << storedText(f.OffsetY2.trimmed());
        if (i == ThreeLabelFormat)
            lines << storedText(state.Format14OffsetX3.trimmed())
                  << storedText(state.Format14OffsetY3.trimmed());
    }
    return lines;
}

bool writeCatalogueFile(const QString &path, const AppState &state, QString *error)
{
    return writeTextLines(path, catalogueLines(state), error);
}

} // namespace vt
