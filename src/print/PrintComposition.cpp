#include "print/PrintComposition.h"

#include "app/AppState.h"
#include "common/Numbers.h"
#include "formats/FormatTraits.h"

#include <cmath>

namespace vt {

namespace {

constexpr double FooterGapMm = 5.0;

} // namespace

std::optional<double> printPosition(const QString &offsetText)
{
    const double mm = leadingNumber(offsetText);
    // Past this no page exists; the limit keeps every later sum finite and exact.
    constexpr double limit = 2147483647.0;
    if (!std::isfinite(mm) || std::abs(mm) > limit)
        return std::nullopt;
    return std::round(mm * 100) / 100;
}

QString footerText(const AppState &state)
{
    return state.Language[22] + u' ' + state.VersionCaption + QStringLiteral(" - ") + state.Language[23];
}

SlimOffsets slimOffsets(int formatIndex)
{
    const SlimPieces p = slimPiecesOf(formatIndex);
    return {qint16(p.frontStart), p.spineStart};
}

PrintComposition composeCover(const AppState &state, int i, int outlineSwitch, QSizeF printableMm,
                              const TextMeasure &measure)
{
    PrintComposition page;
    auto fail = [&](const QString &what) { page.failures << what; };
    const bool outlines = outlineSwitch == 1;
    const FormatTraits &traits = formatTraits(i);
    const bool circles = traits.isDisc();

    auto picture = [&](PrintPicture which, double x, double y, double w, double h) {
        page.operations.append({PageOperation::Kind::Picture, which, QRectF(x, y, w, h), {}});
    };
    auto outline = [&](double x, double y, double w, double h) {
        if (circles) {
            page.operations.append({PageOperation::Kind::Circle, {}, discSquare(QRectF(x, y, w, h)), {}});
        } else {
            page.operations.append({PageOperation::Kind::Box, {}, QRectF(x, y, w, h), {}});
        }
    };
    // A value that cannot be computed keeps its previous one: 0 for positions.
    auto position = [&](const QString &text, const char *name) -> double {
        if (const auto v = printPosition(text))
            return *v;
        fail(QStringLiteral("print position %1 \"%2\" is out of range").arg(QLatin1String(name), text));
        return 0;
    };
    auto millimetres = [&](qint32 preview, const char *name) -> double {
        if (state.PreviewScale == 0) {
            fail(QStringLiteral("size %1: the preview scale is 0").arg(QLatin1String(name)));
            return 0;
        }
        return double(preview) / double(state.PreviewScale);
    };

    const CoverFormat *format = i <= state.LastFormatIndex ? state.Catalogue.at(i) : nullptr;
    if (!format) {
        fail(QStringLiteral("format %1 is not in the catalogue").arg(i));
        return page;
    }

    const double X1 = position(format->OffsetX, "X");
    const double Y1 = position(format->OffsetY, "Y");
    const double A = millimetres(state.PreviewA, "A");
    const double B = millimetres(state.PreviewB, "B");

    if (traits.isSlim()) {
        const SlimOffsets k = slimOffsets(i);
        const double dimA = format->DimA;
        const double dimB = format->DimB;
        picture(PrintPicture::SlimBack, X1, Y1, dimA - k.front, dimB);
        picture(PrintPicture::SlimSpine, X1 + k.spine, Y1, dimA - 2 * k.spine, dimB);
        picture(PrintPicture::SlimFront, X1 + k.front, Y1, dimA - k.front, dimB);
    } else {
        picture(PrintPicture::Picture1, X1, Y1, A, B);
        const double C = millimetres(state.PreviewC, "C");
        const double D = millimetres(state.PreviewD, "D");
        if (state.PreviewC > 0) {
            const double X2 = position(format->OffsetX2, "X2");
            const double Y2 = position(format->OffsetY2, "Y2");
            const bool overlay = traits.backOverlay;
            picture(overlay ? PrintPicture::Overlay : PrintPicture::Picture2, X2, Y2, C, D);
            if (outlines)
                outline(X2, Y2, C, D);
        }
        if (i == ThreeLabelFormat) {
            const double X3 = position(state.Format14OffsetX3, "X3");
            const double Y3 = position(state.Format14OffsetY3, "Y3");
            // The third label has the size of the second.
            picture(PrintPicture::Picture3, X3, Y3, C, D);
            if (outlines)
                outline(X3, Y3, C, D);
        }
    }
    if (outlines)
        outline(X1, Y1, A, B);

    const QString footer = footerText(state);
    const QSizeF size = measure ? measure(footer) : QSizeF();
    const double x = (printableMm.width() - size.width()) / 2;
    const double y = printableMm.height() - size.height() - FooterGapMm;
    if (format->Orientation == u"Verticale" || format->DimB < 181)
        page.operations.append({PageOperation::Kind::Text, {}, QRectF(QPointF(x, y), size), footer});
    return page;
}

} // namespace vt
