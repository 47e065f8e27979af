// The main window's menus and what each entry runs; the window's other parts are built
// in Form1.cpp.
#include "ui/main/Form1.h"

#include "ui/dialogs/frmAbout2.h"
#include "ui/main/EditCommands.h"
#include "ui/main/PrintCommand.h"
#include "ui/main/ProjectCommands.h"
#include "ui/main/RecentProjectsMenu.h"
#include "ui/main/WebCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace vt {

std::vector<QMenu *> Form1::buildMenus()
{
    // The menu bar's menus are gathered and put in the bar last (putMenusInBar).
    std::vector<QMenu *> barMenus;
    auto addMenu = [this, &barMenus](QMenu *parentMenu, const char *name) {
        QMenu *m = parentMenu ? parentMenu->addMenu(QString()) : barMenus.emplace_back(new QMenu(this));
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    auto addItem = [this](QMenu *m, const char *name) {
        QAction *a = m->addAction(QString());
        a->setObjectName(QLatin1String(name));
        return a;
    };

    QMenu *file = addMenu(nullptr, "mnuFile");
    connect(addItem(file, "mnuNuovo"), &QAction::triggered, m_projects, &ProjectCommands::newProject);
    connect(addItem(file, "mnuApriDS"), &QAction::triggered, m_projects, &ProjectCommands::open);
    QAction *afterRecent = file->addSeparator();
    m_recent = new RecentProjectsMenu(*file, afterRecent);
    connect(m_recent, &RecentProjectsMenu::openRequested, m_projects, &ProjectCommands::openPath);
    connect(m_projects, &ProjectCommands::projectUsed, m_recent, &RecentProjectsMenu::add);
    connect(addItem(file, "mnuSalva"), &QAction::triggered, m_projects, &ProjectCommands::save);
    connect(addItem(file, "mnuSalvaConNome"), &QAction::triggered, m_projects, &ProjectCommands::saveAs);
    file->addSeparator();
    connect(addItem(file, "mnuFileApri"), &QAction::triggered, this, [this] { LoadSlotByDialog(0); });
    connect(addItem(file, "mnuImg2"), &QAction::triggered, this, [this] { LoadSlotByDialog(1); });
    connect(addItem(file, "mnuImg3"), &QAction::triggered, this, [this] { LoadSlotByDialog(2); });
    file->addSeparator();
    connect(addItem(file, "mnuFileStampa"), &QAction::triggered, m_print, &PrintCommand::open);
    file->addSeparator();
    QAction *exit = addItem(file, "mnuFileEsci");
    // Exit stores what closing the window stores (the chosen format among the settings),
    // once unsaved work is saved or let go, then ends the process.
    connect(exit, &QAction::triggered, this, [this] {
        if (!m_projects->mayClose())
            return;
        storeOnShutdown();
        m_hooks.exitNow(0);
    });

    m_edit = new EditCommands(*this, *m_document->undoStack());
    barMenus.push_back(m_edit->menu());
    m_mnuFormato = addMenu(nullptr, "mnuFormato"); // its items follow the format list (FormatMenu)

    QMenu *tools = addMenu(nullptr, "mnuStrumenti");
    connect(addItem(tools, "mnuOpzioni"), &QAction::triggered, this, &Form1::mnuOpzioni_Click);
    tools->addSeparator();
    connect(addItem(tools, "mnuTitolo"), &QAction::triggered, this, &Form1::mnuTitolo_Click);
    tools->addSeparator();
    addMenu(tools, "mnuCercaCover"); // the web commands fill it with the cover sites
    tools->addSeparator();
    connect(addItem(tools, "mnuLingua"), &QAction::triggered, this, &Form1::mnuLingua_Click);
    addItem(tools, "mnuAggLingua");

    QMenu *donations = addMenu(nullptr, "mnuDonazioni");
    addItem(donations, "mnuDonazioniFaiunadonazione");

    QMenu *help = addMenu(nullptr, "mnuGuida");
    connect(addItem(help, "mnuMenu1Guida"), &QAction::triggered, this, &Form1::showHelp);
    help->addSeparator();
    addItem(help, "mnuVersione");
    addItem(help, "mnuAggiornamenti");
    help->addSeparator();
    connect(addItem(help, "mnuMenu1Informazioni"), &QAction::triggered, this,
            [this] { showAboutBox(m_state, this, m_hooks.openExternally); });
    connectWebCommands(*this, m_state, m_hooks.openExternally);
    applyStandardShortcuts(*this);
    return barMenus;
}

void Form1::putMenusInBar(const std::vector<QMenu *> &menus)
{
    // Making the bar asks the session bus whether the desktop shows the menus itself
    // (see main): made after the rest of the window, it finds the answer there.
    QMenuBar *bar = menuBar();
    for (QMenu *m : menus) {
        m->setParent(bar, m->windowFlags()); // as the bar's own addMenu makes them
        bar->addMenu(m);
    }
}

} // namespace vt
