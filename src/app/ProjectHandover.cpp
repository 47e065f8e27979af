#include "app/ProjectHandover.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
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

namespace {

// The socket's address; false when the name does not fit in one.
bool socketAddress(const QString &serverName, sockaddr_un &address)
{
    const QByteArray path = QFile::encodeName(serverName);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

// Blocking calls on fd give up when the deadline passes.
bool boundBy(int fd, const QDeadlineTimer &deadline)
{
    const qint64 ms = deadline.remainingTime();
    if (ms <= 0)
        return false;
    timeval limit{time_t(ms / 1000), suseconds_t((ms % 1000) * 1000)};
    return ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) == 0
           && ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) == 0;
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

bool handOverProject(const QString &serverName, const QString &absolutePath, int timeoutMs)
{
    const QByteArray name = QFile::encodeName(absolutePath);
    sockaddr_un address;
    if (name.isEmpty() || name.size() > ProjectHandoverServer::MaxMessageBytes
        || !socketAddress(serverName, address))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    const Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0 || !boundBy(socket.get(), deadline)
        || ::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return false;
    const QByteArray message = handoverMessage(name);
    for (qsizetype sent = 0; sent < message.size();) {
        if (!boundBy(socket.get(), deadline))
            return false;
        const ssize_t n = ::send(socket.get(), message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    QByteArray answer;
    while (answer.size() < qsizetype(sizeof(Receipt) - 1)) {
        char buffer[16];
        if (!boundBy(socket.get(), deadline))
            return false;
        const ssize_t n = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        answer.append(buffer, n);
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
    : QObject(parent), m_name(std::move(name)), m_aliasFolder(std::move(aliasFolder))
{
}

ProjectHandoverServer::~ProjectHandoverServer()
{
    while (!m_connections.empty())
        drop(m_connections.begin()->first);
    if (m_listener >= 0) {
        delete m_listening;
        ::close(m_listener);
        ::unlink(QFile::encodeName(m_name).constData());
    }
}

bool ProjectHandoverServer::listen()
{
    sockaddr_un address;
    // Made under a name of its own and readable by this user alone before it takes the
    // real name: nobody else can connect, not even in between.
    sockaddr_un fresh;
    if (m_listener >= 0 || !socketAddress(m_name, address)
        || !socketAddress(m_name + QStringLiteral(".%1").arg(::getpid()), fresh))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    ::unlink(fresh.sun_path);
    const bool made = ::bind(fd, reinterpret_cast<const sockaddr *>(&fresh), sizeof fresh) == 0;
    if (!made || ::chmod(fresh.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0
        || ::rename(fresh.sun_path, address.sun_path) != 0) {
        if (made)
            ::unlink(fresh.sun_path);
        ::close(fd);
        return false;
    }
    m_listener = fd;
    m_listening = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_listening, &QSocketNotifier::activated, this, &ProjectHandoverServer::accept);
    return true;
}

void ProjectHandoverServer::accept()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // EAGAIN: none waiting; anything else: tried again on the next call
        }
        auto *notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
        m_connections[fd] = Connection{notifier, {}};
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readMessage(fd); });
    }
}

void ProjectHandoverServer::drop(int fd)
{
    const auto it = m_connections.find(fd);
    if (it == m_connections.end())
        return;
    it->second.notifier->setEnabled(false);
    it->second.notifier->deleteLater();
    m_connections.erase(it);
    ::close(fd);
}

void ProjectHandoverServer::readMessage(int fd)
{
    const auto it = m_connections.find(fd);
    if (it == m_connections.end())
        return;
    QByteArray &received = it->second.received;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            drop(fd); // closed, or broken, before a whole message came
            return;
        }
        received.append(buffer, n);
        if (received.size() >= LengthBytes) {
            const quint32 length = qFromBigEndian<quint32>(received.constData());
            if (length == 0 || length > quint32(MaxMessageBytes)) {
                drop(fd); // no path is that long: not one of ours
                return;
            }
            if (received.size() >= LengthBytes + qsizetype(length)) {
                const QByteArray name = received.mid(LengthBytes, qsizetype(length));
                ::send(fd, Receipt, sizeof(Receipt) - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                drop(fd);
                emit projectReceived(openableFileName(name, m_aliasFolder));
                return;
            }
        }
    }
}

} // namespace vt
