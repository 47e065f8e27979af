#include "ui/main/MenuTexts.h"

#include "lang/LanguageTable.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace vt {

void applyMenuTexts(QWidget &window, const LanguageTable &texts)
{
    auto item = [&window](const char *name, const QString &caption) {
        if (QAction *a = window.findChild<QAction *>(QLatin1String(name)))
            a->setText(caption);
    };
    auto menu = [&window](const char *name, const QString &caption) {
        if (QMenu *m = window.findChild<QMenu *>(QLatin1String(name)))
            m->setTitle(caption);
    };
    auto t = [&texts](int entry) { return texts[entry]; };
    menu("mnuFile", t(40));
    item("mnuNuovo", texts.fallbackText(LanguageTable::NewProjectEntry));
    item("mnuApriDS", t(101) + QStringLiteral("..."));
    item("mnuSalva", t(6));
    item("mnuSalvaConNome", t(52));
    item("mnuFileApri", t(0) + QStringLiteral(" &1..."));
    item("mnuImg2", t(0) + QStringLiteral(" &2..."));
    item("mnuImg3", t(0) + QStringLiteral(" &3..."));
    item("mnuFileStampa", t(1));
    item("mnuFileEsci", t(41));
    menu("mnuFormato", t(32));
    menu("mnuStrumenti", t(99));
    item("mnuOpzioni", t(9));
    item("mnuTitolo", t(3));
    menu("mnuCercaCover", t(8));
    item("mnuLingua", t(44));
    item("mnuAggLingua", t(94));
    menu("mnuDonazioni", t(42));
    item("mnuDonazioniFaiunadonazione", t(31));
    menu("mnuGuida", t(43));
    item("mnuMenu1Guida", t(5));
    item("mnuVersione", t(100));
    item("mnuAggiornamenti", t(17));
    item("mnuMenu1Informazioni", t(4));
}

} // namespace vt
