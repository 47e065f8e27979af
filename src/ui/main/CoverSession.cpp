#include "ui/main/CoverSession.h"

#include "app/AppState.h"
#include "document/CoverDocument.h"
#include "document/Recovery.h"
#include "ui/main/ProjectCommands.h"

#include <QFileInfo>
#include <QMainWindow>

#include <cstdio>

namespace vt {

QString coverWindowTitle(const QString &projectPath, const QString &untitled, const QString &versionCaption)
{
    const QString name = projectPath.isEmpty() ? untitled : QFileInfo(projectPath).fileName();
    return name + QStringLiteral("[*] - ") + versionCaption;
}

CoverSession::CoverSession(QMainWindow &window, CoverDocument &document, ProjectCommands &projects,
                           const AppState &state)
    : QObject(&window), m_window(window), m_document(document), m_projects(projects), m_state(state)
{
    connect(&document, &CoverDocument::modifiedChanged, this, &CoverSession::updateTitle);
    connect(&document, &CoverDocument::projectPathChanged, this, &CoverSession::updateTitle);
}

void CoverSession::updateTitle()
{
    m_window.setWindowTitle(coverWindowTitle(m_document.projectPath(),
                                             m_state.Language.fallbackText(LanguageTable::UntitledEntry),
                                             m_state.VersionCaption));
    m_window.setWindowModified(m_document.isModified());
}

void CoverSession::keepRecovery(const QString &file, int intervalMs)
{
    if (m_keeper)
        return;
    m_keeper = new RecoveryKeeper(file, [this] { return m_projects.recoverySnapshot(); }, this);
    m_keeper->setInterval(intervalMs);
    connect(&m_document, &CoverDocument::modifiedChanged, m_keeper, &RecoveryKeeper::setModified);
    connect(&m_document, &CoverDocument::contentChanged, m_keeper, &RecoveryKeeper::noteChange);
    connect(&m_projects, &ProjectCommands::workDiscarded, m_keeper, &RecoveryKeeper::discard);
    connect(m_keeper, &RecoveryKeeper::writeFailed, this, [](const QString &reason) {
        std::fprintf(stderr, "vantrelo: the recovery file could not be written: %s\n", qPrintable(reason));
    });
    m_keeper->setModified(m_document.isModified());
}

} // namespace vt
