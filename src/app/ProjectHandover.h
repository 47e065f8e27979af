#pragma once
// A project opened while the program already runs (a double-click in the file manager)
// is handed to the running copy over a local socket, instead of being refused and lost.
#include <QObject>
#include <QString>

class QLocalServer;

namespace vt {

// The socket's name follows the single-instance lock's file, so it is per user and per
// program folder just as the lock is.
QString handoverServerName(const QString &lockFilePath);

// Sends one absolute path to the running copy and waits, bounded, for its receipt.
// False when no copy listens or it did not answer in time.
bool handOverProject(const QString &serverName, const QString &absolutePath, int timeoutMs = 3000);

class ProjectHandoverServer : public QObject
{
    Q_OBJECT
public:
    // Longest message taken: a path, not a file's contents.
    static constexpr qint64 MaxMessageBytes = 64 * 1024;

    ProjectHandoverServer(QString name, QObject *parent = nullptr);
    // Only the holder of the single-instance lock listens, so a socket file left by a copy
    // that crashed can be replaced safely.
    bool listen();
    QString name() const { return m_name; }

signals:
    void projectReceived(const QString &absolutePath);

private:
    void accept();

    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace vt
