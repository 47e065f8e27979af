#pragma once
// The font families the title editor offers. Qt names a family that several foundries
// ship "Family [Foundry]", once per foundry; the user chooses a family, and a font set
// by its family name alone takes whichever foundry the font system prefers.
#include <QStringList>

namespace vt {

// "Nimbus Sans [urw]" -> "Nimbus Sans"; a name without a foundry stays as it is.
QString familyWithoutFoundry(const QString &family);

// Each family once, foundries dropped, in the order first met.
QStringList uniqueFontFamilies(const QStringList &families);

} // namespace vt
