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
        lines << singleLine(f.Reserved1) << QString::number(f.DimA) << QString::number(f.DimB)
              << singleLine(f.Orientation) << QString::number(f.DimC) << QString::number(f.DimD)
              << singleLine(f.Shape) << singleLine(f.Reserved2) << singleLine(f.OffsetX.trimmed())
              << singleLine(f.OffsetY.trimmed()) << singleLine(f.OffsetX2.trimmed())
              << singleLine(f.OffsetY2.trimmed());
        if (i == ThreeLabelFormat)
            lines << singleLine(state.Format14OffsetX3.trimmed())
                  << singleLine(state.Format14OffsetY3.trimmed());
    }
    return lines;
}

bool writeCatalogueFile(const QString &path, const AppState &state)
{
    return writeTextLines(path, catalogueLines(state));
}

} // namespace vt
