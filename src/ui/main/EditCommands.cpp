#include "ui/main/EditCommands.h"

#include "formats/FormatTraits.h"
#include "lang/LanguageTable.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace vt {

namespace {

// The platform's keys of the command, and `common` as well when they do not include it:
// users expect it whichever desktop the program runs on.
void setKeys(QAction *action, QKeySequence::StandardKey key, const QKeySequence &common)
{
    if (!action)
        return;
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (!common.isEmpty() && !keys.contains(common))
        keys.append(common);
    action->setShortcuts(keys);
}

} // namespace

EditCommands::EditCommands(QMainWindow &window, QUndoStack &history) : QObject(&window)
{
    m_menu = new QMenu(&window);
    m_menu->setObjectName(QStringLiteral("mnuModifica"));
    m_menu->menuAction()->setObjectName(QStringLiteral("mnuModifica"));

    m_undo = m_menu->addAction(QString());
    m_undo->setObjectName(QStringLiteral("mnuAnnulla"));
    m_redo = m_menu->addAction(QString());
    m_redo->setObjectName(QStringLiteral("mnuRipeti"));
    setKeys(m_undo, QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    setKeys(m_redo, QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    m_undo->setEnabled(history.canUndo());
    m_redo->setEnabled(history.canRedo());
    connect(m_undo, &QAction::triggered, &history, &QUndoStack::undo);
    connect(m_redo, &QAction::triggered, &history, &QUndoStack::redo);
    connect(&history, &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
}

void EditCommands::applyLanguage(const LanguageTable &texts)
{
    m_menu->setTitle(texts.fallbackText(LanguageTable::EditMenuEntry));
    m_undo->setText(texts.fallbackText(LanguageTable::UndoEntry));
    m_redo->setText(texts.fallbackText(LanguageTable::RedoEntry));
}

void applyStandardShortcuts(QMainWindow &window)
{
    auto item = [&](const char *name) { return window.findChild<QAction *>(QLatin1String(name)); };
    setKeys(item("mnuNuovo"), QKeySequence::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    setKeys(item("mnuApriDS"), QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    setKeys(item("mnuSalva"), QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    setKeys(item("mnuSalvaConNome"), QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    setKeys(item("mnuFileStampa"), QKeySequence::Print, QKeySequence(Qt::CTRL | Qt::Key_P));
    setKeys(item("mnuFileEsci"), QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void enableSlotCommands(QMainWindow &window, int formatIndex)
{
    const int shown = formatTraits(formatIndex).slotCount;
    if (QAction *a = window.findChild<QAction *>(QStringLiteral("mnuImg2")))
        a->setEnabled(shown >= 2);
    if (QAction *a = window.findChild<QAction *>(QStringLiteral("mnuImg3")))
        a->setEnabled(shown >= 3);
}

} // namespace vt
