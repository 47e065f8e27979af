#pragma once
// The Edit menu (Undo, Redo over the cover's edit history), the standard keys of the
// main window's commands, and which picture commands the format offers.
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QUndoStack;

namespace vt {

struct LanguageTable;

class EditCommands : public QObject
{
    Q_OBJECT
public:
    // Makes the Edit menu, for the window to put in its menu bar.
    EditCommands(QMainWindow &window, QUndoStack &history);

    void applyLanguage(const LanguageTable &texts);
    QMenu *menu() const { return m_menu; }
    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }

private:
    QMenu *m_menu = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
};

// The platform's keys for New, Open, Save, Save as, Print and Quit on the File menu's
// items (found by their object names), with the common ones added where a platform's
// list lacks them (Ctrl+Shift+S, Ctrl+Q).
void applyStandardShortcuts(QMainWindow &window);

// Add picture 2 and Add picture 3 only where the format shows those pictures.
void enableSlotCommands(QMainWindow &window, int formatIndex);

} // namespace vt
