#pragma once
// The main window's menus and menu items in the current language, found by their object
// names.
class QWidget;

namespace vt {

struct LanguageTable;

void applyMenuTexts(QWidget &window, const LanguageTable &texts);

} // namespace vt
