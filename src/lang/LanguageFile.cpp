#include "lang/LanguageFile.h"

#include "common/TextFile.h"

#include <QFileInfo>

namespace vt {

const char *legacyEncodingForLanguage(const QString &languageFileName)
{
    const QString base = QFileInfo(languageFileName).completeBaseName().toLower();
    if (base == u"greek")
        return "windows-1253";
    if (base == u"russian" || base == u"ukrainian")
        return "windows-1251";
    if (base == u"czech" || base == u"slovak" || base == u"hungarian" || base == u"romanian")
        return "windows-1250";
    if (base == u"turkish")
        return "windows-1254";
    return "windows-1252";
}

void applyLanguageLines(const QStringList &lines, LanguageTable &table, LanguageReading reading)
{
    const int count = int(std::min<qsizetype>(lines.size(), LanguageTable::Size));
    for (int k = 0; k < count; ++k) {
        const QString &line = lines[k];
        if (line.size() >= 3)
            table.at(k) = line.mid(3);
        else if (line.size() == 2 && reading == LanguageReading::StartupSecond)
            table.at(k).clear();
    }
}

bool readLanguageFile(const QString &path, LanguageTable &table, LanguageReading reading)
{
    const auto text = readTextFile(path, legacyEncodingForLanguage(path));
    if (!text)
        return false;
    applyLanguageLines(splitLines(*text), table, reading);
    return true;
}

QString chooseInitialLanguage(const QString &localeName, const QString &langFolder)
{
    const QString code = localeName.left(2).toLower();
    QString name = QStringLiteral("English");
    if (code == u"br") name = QStringLiteral("Brazilian");
    else if (code == u"cs") name = QStringLiteral("Czech");
    else if (code == u"da") name = QStringLiteral("Danish");
    else if (code == u"de") name = QStringLiteral("Deutsch");
    else if (code == u"es") name = QStringLiteral("Spanish");
    else if (code == u"fr") {
        if (QFileInfo::exists(langFolder + QStringLiteral("/Français.lng")))
            name = QStringLiteral("Français");
        else if (QFileInfo::exists(langFolder + QStringLiteral("/French.lng")))
            name = QStringLiteral("French");
    }
    else if (code == u"hu") name = QStringLiteral("Hungarian");
    // Linux reports Indonesian as "id"; older systems said "in".
    else if (code == u"in" || code == u"id") name = QStringLiteral("Indonesian");
    else if (code == u"it") name = QStringLiteral("Italiano");
    else if (code == u"pt") name = QStringLiteral("Portuguese");
    else if (code == u"ro") name = QStringLiteral("Romanian");
    else if (code == u"ru") name = QStringLiteral("Russian");
    else if (code == u"sk" || code == u"sl") name = QStringLiteral("Slovak");
    else if (code == u"sv") name = QStringLiteral("Swedish");
    else if (code == u"tr") name = QStringLiteral("Turkish");
    else if (code == u"uk" || code == u"ua") name = QStringLiteral("Ukrainian");
    return name + QStringLiteral(".lng");
}

QString helpPageFor(const QString &languageFileName)
{
    const QString n = languageFileName.toLower();
    QString page = QStringLiteral("en"); // languages without a page of their own read English
    if (n == u"français.lng" || n == u"francais.lng" || n == u"french.lng") page = QStringLiteral("fr");
    else if (n == u"italiano.lng") page = QStringLiteral("it");
    else if (n == u"english.lng") page = QStringLiteral("en");
    else if (n == u"portuguese.lng" || n == u"brazilian.lng") page = QStringLiteral("pt");
    else if (n == u"spanish.lng") page = QStringLiteral("es");
    else if (n == u"hungarian.lng") page = QStringLiteral("hu");
    else if (n == u"romanian.lng") page = QStringLiteral("ro");
    else if (n == u"ukrainian.lng") page = QStringLiteral("ua");
    else if (n == u"russian.lng") page = QStringLiteral("ru");
    else if (n == u"deutsch.lng") page = QStringLiteral("de");
    return QStringLiteral("Files/Help-%1.html").arg(page);
}

QString languageFileNameFromPath(const QString &chosenPath)
{
    static const QString marker = QStringLiteral("/Lang/");
    const qsizetype at = chosenPath.lastIndexOf(marker);
    return at < 0 ? QString() : chosenPath.mid(at + marker.size());
}

} // namespace vt

namespace vt {
QString resolveHelpPage(const QString &appPath, const QString &languageFileName)
{
    const QString own = appPath + u'/' + helpPageFor(languageFileName);
    if (QFileInfo::exists(own))
        return own;
    return appPath + QStringLiteral("/Files/Help-en.html");
}
} // namespace vt
