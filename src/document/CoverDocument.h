#pragma once
// The cover being edited: its format, its three pictures with their placements, the
// titles and the outline switch, as one value, with the project it belongs to and its
// edit history. Widget-free: the main window, the preview, the dialogs, the batch modes
// and the tests all read and change the cover through this one object.
//
// Every edit is one undoable command holding the whole content before and after (the
// pictures are shared QImages, so that costs a few pointers). A load or a restored
// recovery replaces the content without history.
#include "document/Placement.h"
#include "formats/TitleStyle.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QUndoStack;

namespace vt {

struct CoverSlot
{
    QString path;        // as known: exactly as read from a project, or as chosen; empty = blank
    QImage picture;      // the picture as loaded (clean, no titles)
    Placement placement; // how it sits in its area
    bool operator==(const CoverSlot &) const = default;
};

struct CoverContent
{
    int format = 0; // catalogue index
    std::array<CoverSlot, 3> pictures;
    TitleStyle title;
    qint16 titleOnCover = 1, titleOnSpine = 1;
    bool outline = false;
    bool operator==(const CoverContent &) const = default;
};

// A blank cover: the white starting picture in every slot, stretched.
CoverContent blankContent();

// Placement values kept within their ranges: zoom 1 to 8, centre 0 to 1, turns 0 to 3.
// A value that is not a number becomes the default's.
Placement clampedPlacement(const Placement &p);

class CoverDocument : public QObject
{
    Q_OBJECT
public:
    explicit CoverDocument(QObject *parent = nullptr);
    ~CoverDocument() override;

    const CoverContent &content() const { return m_content; }

    // The format's placeholder pictures go into the slots the user has not filled with
    // every edit and every load; without a template folder
    // (tests, tools) the slots keep what they hold.
    using PictureLoader = std::function<QImage(const QString &path)>;
    void setTemplateSource(const QString &appPath, PictureLoader load);

    // Edits: each pushes one undoable command and emits the matching signal(s). An edit
    // that changes nothing pushes nothing.
    void setFormat(int index);
    void setPicture(int slot, const QImage &picture, const QString &path, const Placement &p);
    void clearPicture(int slot);
    void setPlacement(int slot, const Placement &p); // merges consecutive changes of one slot
    void setTitle(const TitleStyle &t);
    void setTitleFlags(qint16 onCover, qint16 onSpine);
    void setOutline(bool on);

    // Replaces the whole content without history (a load, a recovery): clears the undo
    // stack and marks the document clean (unmodified).
    void load(const CoverContent &c, const QString &projectPath);
    QString projectPath() const { return m_projectPath; }
    void setProjectPath(const QString &path);
    bool isModified() const;
    void markSaved();
    // A restored recovery holds unsaved work although its history is empty.
    void markModified();
    QUndoStack *undoStack() { return m_undo; }

    // Applies a content as an undo or redo does: no history, signals for what differs.
    // For the undo commands only.
    void applyContent(const CoverContent &c);

signals:
    void formatChanged(int index);
    void pictureChanged(int slot); // picture or placement of that slot
    void titleChanged();
    void outlineChanged(bool on);
    void contentChanged();         // after any change, incl. undo/redo/load
    void modifiedChanged(bool modified);
    void projectPathChanged(const QString &path);

private:
    void edit(const CoverContent &after, const QString &what, int mergeSlot = -1);
    CoverContent withTemplates(CoverContent c) const;
    void emitDifferences(const CoverContent &before, const CoverContent &after);
    void updateModified();

    CoverContent m_content;
    QString m_projectPath;
    QUndoStack *m_undo = nullptr;
    bool m_forcedModified = false;
    bool m_lastModified = false;
    QString m_appPath;
    PictureLoader m_loadTemplate;
};

} // namespace vt
