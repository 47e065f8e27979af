#include "app/ProjectHandover.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace vt {

namespace {
constexpr char Receipt[] = "OK\n";
}

QString handoverServerName(const QString &lockFilePath)
{
    QString name = lockFilePath;
    if (name.endsWith(QStringLiteral(".lock")))
        name.chop(5);
    return name + QStringLiteral(".socket");
}

bool handOverProject(const QString &serverName, const QString &absolutePath, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(absolutePath.toUtf8() + '\n');
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

ProjectHandoverServer::ProjectHandoverServer(QString name, QObject *parent)
    : QObject(parent), m_name(std::move(name)), m_server(new QLocalServer(this))
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray buffered = socket->peek(MaxMessageBytes + 1);
            const qsizetype end = buffered.indexOf('\n');
            if (end < 0) {
                if (buffered.size() > MaxMessageBytes)
                    socket->abort(); // no path is that long: not one of ours
                return;
            }
            const QString path = QString::fromUtf8(socket->read(end + 1).chopped(1));
            socket->write(Receipt);
            socket->flush();
            socket->disconnectFromServer();
            if (!path.isEmpty())
                emit projectReceived(path);
        });
    }
}

} // namespace vt
