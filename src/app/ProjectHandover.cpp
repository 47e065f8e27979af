#include "app/ProjectHandover.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vt {

namespace {
constexpr char Receipt[] = "OK\n";
constexpr qsizetype LengthBytes = 4;
} // namespace

QString handoverServerName(const QString &lockFilePath)
{
    QString name = lockFilePath;
    if (name.endsWith(QStringLiteral(".lock")))
        name.chop(5);
    return name + QStringLiteral(".socket");
}

QString nameAliasFolder(const QString &privateFolder)
{
    return privateFolder.isEmpty() ? QString() : privateFolder + QStringLiteral("/names");
}

QByteArray projectArgumentBytes(const QList<QByteArray> &arguments, const QString &project)
{
    if (project.isEmpty())
        return {};
    for (const QByteArray &argument : arguments)
        if (QFile::decodeName(argument) == project)
            return argument;
    const QByteArray whole = arguments.join(' ');
    return QFile::decodeName(whole) == project ? whole : QByteArray();
}

QByteArray handoverMessage(const QByteArray &fileName)
{
    QByteArray message(LengthBytes, '\0');
    qToBigEndian(quint32(fileName.size()), message.data());
    return message + fileName;
}

bool handOverProject(const QString &serverName, const QString &absolutePath, int timeoutMs)
{
    const QByteArray name = QFile::encodeName(absolutePath);
    if (name.isEmpty() || name.size() > ProjectHandoverServer::MaxMessageBytes)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(handoverMessage(name));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    QByteArray answer;
    while (answer.size() < qsizetype(sizeof(Receipt) - 1)) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
        answer += socket.readAll();
    }
    return answer.startsWith(Receipt);
}

namespace {

// A link at linkBytes to targetBytes, replacing a link of an earlier run that may point
// elsewhere by now. False when it cannot be made.
bool placeLink(const QByteArray &targetBytes, const QByteArray &linkBytes)
{
    ::unlink(linkBytes.constData());
    return ::symlink(targetBytes.constData(), linkBytes.constData()) == 0;
}

// A readable name for a link: the hash keeps names apart, the rest (with the bytes Qt
// cannot read replaced) tells the user what it stands for.
QString linkName(const QByteArray &hashed, const QByteArray &shownBytes)
{
    const QByteArray hash = QCryptographicHash::hash(hashed, QCryptographicHash::Sha1).toHex().left(12);
    QString shown = QFile::decodeName(shownBytes);
    shown.replace(QChar::ReplacementCharacter, u'_');
    return QString::fromLatin1(hash) + (shown.isEmpty() ? QString() : u'-' + shown);
}

bool decodesFaithfully(const QByteArray &bytes)
{
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

// A relative name is taken from the working folder, whose own name counts as well.
// Empty when the working folder cannot be read.
QByteArray absoluteFileName(const QByteArray &fileName)
{
    if (fileName.startsWith('/'))
        return fileName;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return {};
    return QByteArray(cwd) + '/' + fileName;
}

} // namespace

bool needsNameAlias(const QByteArray &fileName)
{
    const QByteArray absolute = absoluteFileName(fileName);
    return !absolute.isEmpty() && !decodesFaithfully(absolute);
}

QString openableFileName(const QByteArray &fileName, const QString &aliasFolder)
{
    const QString decoded = QFile::decodeName(fileName);
    const QByteArray target = absoluteFileName(fileName);
    if (aliasFolder.isEmpty() || target.isEmpty() || decodesFaithfully(target))
        return decoded;
    if (::mkdir(QFile::encodeName(aliasFolder).constData(), 0700) != 0 && errno != EEXIST)
        return decoded;
    // The project's folder gets a link of its own, and the project is reached through
    // it: pictures named relative to the project are found beside it, and a save
    // replaces the file in its own folder, not a link among the aliases.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folderBytes = slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray nameBytes = target.mid(slash + 1);
    const qsizetype parent = folderBytes.lastIndexOf('/');
    const QString folderLink = aliasFolder + u'/' + linkName(folderBytes, folderBytes.mid(parent + 1));
    if (!placeLink(folderBytes, QFile::encodeName(folderLink)))
        return decoded;
    if (decodesFaithfully(nameBytes))
        return folderLink + u'/' + QFile::decodeName(nameBytes);
    // A name Qt cannot spell needs a link of its own as well, pointing through the
    // folder's link, so that where it leads can be read back faithfully.
    const QString alias = aliasFolder + u'/' + linkName(target, nameBytes);
    if (!placeLink(QFile::encodeName(folderLink) + '/' + nameBytes, QFile::encodeName(alias)))
        return decoded;
    return alias;
}

ProjectHandoverServer::ProjectHandoverServer(QString name, QString aliasFolder, QObject *parent)
    : QObject(parent), m_name(std::move(name)), m_aliasFolder(std::move(aliasFolder)),
      m_server(new QLocalServer(this))
{
    // Only this user may hand projects over.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &ProjectHandoverServer::accept);
}

bool ProjectHandoverServer::listen()
{
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void ProjectHandoverServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
    }
}

void ProjectHandoverServer::readMessage(QLocalSocket *socket)
{
    if (socket->bytesAvailable() < LengthBytes)
        return;
    const QByteArray head = socket->peek(LengthBytes);
    const quint32 length = qFromBigEndian<quint32>(head.constData());
    if (length == 0 || length > quint32(MaxMessageBytes)) {
        socket->abort(); // no path is that long: not one of ours
        return;
    }
    if (socket->bytesAvailable() < LengthBytes + qint64(length))
        return; // the rest is on its way
    socket->skip(LengthBytes);
    const QByteArray name = socket->read(length);
    socket->write(Receipt);
    socket->flush();
    socket->disconnectFromServer();
    emit projectReceived(openableFileName(name, m_aliasFolder));
}

} // namespace vt
