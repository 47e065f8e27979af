#pragma once
// Language files (Files/Lang/*.lng): line k is entry k of the table; the first three
// characters of every line are a prefix the program skips.
#include "lang/LanguageTable.h"

#include <QString>
#include <QStringList>

namespace vt {

enum class LanguageReading {
    Normal,       // a line shorter than three characters leaves its entry unchanged
    StartupSecond // start-up's second reading: a two-character line empties its entry
};

// The 8-bit code page a language file is written in when it is not UTF-8.
const char *legacyEncodingForLanguage(const QString &languageFileName);

void applyLanguageLines(const QStringList &lines, LanguageTable &table, LanguageReading reading);

// False (table untouched) when the file cannot be read.
bool readLanguageFile(const QString &path, LanguageTable &table,
                      LanguageReading reading = LanguageReading::Normal);

// The first start's choice from the user's locale name ("de_DE", "id_ID", "C"...):
// a file name such as "Deutsch.lng". langFolder is searched for the French file's name.
QString chooseInitialLanguage(const QString &localeName, const QString &langFolder);

// The help page of a language, relative to the program folder ("Files/Help-en.html").
QString helpPageFor(const QString &languageFileName);

// The file name after the last "/Lang/" of a chosen path, or an empty text when the
// path has none (the language then stays as it was).
QString languageFileNameFromPath(const QString &chosenPath);

} // namespace vt

namespace vt {
// The help page to open: the language's own page when the program folder has it,
// otherwise the English one.
QString resolveHelpPage(const QString &appPath, const QString &languageFileName);
} // namespace vt
