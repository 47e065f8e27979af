#pragma once
// Reading composed pages in tests: the operations of one kind, and a footer measure of a
// fixed size so positions do not depend on the fonts installed.
#include "print/PrintComposition.h"

#include <QList>

inline const vt::TextMeasure fixedMeasure = [](const QString &) { return QSizeF(60, 3); };

inline QList<vt::PageOperation> ofKind(const vt::PrintComposition &page, vt::PageOperation::Kind kind)
{
    QList<vt::PageOperation> out;
    for (const vt::PageOperation &op : page.operations)
        if (op.kind == kind)
            out << op;
    return out;
}
