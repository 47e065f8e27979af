#include "ui/main/HandoverCommands.h"

#include "app/ProjectHandover.h"
#include "app/SingleInstance.h"
#include "ui/main/ProjectCommands.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

namespace vt {

HandoverCommands::HandoverCommands(QMainWindow &window, ProjectCommands &projects, std::function<void()> refuse,
                                   std::function<void(int)> exitNow)
    : QObject(&window), m_window(window), m_projects(projects), m_refuse(std::move(refuse)),
      m_exitNow(std::move(exitNow))
{
}

bool HandoverCommands::handOverOrRefuse(const SingleInstanceLock &lock, const QString &commandLine)
{
    // A project opened from the file manager while the program runs goes to the running
    // window instead of being dropped with the refusal.
    const QFileInfo project(commandLine);
    if (!commandLine.trimmed().isEmpty() && project.isFile()
        && handOverProject(handoverServerName(lock.lockFilePath()), project.absoluteFilePath())) {
        m_exitNow(0);
        return false;
    }
    m_refuse();
    m_exitNow(0);
    return false;
}

void HandoverCommands::listen(const SingleInstanceLock &lock)
{
    m_server = new ProjectHandoverServer(handoverServerName(lock.lockFilePath()),
                                         nameAliasFolder(QFileInfo(lock.lockFilePath()).path()), this);
    connect(m_server, &ProjectHandoverServer::projectReceived, this, &HandoverCommands::open);
    m_server->listen();
}

void HandoverCommands::open(const QString &path)
{
    // Not under an open dialog, which works on the cover as it is: wait until it closes.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(250, this, [this, path] { open(path); });
        return;
    }
    if (m_window.windowState() & Qt::WindowMinimized)
        m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.raise();
    m_window.activateWindow();
    m_projects.openPath(path);
}

} // namespace vt
