#pragma once
// A project opened while the program already runs (a double-click in the file manager)
// is handed to the running copy over a local socket, instead of being refused and lost.
// The socket is the system's own (a Unix-domain stream socket): Qt's local sockets would
// link Qt Network, and the libraries it brings, into every start.
//
// One message per connection: the length of the name as 4 bytes (big-endian), then the
// name as the file system spells it (QFile::encodeName). A name is bytes, not a line:
// it may hold a line break, and need not be UTF-8.
#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>

class QSocketNotifier;

namespace vt {

// The socket's name follows the single-instance lock's file, so it is per user and per
// program folder just as the lock is.
QString handoverServerName(const QString &lockFilePath);

// Where names Qt cannot decode get their links: in the user's private folder (the one
// of the lock, privateRuntimeFolder()); empty when there is none.
QString nameAliasFolder(const QString &privateFolder);

// The bytes of the command line's project: the argument (or, for a name given in
// pieces, the arguments joined by blanks) that decodes to project. Empty when none does.
QByteArray projectArgumentBytes(const QList<QByteArray> &arguments, const QString &project);

// The message that carries one file name.
QByteArray handoverMessage(const QByteArray &fileName);

// Sends one absolute path to the running copy and waits, bounded, for its receipt.
// False when no copy listens or it did not answer in time.
bool handOverProject(const QString &serverName, const QString &absolutePath, int timeoutMs = 3000);

// A name Qt can open for the file named by these bytes. Qt reads file names as UTF-8,
// so a name in another encoding (an old Latin-1 disc, say) does not survive
// QFile::decodeName: such a file is reached through links with UTF-8 names in
// aliasFolder (a folder private to the user), made on the way. The file's folder gets
// a link, and the name is that link followed by the file's name, so that relative
// pictures are found and a save lands in the file's own folder. A file name that cannot
// be spelled gets a link of its own, pointing through the folder's link. Names that
// decode faithfully, and every name when aliasFolder is empty, are returned decoded.
QString openableFileName(const QByteArray &fileName, const QString &aliasFolder);
// Whether openableFileName would need a link: the name, or for a relative one the working
// folder's name, is not spelled faithfully by Qt.
bool needsNameAlias(const QByteArray &fileName);

class ProjectHandoverServer : public QObject
{
    Q_OBJECT
public:
    // Longest message taken: a path, not a file's contents.
    static constexpr qint64 MaxMessageBytes = 64 * 1024;

    // aliasFolder: where names Qt cannot decode get their link (see openableFileName).
    ProjectHandoverServer(QString name, QString aliasFolder = {}, QObject *parent = nullptr);
    // Closes every connection and removes the socket file it made.
    ~ProjectHandoverServer() override;
    // Only the holder of the single-instance lock listens, so a socket file left by a copy
    // that crashed can be replaced safely. Only this user may connect.
    bool listen();
    QString name() const { return m_name; }

signals:
    void projectReceived(const QString &absolutePath);

private:
    struct Connection
    {
        QSocketNotifier *notifier = nullptr;
        QByteArray received;
    };

    void accept();
    void readMessage(int fd);
    void drop(int fd);

    QString m_name;
    QString m_aliasFolder;
    int m_listener = -1;
    QSocketNotifier *m_listening = nullptr;
    std::map<int, Connection> m_connections;
};

} // namespace vt
