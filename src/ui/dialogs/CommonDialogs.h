#pragma once
// The standard open, save and colour dialogs, with the arguments and results the
// program's commands rely on. Filters come in the NUL-separated pair form
// (platform/FileFilters.h).
#include "platform/FileFilters.h"

#include <QColor>
#include <QString>
#include <array>

class QWidget;

namespace vt {

// mode 1 shows the open dialog for one existing file; any other mode shows nothing.
// Returns the chosen path, or an empty text on cancel.
QString ShowOpenDialog(QWidget *owner, int mode, const QString &title, const QString &proposedName,
                       const QString &filter, const QString &initialFolder, const QString &defaultExtension);

struct FileDialogRequest
{
    int *flags = nullptr;        // receives the option bits on confirmation, when given
    QString initialFolder;       // empty: the process's current folder
    QString filter;
    int filterIndex = 1;         // 1-based
    QString defaultExtension;
    QString proposedName;        // cut to 256 characters
    QString title;
    QWidget *owner = nullptr;    // required
    bool openFile = false;       // false: the save dialog, which asks no overwrite question
};

// Throws std::invalid_argument without an owner (the caller's error rule applies).
QString ShowFileDialog(const FileDialogRequest &request);

// Colours are 32-bit values with red in the low byte, then green, then blue.
quint32 toColorRef(const QColor &c);
QColor fromColorRef(quint32 value);

class ShowColor
{
public:
    using CustomColorBlock = std::array<quint32, 16>;

    bool ColorAnnulla() const { return m_cancelled; }
    quint32 RGBResult() const { return m_rgb; }
    void setRGBResult(quint32 rgb) { m_rgb = rgb; }
    void sethOwner(QWidget *owner) { m_owner = owner; }
    CustomColorBlock CustomColors() const { return m_custom; }
    void setCustomColors(const CustomColorBlock &colors) { m_custom = colors; }

    // Shows the dialog, modal to the owner, starting at RGBResult.
    void showColor();

    // The dialog's outcome: on cancel only ColorAnnulla changes.
    void applyOutcome(bool accepted, quint32 chosen, const CustomColorBlock &custom);

private:
    QWidget *m_owner = nullptr;
    quint32 m_rgb = 0;
    CustomColorBlock m_custom{};
    bool m_cancelled = false;
};

} // namespace vt
