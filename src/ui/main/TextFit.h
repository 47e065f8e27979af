#pragma once
// Long translated texts in controls of fixed width: cut at a word's middle they read as
// a fault. A list opens as wide as its longest entry; a one-line label shows as much as
// fits, ends in "…", and keeps the whole text as its tooltip.
#include <QString>

class QComboBox;
class QLabel;

namespace vt {

// Lets the combo box's drop-down list grow to its longest entry; the closed box keeps
// its width.
void fitPopupToItems(QComboBox *combo);

// Sets the label's text, elided to its present width, and the whole text as tooltip.
void setElidedText(QLabel *label, const QString &text);
// The label's whole text: what setElidedText was given, or its text when it never was.
QString fullText(const QLabel *label);
// Elides the label's whole text again for its present width (after a resize).
void refreshElidedText(QLabel *label);

} // namespace vt
