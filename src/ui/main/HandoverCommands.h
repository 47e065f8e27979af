#pragma once
// The window's side of a second start: a start refused because this copy runs hands its
// project over, and projects handed over to this copy are opened as File > Open does.
#include <QObject>
#include <QString>
#include <functional>

class QMainWindow;

namespace vt {

class ProjectCommands;
class ProjectHandoverServer;
class SingleInstanceLock;

class HandoverCommands : public QObject
{
    Q_OBJECT
public:
    // refuse: the refusal box, then the end of the process (exit code 0).
    HandoverCommands(QMainWindow &window, ProjectCommands &projects, std::function<void()> refuse,
                     std::function<void(int code)> exitNow);

    // For a start that did not get the lock: hands the command line's project to the
    // running copy, or refuses. Always false: this start goes no further.
    bool handOverOrRefuse(const SingleInstanceLock &lock, const QString &commandLine);
    // For the copy that holds the lock: takes projects from later starts.
    void listen(const SingleInstanceLock &lock);
    void open(const QString &path);

private:
    QMainWindow &m_window;
    ProjectCommands &m_projects;
    std::function<void()> m_refuse;
    std::function<void(int)> m_exitNow;
    ProjectHandoverServer *m_server = nullptr;
};

} // namespace vt
