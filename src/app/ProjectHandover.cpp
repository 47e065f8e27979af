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

QString openableFileName(const QByteArray &fileName, const QString &aliasFolder)
{
    const QString decoded = QFile::decodeName(fileName);
    if (QFile::encodeName(decoded) == fileName || aliasFolder.isEmpty())
        return decoded;
    if (::mkdir(QFile::encodeName(aliasFolder).constData(), 0700) != 0 && errno != EEXIST)
        return decoded;
    // One link per name, reused on the next opening; the link keeps the file's own
    // ending, with the bytes Qt cannot read replaced, so the window shows a likely name.
    const QByteArray hash = QCryptographicHash::hash(fileName, QCryptographicHash::Sha1).toHex().left(12);
    QString shown = QFileInfo(decoded).fileName();
    shown.replace(QChar::ReplacementCharacter, u'_');
    const QString alias = aliasFolder + u'/' + QString::fromLatin1(hash) + u'-' + shown;
    const QByteArray aliasBytes = QFile::encodeName(alias);
    QByteArray target = fileName;
    if (!target.startsWith('/')) {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd))
            return decoded;
        target = QByteArray(cwd) + '/' + target;
    }
    ::unlink(aliasBytes.constData()); // a link of an earlier run may point elsewhere by now
    if (::symlink(target.constData(), aliasBytes.constData()) != 0)
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
