#include "print/Sheet.h"

#include <QRectF>

namespace vt {

QSizeF paperSizeMm(PaperKind paper)
{
    switch (paper) {
    case PaperKind::Letter: return {215.9, 279.4};
    case PaperKind::Legal: return {215.9, 355.6};
    case PaperKind::A4: break;
    }
    return {210, 297};
}

std::optional<PaperKind> paperFromName(const QString &name)
{
    for (PaperKind kind : {PaperKind::A4, PaperKind::Letter, PaperKind::Legal})
        if (name.compare(paperName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    return std::nullopt;
}

QString paperName(PaperKind paper)
{
    switch (paper) {
    case PaperKind::Letter: return QStringLiteral("letter");
    case PaperKind::Legal: return QStringLiteral("legal");
    case PaperKind::A4: break;
    }
    return QStringLiteral("a4");
}

SheetMargins pdfSheet(PaperKind paper)
{
    return {paperSizeMm(paper), QMarginsF(PdfInsetMm, PdfInsetMm, PdfInsetMm, PdfInsetMm)};
}

PageGeometry pageGeometryOn(const SheetMargins &sheet, bool portrait, double dotsPerMm)
{
    const QMarginsF &m = sheet.marginsMm;
    // Margins of the page in the orientation that prints.
    const QMarginsF page = portrait ? m : QMarginsF(m.bottom(), m.left(), m.top(), m.right());
    PageGeometry g;
    g.paperMm = portrait ? sheet.paperMm : sheet.paperMm.transposed();
    g.originMm = {page.left(), page.top()};
    g.printableMm = {g.paperMm.width() - page.left() - page.right(), g.paperMm.height() - page.top() - page.bottom()};
    g.dotsPerMm = dotsPerMm;
    return g;
}

CoverFit coverFit(const PrintComposition &page, const PageGeometry &g)
{
    QRectF cover;
    for (const PageOperation &op : page.operations)
        if (op.kind != PageOperation::Kind::Text)
            cover = cover.isNull() ? op.rect.normalized() : cover.united(op.rect.normalized());
    if (cover.isNull())
        return CoverFit::Inside;
    // Hundredths of a millimetre are the precision of every position; a cover that
    // touches the edge within that is inside.
    constexpr double slack = 0.005;
    auto within = [](const QRectF &inner, const QRectF &outer) {
        return inner.left() >= outer.left() - slack && inner.top() >= outer.top() - slack
            && inner.right() <= outer.right() + slack && inner.bottom() <= outer.bottom() + slack;
    };
    if (within(cover, QRectF(QPointF(0, 0), g.printableMm)))
        return CoverFit::Inside;
    const QRectF paper(-g.originMm, g.paperMm);
    return within(cover, paper) ? CoverFit::CrossesPrintable : CoverFit::CrossesPaper;
}

PrintCorrection correctionOnPage(const PrintCorrection &sheet, bool portrait)
{
    if (portrait)
        return sheet;
    return {-sheet.offsetYMm, sheet.offsetXMm, sheet.scaleYPercent, sheet.scaleXPercent};
}

SheetView sheetViewOf(const PageGeometry &g, const PrintComposition &page)
{
    SheetView view;
    view.paperMm = g.paperMm;
    view.printableMm = QRectF(g.originMm, g.printableMm);
    for (const PageOperation &op : page.operations)
        if (op.kind != PageOperation::Kind::Text && op.kind != PageOperation::Kind::Line)
            view.coverMm << op.rect.translated(g.originMm);
    const CoverFit fit = coverFit(page, g);
    view.offPrintable = fit != CoverFit::Inside;
    view.offPaper = fit == CoverFit::CrossesPaper;
    return view;
}

} // namespace vt
