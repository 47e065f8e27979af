#include "app/Registration.h"

#include "common/TextFile.h"


#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vt {

QString desktopStringValue(const QString &text)
{
    QString value;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': value += QStringLiteral("\\\\"); break;
        case u'\n': value += QStringLiteral("\\n"); break;
        case u'\r': value += QStringLiteral("\\r"); break;
        case u'\t': value += QStringLiteral("\\t"); break;
        default: value += c;
        }
    }
    return value;
}

QString desktopExecArgument(const QString &arg)
{
    // Inside a quoted argument, ", `, $ and \ are escaped with a backslash; "%" is
    // a field code unless doubled.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%') {
            quoted += QStringLiteral("%%");
            continue;
        }
        quoted += c;
    }
    quoted += u'"';
    // The Exec value is itself a string value, so its backslashes and control
    // characters are escaped once more.
    return desktopStringValue(quoted);
}

namespace {

constexpr char WrittenKey[] = "X-Vantrelo-Written=";

// The entry without its last line, the mark of what this program wrote.
QString desktopEntryBody(const QString &executablePath, const QString &iconPath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Vantrelo\n"
                          "GenericName=Cover Maker\n"
                          "Comment=Make and print inserts for disc and game cases\n"
                          "Exec=%1 %f\n"
                          "Icon=%3\n"
                          "Terminal=false\n"
                          "MimeType=%2;\n"
                          "Categories=Graphics;Publishing;\n")
        .arg(desktopExecArgument(executablePath), QLatin1String(ProjectMimeType), desktopStringValue(iconPath));
}

QByteArray writtenMark(const QByteArray &body)
{
    return WrittenKey + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex().left(32) + '\n';
}

} // namespace

QString desktopEntryText(const QString &executablePath, const QString &iconPath)
{
    const QByteArray body = desktopEntryBody(executablePath, iconPath).toUtf8();
    return QString::fromUtf8(body + writtenMark(body));
}

bool isDesktopEntryWeWrote(const QByteArray &entry, const QString &executablePath, const QString &iconPath)
{
    // An entry of this executable from before the mark existed.
    if (entry == desktopEntryBody(executablePath, iconPath).toUtf8())
        return true;
    const qsizetype markAt = entry.lastIndexOf(QByteArray("\n") + WrittenKey) + 1;
    if (markAt <= 0)
        return false;
    const QByteArray body = entry.left(markAt);
    return entry.mid(markAt) == writtenMark(body);
}

QString mimePackageText()
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>Vantrelo cover project</comment>\n"
               "    <glob pattern=\"*.vtr\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(QLatin1String(ProjectMimeType));
}

QString userDataHome()
{
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return env;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

static void startDetachedIfPresent(const QString &program, const QStringList &args)
{
    const QString exe = QStandardPaths::findExecutable(program);
    if (!exe.isEmpty())
        QProcess::startDetached(exe, args);
}

bool registerProjectFileType(const QString &executablePath, const QString &iconPath, const QString &dataHome)
{
    const QString mimeDir = dataHome + QStringLiteral("/mime");
    const QString appsDir = dataHome + QStringLiteral("/applications");
    QDir().mkpath(mimeDir + QStringLiteral("/packages"));
    QDir().mkpath(appsDir);
    const bool mimeOk =
        writeBytesAtomically(mimeDir + QStringLiteral("/packages/vantrelo.xml"), mimePackageText().toUtf8());
    // An entry the user has edited (or one that is not ours) is theirs: it stays as it is.
    const QString entryPath = appsDir + QStringLiteral("/vantrelo.desktop");
    QFile existing(entryPath);
    const bool ours = !existing.exists()
                      || (existing.open(QIODevice::ReadOnly)
                          && isDesktopEntryWeWrote(existing.read(64 * 1024), executablePath, iconPath)
                          && existing.atEnd());
    existing.close();
    const bool desktopOk =
        ours && writeBytesAtomically(entryPath, desktopEntryText(executablePath, iconPath).toUtf8());
    if (mimeOk)
        startDetachedIfPresent(QStringLiteral("update-mime-database"), {mimeDir});
    if (desktopOk)
        startDetachedIfPresent(QStringLiteral("update-desktop-database"), {appsDir});
    return mimeOk && desktopOk;
}

QStringList systemDataDirs()
{
    QStringList dirs;
    for (const QString &dir : qEnvironmentVariable("XDG_DATA_DIRS").split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            dirs << dir;
    if (dirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    return dirs;
}

bool systemWideRegistrationCovers(const QString &appPath, const QStringList &dataDirs)
{
    const QString share = QFileInfo(appPath + QStringLiteral("/../../share")).canonicalFilePath();
    if (share.isEmpty())
        return false;
    for (const QString &dir : dataDirs) {
        if (QFileInfo(dir).canonicalFilePath() != share)
            continue;
        return QFileInfo(share + QStringLiteral("/applications/vantrelo.desktop")).isFile()
               && QFileInfo(share + QStringLiteral("/mime/packages/vantrelo.xml")).isFile();
    }
    return false;
}

// Removes a per-user file only when it holds exactly what this executable would write,
// so an entry the user edited, or one of another copy, stays.
static bool removeIfOurs(const QString &path, const QByteArray &ours)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() != ours.size() || f.readAll() != ours)
        return false;
    f.close();
    return QFile::remove(path);
}

bool registerInstalledCopy(const QString &appPath, const QString &executablePath, const QString &iconPath,
                           const QString &dataHome, const QStringList &dataDirs)
{
    if (!systemWideRegistrationCovers(appPath, dataDirs))
        return registerProjectFileType(executablePath, iconPath, dataHome);
    const QString mimeDir = dataHome + QStringLiteral("/mime");
    const QString appsDir = dataHome + QStringLiteral("/applications");
    if (removeIfOurs(mimeDir + QStringLiteral("/packages/vantrelo.xml"), mimePackageText().toUtf8()))
        startDetachedIfPresent(QStringLiteral("update-mime-database"), {mimeDir});
    const QString entryPath = appsDir + QStringLiteral("/vantrelo.desktop");
    QFile entry(entryPath);
    if (entry.open(QIODevice::ReadOnly) && isDesktopEntryWeWrote(entry.read(64 * 1024), executablePath, iconPath)
        && entry.atEnd() && (entry.close(), QFile::remove(entryPath)))
        startDetachedIfPresent(QStringLiteral("update-desktop-database"), {appsDir});
    return false;
}

} // namespace vt
