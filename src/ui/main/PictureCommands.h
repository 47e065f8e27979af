#pragma once
// Putting the user's pictures into the cover: by the open dialog, by a drop on a picture
// area, or straight from a file. Each goes into the document as one edit.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QImage;
class QWidget;

namespace vt {

class CoverDocument;
struct AppState;
struct LanguageTable;

// Where the open-picture dialog starts: the last picture folder while it exists,
// otherwise the pictures folder.
QString initialPictureFolder(const AppState &state);

// The open-picture dialog's filters, in the dialogs' NUL-separated form.
QString pictureOpenFilter(const LanguageTable &texts);

class PictureCommands : public QObject
{
    Q_OBJECT
public:
    // warn: the warning box (text, title). afterLoad: what a picture that came in
    // sets off in the window (format selection, storing the settings).
    PictureCommands(QWidget &owner, CoverDocument &document, AppState &state,
                    std::function<void(const QString &text, const QString &title)> warn,
                    std::function<void()> afterLoad);

    void byDialog(int slot);
    // The open command after its dialog: the chosen file into the slot, or a warning.
    void fromChosenFile(int slot, const QString &chosen);
    void byDrop(int slot, const QStringList &files);
    // A file straight into a slot (0..2): false when it is no picture.
    bool load(int slot, const QString &path);
    // A picture that is already loaded, with the path it is known by, as a project had it.
    void set(int slot, const QImage &picture, const QString &path);

private:
    void take(int slot, const QString &file);

    QWidget &m_owner;
    CoverDocument &m_document;
    AppState &m_state;
    std::function<void(const QString &, const QString &)> m_warn;
    std::function<void()> m_afterLoad;
};

} // namespace vt
