#include "ui/main/WebCommands.h"

#include "app/AppState.h"
#include "net/ReleaseNumber.h"
#include "net/UpdateCheck.h"
#include "net/WebAddresses.h"

#include <QAction>
#include <QMenu>

namespace vt {

void connectWebCommands(Form1 &window, const AppState &state, std::function<bool(const QString &)> open)
{
    auto openOn = [&window, open](const char *actionName, auto target) {
        if (QAction *a = window.action(QLatin1String(actionName)))
            QObject::connect(a, &QAction::triggered, &window, [open, target] {
                if (open)
                    open(target());
            });
    };
    openOn("mnuAggiornamenti", [] { return QString::fromLatin1(ProductPageUrl); });
    openOn("mnuAggLingua", [] { return QString::fromLatin1(LanguagePageUrl); });
    openOn("mnuDonazioniFaiunadonazione", [] { return QString::fromLatin1(DonationPageUrl); });
    openOn("mnuVersione", [&state] { return state.AppPath + QStringLiteral("/Versioni.txt"); });

    if (QMenu *search = window.menu(QStringLiteral("mnuCercaCover"))) {
        for (int k = 0; k < int(CoverSearchSites.size()); ++k) {
            const CoverSearchSite &site = CoverSearchSites[size_t(k)];
            // Site names are names: the same in every language.
            QAction *item = search->addAction(QString::fromLatin1(site.name));
            item->setObjectName(QStringLiteral("mnuCercaCoverSito"));
            item->setData(k);
            const QString url = QString::fromLatin1(site.url);
            QObject::connect(item, &QAction::triggered, &window, [open, url] {
                if (open)
                    open(url);
            });
        }
    }
}

std::unique_ptr<BackgroundUpdateCheck> startUpdateCheck(ReleaseCheck check)
{
    const std::optional<QUrl> url = updateCheckUrl();
    if (!url || !check)
        return nullptr;
    return std::make_unique<BackgroundUpdateCheck>(
        *url, releaseNumberText(VersionMajor, VersionMinor, VersionRevision), std::move(check));
}

bool runUpdateCheck(BackgroundUpdateCheck *check, QWidget *window, const LanguageTable &texts,
                    const Form1Hooks &hooks)
{
    if (!check || !check->newerRelease())
        return false;
    if (!hooks.askUpdate || !hooks.askUpdate(window, updateQuestionText(texts[111]), texts[112]))
        return false;
    if (hooks.openExternally)
        hooks.openExternally(QString::fromLatin1(ProductPageUrl));
    // Nothing is saved on the way out: the user leaves to install the new release.
    if (hooks.exitNow)
        hooks.exitNow(0);
    return true;
}

} // namespace vt
