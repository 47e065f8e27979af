#include "ui/dialogs/CommonDialogs.h"

#include "common/Text.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>

#include <stdexcept>

namespace vt {

QString ShowOpenDialog(QWidget *owner, int mode, const QString &title, const QString &proposedName,
                       const QString &filter, const QString &initialFolder, const QString &defaultExtension)
{
    if (mode != 1)
        return QString();
    // Titles come from texts that also serve as menu captions: no access-key markers.
    QFileDialog dialog(owner, StripAmpersands(title), initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = toQtNameFilters(filter);
    if (!filters.isEmpty()) {
        // Patterns spelled out for every case ("*.[jJ][pP][gG]") are no reading for the
        // user: the descriptions say enough.
        if (filter.contains(u'['))
            dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    dialog.setDefaultSuffix(defaultExtension);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return limitDialogPath(dialog.selectedFiles().constFirst(), OpenDialogPathLimit);
}

QString ShowFileDialog(const FileDialogRequest &request)
{
    if (!request.owner)
        throw std::invalid_argument("file dialog without an owner window");
    const QString folder = request.initialFolder.isEmpty() ? QDir::currentPath() : request.initialFolder;
    QFileDialog dialog(request.owner, StripAmpersands(request.title), folder);
    dialog.setAcceptMode(request.openFile ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.openFile ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The callers ask their own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = toQtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex - 1;
        dialog.selectNameFilter(filters.value(index >= 0 && index < filters.size() ? index : 0));
    }
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName.left(FileDialogPathLimit));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (request.flags)
        *request.flags = int(dialog.options());
    return limitDialogPath(StripAtNull(dialog.selectedFiles().constFirst()), FileDialogPathLimit);
}

quint32 toColorRef(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

QColor fromColorRef(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void ShowColor::applyOutcome(bool accepted, quint32 chosen, const CustomColorBlock &custom)
{
    m_cancelled = !accepted;
    if (accepted) {
        m_rgb = chosen;
        m_custom = custom;
    }
}

void ShowColor::showColor()
{
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, fromColorRef(m_custom[size_t(i)]));
    QColorDialog dialog(fromColorRef(m_rgb), m_owner);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    CustomColorBlock custom{};
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
        custom[size_t(i)] = toColorRef(QColorDialog::customColor(i));
    applyOutcome(accepted, toColorRef(dialog.selectedColor()), custom);
}

} // namespace vt
