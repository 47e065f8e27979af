#include "lang/QtTranslations.h"

#include "lang/LanguageTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace vt {

QString localeForLanguageFileName(const QString &languageFileName)
{
    // The names the first start chooses from, and the Greek file.
    static const struct
    {
        const char16_t *name;
        const char *locale;
    } names[] = {
        {u"english", "en"},     {u"italiano", "it"},  {u"deutsch", "de"},    {u"français", "fr"},
        {u"francais", "fr"},    {u"french", "fr"},    {u"spanish", "es"},    {u"portuguese", "pt_PT"},
        {u"brazilian", "pt_BR"}, {u"czech", "cs"},    {u"danish", "da"},     {u"hungarian", "hu"},
        {u"indonesian", "id"},  {u"romanian", "ro"},  {u"russian", "ru"},    {u"slovak", "sk"},
        {u"swedish", "sv"},     {u"turkish", "tr"},   {u"ukrainian", "uk"},  {u"greek", "el"},
    };
    // A file in a subfolder of Lang counts by its own name.
    const QString base = QFileInfo(languageFileName).completeBaseName().toLower();
    for (const auto &n : names)
        if (base == QStringView(n.name))
            return QString::fromLatin1(n.locale);
    return QString();
}

QString languageLocale(const LanguageTable &texts, const QString &languageFileName)
{
    const QString entry = texts[LanguageTable::LocaleEntry].trimmed();
    // Only a locale-shaped entry counts: a file that still holds "Reserved" there, or
    // any other word, is known by its name instead.
    static const auto looksLikeLocale = [](const QString &s) {
        if (s.size() < 2 || s.size() > 10)
            return false;
        for (QChar c : s)
            if (!(c.isLetter() && c.unicode() < 128) && c != u'_' && c != u'-')
                return false;
        return s[0].isLower() && s[1].isLower() && (s.size() == 2 || s[2] == u'_' || s[2] == u'-'
                                                    || (s.size() == 3 && s[2].isLower()));
    };
    if (looksLikeLocale(entry))
        return entry;
    return localeForLanguageFileName(languageFileName);
}

QString qtBaseTranslationFile(const QString &localeName, const QString &folder)
{
    QString name = localeName;
    name.replace(u'-', u'_');
    if (name.isEmpty())
        return QString();
    const QDir dir(folder);
    const QString language = name.section(u'_', 0, 0).toLower();
    for (const QString &candidate : {name, language}) {
        const QString file = QStringLiteral("qtbase_%1.qm").arg(candidate);
        if (dir.exists(file))
            return dir.filePath(file);
    }
    const QStringList others = dir.entryList({QStringLiteral("qtbase_%1_*.qm").arg(language)}, QDir::Files, QDir::Name);
    return others.isEmpty() ? QString() : dir.filePath(others.constFirst());
}

QtTranslations::QtTranslations(QString folder) : m_folder(std::move(folder))
{
    if (m_folder.isEmpty())
        m_folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

QtTranslations::~QtTranslations()
{
    remove();
}

void QtTranslations::remove()
{
    if (m_translator && QCoreApplication::instance())
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator.reset();
    m_loaded.clear();
}

bool QtTranslations::load(const QString &localeName)
{
    remove();
    const QString file = qtBaseTranslationFile(localeName, m_folder);
    if (file.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    m_translator = std::move(translator);
    m_loaded = file;
    return true;
}

} // namespace vt
