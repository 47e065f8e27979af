#pragma once
// The user-interface language: reading the current .lng file (with Qt's own texts for
// its locale), the Language command and its dialog, and the help page of the language.
#include "lang/LanguageFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace vt {

class QtTranslations;
struct AppState;

class LanguageCommands : public QObject
{
    Q_OBJECT
public:
    struct Window
    {
        std::function<void()> showTexts;       // captions, menus and placeholders anew
        std::function<void()> storeSettings;   // the language chosen is kept at once
        std::function<void()> arrangeAgain;    // the format and layout after new texts
        std::function<bool(const QString &pathOrUrl)> openExternally;
    };
    LanguageCommands(QWidget &owner, AppState &state, Window window);
    ~LanguageCommands() override;

    // Reads the current language file into the table alone.
    bool reloadTexts(LanguageReading reading);
    // Reads it, falls back to English where nothing was ever read, and shows the texts.
    void load();
    void chooseByDialog();
    // The Language command after its dialog: a file chosen under a "Lang" folder.
    void applyChosenFile(const QString &chosenPath);
    void showHelp();
    QtTranslations *qtTranslations() const { return m_qt.get(); }

private:
    QWidget &m_owner;
    AppState &m_state;
    Window m_window;
    std::unique_ptr<QtTranslations> m_qt;
};

} // namespace vt
