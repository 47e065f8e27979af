#pragma once
// Qt's own texts (file and colour dialogs, message-box buttons) in the language of the
// current language file. The language file names its locale; older files without that
// entry are known by their file name.
#include <QString>
#include <memory>

class QTranslator;

namespace vt {

struct LanguageTable;

// The locale of a language file's name ("Deutsch.lng" -> "de"), for files without a
// locale entry; an empty text for names the program does not know.
QString localeForLanguageFileName(const QString &languageFileName);

// The locale entry when the file has one, otherwise the file name's locale.
QString languageLocale(const LanguageTable &texts, const QString &languageFileName);

// The .qm file of Qt's base translations for a locale in folder: the exact locale
// ("pt_BR"), its language alone ("pt"), or another country's file of the same language
// ("pt_PT" finds "qtbase_pt_BR.qm"); an empty text when the folder has none.
QString qtBaseTranslationFile(const QString &localeName, const QString &folder);

// Holds the one Qt translator the program installs; loading another language removes
// the previous one first, so English (no file) brings back Qt's built-in texts.
class QtTranslations
{
public:
    // folder: where the .qm files lie; empty means Qt's own translations folder.
    explicit QtTranslations(QString folder = QString());
    ~QtTranslations();

    // True when a translation was found and installed for the locale.
    bool load(const QString &localeName);
    QString loadedFile() const { return m_loaded; }

private:
    void remove();

    QString m_folder;
    std::unique_ptr<QTranslator> m_translator;
    QString m_loaded;
};

} // namespace vt
