#include "ui/main/PictureCommands.h"

#include "app/AppState.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "document/CoverDocument.h"
#include "platform/FileFilters.h"
#include "platform/PictureLoading.h"
#include "platform/StartFolders.h"
#include "ui/dialogs/CommonDialogs.h"

#include <QImage>
#include <QWidget>

namespace vt {

QString initialPictureFolder(const AppState &state)
{
    return chooseStartFolder(state.LastPictureFolder, standardStartFolder(StartFolderKind::Pictures), state.AppPath);
}

QString pictureOpenFilter(const LanguageTable &texts)
{
    // Every picture the program reads first, then JPEG alone, then anything.
    return makeFilter({{StripAmpersands(texts[49]), readablePicturePatterns()},
                       {texts[20], QStringLiteral("*.jpg")},
                       {texts[21], QStringLiteral("*.*")}});
}

PictureCommands::PictureCommands(QWidget &owner, CoverDocument &document, AppState &state,
                                 std::function<void(const QString &, const QString &)> warn,
                                 std::function<void()> afterLoad)
    : QObject(&owner), m_owner(owner), m_document(document), m_state(state), m_warn(std::move(warn)),
      m_afterLoad(std::move(afterLoad))
{
}

void PictureCommands::set(int slot, const QImage &picture, const QString &path)
{
    if (slot >= 0 && slot <= 2)
        m_document.setPicture(slot, picture, path, Placement());
}

bool PictureCommands::load(int slot, const QString &path)
{
    if (slot < 0 || slot > 2)
        return false;
    const QImage picture = loadPicture(path);
    if (picture.isNull())
        return false;
    // A picture the user adds keeps its proportions: it fills its area, centred.
    m_document.setPicture(slot, picture, path, Placement::forNewPicture());
    return true;
}

void PictureCommands::byDialog(int slot)
{
    const QString chosen = ShowOpenDialog(&m_owner, 1, m_state.Language[19], QString(),
                                          pictureOpenFilter(m_state.Language), initialPictureFolder(m_state),
                                          QStringLiteral("jpg"));
    if (chosen.isEmpty())
        return;
    fromChosenFile(slot, chosen);
}

void PictureCommands::fromChosenFile(int slot, const QString &chosen)
{
    take(slot, chosen);
}

void PictureCommands::byDrop(int slot, const QStringList &files)
{
    // Only the first of several dropped files counts; none at all is no picture.
    take(slot, files.value(0));
}

void PictureCommands::take(int slot, const QString &file)
{
    // A file that is no picture ends the command with the warning; the folder is
    // remembered all the same.
    StepRunner steps(ErrorPolicy::AbandonWithMessage, [this](const QString &) {
        if (m_warn)
            m_warn(m_state.Language[110], m_state.Language[18]);
    });
    steps.run(QStringLiteral("file"), [&] { return !file.isEmpty(); });
    steps.run(QStringLiteral("folder"), [&] { m_state.LastPictureFolder = TrovaPath(file); });
    steps.run(QStringLiteral("load"), [&] { return load(slot, file); });
    steps.run(QStringLiteral("after"), [&] {
        if (m_afterLoad)
            m_afterLoad();
    });
}

} // namespace vt
