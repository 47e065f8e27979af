#include "document/CoverDocument.h"

#include "formats/CoverPictures.h"
#include "formats/Templates.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <cmath>

namespace vt {

namespace {

// One edit: the whole content before and after it.
class ContentCommand : public QUndoCommand
{
public:
    // Placement changes of one slot in a row (a drag, turns of the wheel) are one step.
    static constexpr int PlacementId = 1;

    ContentCommand(CoverDocument &doc, CoverContent before, CoverContent after, const QString &text, int mergeSlot)
        : QUndoCommand(text), m_doc(doc), m_before(std::move(before)), m_after(std::move(after)),
          m_mergeSlot(mergeSlot)
    {
    }
    void undo() override { m_doc.applyContent(m_before); }
    void redo() override { m_doc.applyContent(m_after); }
    int id() const override { return m_mergeSlot >= 0 ? PlacementId : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const ContentCommand *>(other);
        if (next->m_mergeSlot != m_mergeSlot)
            return false;
        m_after = next->m_after;
        // Dragged back to where it started: nothing is left to undo.
        setObsolete(m_after == m_before);
        return true;
    }

private:
    CoverDocument &m_doc;
    CoverContent m_before, m_after;
    int m_mergeSlot;
};

double within(double v, double lo, double hi, double fallback)
{
    if (!std::isfinite(v))
        return fallback;
    return std::clamp(v, lo, hi);
}

bool validSlot(int slot)
{
    return slot >= 0 && slot <= 2;
}

} // namespace

CoverContent blankContent()
{
    CoverContent c;
    for (CoverSlot &s : c.pictures)
        s.picture = startingPicture();
    return c;
}

Placement clampedPlacement(const Placement &p)
{
    const Placement d;
    Placement out = p;
    if (out.mode != Placement::Mode::Stretch && out.mode != Placement::Mode::Fill
        && out.mode != Placement::Mode::Fit)
        out.mode = d.mode;
    out.zoom = within(p.zoom, 1.0, 8.0, d.zoom);
    out.centreX = within(p.centreX, 0.0, 1.0, d.centreX);
    out.centreY = within(p.centreY, 0.0, 1.0, d.centreY);
    out.turns = ((p.turns % 4) + 4) % 4;
    return out;
}

CoverDocument::CoverDocument(QObject *parent)
    : QObject(parent), m_content(blankContent()), m_undo(new QUndoStack(this))
{
    connect(m_undo, &QUndoStack::cleanChanged, this, [this] { updateModified(); });
}

CoverDocument::~CoverDocument()
{
    // The commands refer to this document: let them go while it is still whole.
    m_undo->blockSignals(true);
    m_undo->clear();
}

void CoverDocument::setTemplateSource(const QString &appPath, PictureLoader load, std::function<QString()> wordsKey)
{
    m_appPath = appPath;
    m_loadTemplate = std::move(load);
    m_wordsKey = std::move(wordsKey);
}

bool CoverDocument::refreshTemplates()
{
    const CoverContent c = withTemplates(m_content);
    if (c == m_content)
        return false;
    applyContent(c);
    return true;
}

CoverContent CoverDocument::withTemplates(CoverContent c) const
{
    if (!m_loadTemplate || m_appPath.isEmpty())
        return c;
    const QString wordsKey = m_wordsKey ? m_wordsKey() : QString();
    for (int slot = 0; slot < 3; ++slot) {
        CoverSlot &s = c.pictures[size_t(slot)];
        ShownPicture shown{s.path, s.picture};
        if (!takePlaceholder(shown, c.format, slot, m_appPath, m_loadTemplate, wordsKey))
            continue;
        // A template is drawn for its area: it fills it exactly.
        if (shown.picture.cacheKey() == s.picture.cacheKey())
            s.path = shown.path;
        else
            s = {shown.path, shown.picture, Placement()};
    }
    return c;
}

void CoverDocument::edit(const CoverContent &changed, const QString &what, int mergeSlot)
{
    // Whatever the edit, a slot left without a picture of the user's shows the format's
    // template, within the same step.
    const CoverContent after = withTemplates(changed);
    if (after == m_content)
        return;
    m_undo->push(new ContentCommand(*this, m_content, after, what, mergeSlot));
}

void CoverDocument::setFormat(int index)
{
    CoverContent c = m_content;
    c.format = index;
    edit(c, tr("Format"));
}

void CoverDocument::setPicture(int slot, const QImage &picture, const QString &path, const Placement &p)
{
    if (!validSlot(slot))
        return;
    CoverContent c = m_content;
    c.pictures[size_t(slot)] = {path, picture, clampedPlacement(p)};
    edit(c, tr("Picture"));
}

void CoverDocument::clearPicture(int slot)
{
    if (!validSlot(slot))
        return;
    CoverContent c = m_content;
    c.pictures[size_t(slot)] = {QString(), startingPicture(), Placement()};
    edit(c, tr("Remove picture"));
}

void CoverDocument::setPlacement(int slot, const Placement &p)
{
    if (!validSlot(slot))
        return;
    CoverContent c = m_content;
    c.pictures[size_t(slot)].placement = clampedPlacement(p);
    edit(c, tr("Placement"), slot);
}

void CoverDocument::setTitle(const TitleStyle &t)
{
    CoverContent c = m_content;
    c.title = t;
    edit(c, tr("Title"));
}

void CoverDocument::setTitleFlags(qint16 onCover, qint16 onSpine)
{
    CoverContent c = m_content;
    c.titleOnCover = onCover;
    c.titleOnSpine = onSpine;
    edit(c, tr("Title"));
}

void CoverDocument::setOutline(bool on)
{
    CoverContent c = m_content;
    c.outline = on;
    edit(c, tr("Outlines"));
}

void CoverDocument::load(const CoverContent &c, const QString &projectPath)
{
    m_undo->clear();
    m_forcedModified = false;
    applyContent(withTemplates(c));
    m_undo->setClean();
    setProjectPath(projectPath);
    updateModified();
}

void CoverDocument::setProjectPath(const QString &path)
{
    if (path == m_projectPath)
        return;
    m_projectPath = path;
    emit projectPathChanged(path);
}

bool CoverDocument::isModified() const
{
    return m_forcedModified || !m_undo->isClean();
}

void CoverDocument::markSaved()
{
    m_forcedModified = false;
    m_undo->setClean();
    updateModified();
}

void CoverDocument::markModified()
{
    m_forcedModified = true;
    updateModified();
}

void CoverDocument::updateModified()
{
    const bool now = isModified();
    if (now == m_lastModified)
        return;
    m_lastModified = now;
    emit modifiedChanged(now);
}

void CoverDocument::applyContent(const CoverContent &c)
{
    // Placeholders of a step taken in another language come back in the language shown now.
    const CoverContent before = std::exchange(m_content, withTemplates(c));
    emitDifferences(before, m_content);
}

void CoverDocument::emitDifferences(const CoverContent &before, const CoverContent &after)
{
    if (before.format != after.format)
        emit formatChanged(after.format);
    for (int slot = 0; slot < 3; ++slot)
        if (!(before.pictures[size_t(slot)] == after.pictures[size_t(slot)]))
            emit pictureChanged(slot);
    if (before.title != after.title || before.titleOnCover != after.titleOnCover
        || before.titleOnSpine != after.titleOnSpine)
        emit titleChanged();
    if (before.outline != after.outline)
        emit outlineChanged(after.outline);
    emit contentChanged();
}

} // namespace vt
