#include "formats/OptionsEditor.h"

#include "common/Numbers.h"
#include "common/Text.h"

#include <cmath>

namespace vt {

bool isRoundFormat(const CoverFormat &format)
{
    return format.Shape.trimmed() == u"Cerchio";
}

OptionsView showOptionsFormat(const AppState &state, int k, const OptionsFieldTexts &previous)
{
    OptionsView v;
    v.text = previous;
    const CoverFormat *f = state.Catalogue.at(k);
    if (!f)
        return v;
    v.text[FieldX1] = f->OffsetX.trimmed();
    v.text[FieldY1] = f->OffsetY.trimmed();
    v.text[FieldDimA] = QString::number(f->DimA);
    v.text[FieldDimB] = QString::number(f->DimB);
    v.text[FieldDimC] = QString::number(f->DimC);
    v.text[FieldDimD] = QString::number(f->DimD);
    v.shown[FieldX1] = v.shown[FieldY1] = v.shown[FieldDimA] = true;

    if (isRoundFormat(*f)) {
        v.dimension1HeaderEntry = 88;
        v.dimension2HeaderShown = false;
    } else {
        v.dimension1HeaderEntry = 86;
        v.dimension2HeaderShown = true;
        v.shown[FieldDimB] = true;
        const bool second = leadingNumber(v.text[FieldDimC]) != 0.0;
        v.shown[FieldDimC] = v.shown[FieldDimD] = second;
    }

    v.row2Shown = leadingNumber(f->OffsetY2) != 0.0;
    if (v.row2Shown) {
        v.text[FieldX2] = f->OffsetX2.trimmed();
        v.text[FieldY2] = f->OffsetY2.trimmed();
    }
    v.shown[FieldX2] = v.shown[FieldY2] = v.row2Shown;

    v.row3Shown = k == ThreeLabelFormat;
    if (v.row3Shown) {
        v.text[FieldX3] = state.Format14OffsetX3.trimmed();
        v.text[FieldY3] = state.Format14OffsetY3.trimmed();
    }
    v.shown[FieldX3] = v.shown[FieldY3] = v.row3Shown;
    return v;
}

std::optional<qint32> wholeMillimetres(const QString &text)
{
    bool ok = false;
    // The whole text must be the number: "12 mm" or "" would store a size nobody typed.
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return toInt32(v);
}

StoreOutcome storeOptionsFields(AppState &state, int k, int leftField, OptionsFieldTexts &fields)
{
    StoreOutcome out;
    CoverFormat *f = state.Catalogue.at(k);
    if (!f)
        return out;

    if (leftField == FieldY2 && leadingNumber(fields[FieldY1]) > leadingNumber(fields[FieldY2])) {
        fields[FieldY2] = fields[FieldY1];
        if (leadingNumber(fields[FieldY2]) < 1.0)
            fields[FieldY2] = QStringLiteral("1");
        out.field3Corrected = true;
    }

    // Offsets are kept as typed: one line each, or the catalogue's lines would shift.
    f->OffsetX = singleLine(fields[FieldX1].trimmed());
    f->OffsetY = singleLine(fields[FieldY1].trimmed());
    if (leadingNumber(f->OffsetY2) != 0.0) {
        f->OffsetX2 = singleLine(fields[FieldX2].trimmed());
        f->OffsetY2 = singleLine(fields[FieldY2].trimmed());
    }

    const bool second = f->DimC > 0; // as stored before this step
    auto store = [&](qint32 &target, int field) {
        if (out.stoppedAt)
            return;
        if (const auto v = wholeMillimetres(fields[size_t(field)]))
            target = *v;
        else
            out.stoppedAt = field;
    };
    if (isRoundFormat(*f)) {
        store(f->DimA, FieldDimA);
        store(f->DimB, FieldDimA);
        if (second) {
            store(f->DimC, FieldDimA);
            store(f->DimD, FieldDimA);
        }
    } else {
        store(f->DimA, FieldDimA);
        store(f->DimB, FieldDimB);
        if (second) {
            store(f->DimC, FieldDimC);
            store(f->DimD, FieldDimD);
        }
    }
    if (out.stoppedAt)
        return out;

    if (k == ThreeLabelFormat) {
        state.Format14OffsetX3 = singleLine(fields[FieldX3].trimmed());
        state.Format14OffsetY3 = singleLine(fields[FieldY3].trimmed());
    }
    return out;
}

} // namespace vt
