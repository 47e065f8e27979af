#include "ui/main/SettingsStore.h"

#include "app/AppState.h"
#include "app/ProgramFolders.h"
#include "app/Settings.h"
#include "formats/Catalogue.h"

#include <QDir>
#include <cstdio>

namespace vt {

SettingsStore::SettingsStore(AppState &state, Window window) : m_state(state), m_window(std::move(window)) {}

bool SettingsStore::storeSettings()
{
    const QString path = settingsFilePath(m_state);
    QString error;
    if (writeSettingsFile(path, m_state, m_window.format(), m_window.windowState(), &error))
        return true;
    tellFailure(path, error);
    return false;
}

bool SettingsStore::storeCatalogue()
{
    const QString path = catalogueFilePath(m_state);
    QString error;
    if (writeCatalogueFile(path, m_state, &error))
        return true;
    tellFailure(path, error);
    return false;
}

void SettingsStore::tellFailure(const QString &path, const QString &error)
{
    if (m_state.StoreFailureTold)
        return;
    m_state.StoreFailureTold = true;
    const QString message = QStringLiteral("%1 could not be saved: %2.\nThe settings stay in effect until Vantrelo ends.")
                                .arg(QDir::toNativeSeparators(path), error);
    if (m_window.endingBySignal && m_window.endingBySignal()) {
        std::fprintf(stderr, "vantrelo: %s\n", message.simplified().toLocal8Bit().constData());
        return;
    }
    if (m_window.warn)
        m_window.warn(message);
}

} // namespace vt
