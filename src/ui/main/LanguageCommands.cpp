#include "ui/main/LanguageCommands.h"

#include "app/AppState.h"
#include "common/StepRunner.h"
#include "lang/QtTranslations.h"
#include "platform/FileFilters.h"
#include "ui/dialogs/CommonDialogs.h"

#include <QWidget>
#include <algorithm>

namespace vt {

LanguageCommands::LanguageCommands(QWidget &owner, AppState &state, Window window)
    : QObject(&owner), m_owner(owner), m_state(state), m_window(std::move(window))
{
}

LanguageCommands::~LanguageCommands() = default;

bool LanguageCommands::reloadTexts(LanguageReading reading)
{
    return readLanguageFile(m_state.AppPath + QStringLiteral("/Files/Lang/") + m_state.LanguageFileName,
                            m_state.Language, reading);
}

void LanguageCommands::load()
{
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    steps.run(QStringLiteral("read"), [&] {
        if (reloadTexts(LanguageReading::Normal))
            return true;
        // A window with empty captions is of no use: when nothing was ever loaded
        // (a first start on a locale whose file does not ship), fall back to English.
        const bool tableEmpty = std::all_of(m_state.Language.entries.begin(), m_state.Language.entries.end(),
                                            [](const QString &s) { return s.isEmpty(); });
        if (!tableEmpty)
            return false;
        const QString previous = m_state.LanguageFileName;
        m_state.LanguageFileName = QStringLiteral("English.lng");
        if (reloadTexts(LanguageReading::Normal))
            return true;
        m_state.LanguageFileName = previous;
        return false;
    });
    steps.run(QStringLiteral("qt texts"), [&] {
        if (!m_qt)
            m_qt = std::make_unique<QtTranslations>();
        return m_qt->load(languageLocale(m_state.Language, m_state.LanguageFileName));
    });
    steps.run(QStringLiteral("captions"), [&] { m_window.showTexts(); });
}

void LanguageCommands::chooseByDialog()
{
    const LanguageTable &t = m_state.Language;
    const QString chosen = ShowOpenDialog(&m_owner, 1, t[45], QString(),
                                          makeFilter({{t[46], QStringLiteral("*.lng")}, {t[21], QStringLiteral("*.*")}}),
                                          m_state.AppPath + QStringLiteral("/Files/Lang"), QStringLiteral("lng"));
    if (chosen.isEmpty())
        return;
    applyChosenFile(chosen);
}

void LanguageCommands::applyChosenFile(const QString &chosen)
{
    StepRunner steps(ErrorPolicy::AbandonSilently);
    steps.run(QStringLiteral("name"), [&] {
        const QString name = languageFileNameFromPath(chosen);
        if (!name.isEmpty())
            m_state.LanguageFileName = name;
    });
    steps.run(QStringLiteral("settings"), [&] { m_window.storeSettings(); });
    steps.run(QStringLiteral("load"), [&] { load(); });
    steps.run(QStringLiteral("arrange"), [&] { m_window.arrangeAgain(); });
}

void LanguageCommands::showHelp()
{
    m_window.openExternally(resolveHelpPage(m_state.AppPath, m_state.LanguageFileName));
}

} // namespace vt
