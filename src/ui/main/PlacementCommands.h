#pragma once
// How the user places a picture in its area on the preview: drag to move it, the wheel
// or + and − to zoom, and a context menu for the mode, a quarter turn, reset and remove.
// Each is an edit of the cover document, so each can be undone.
#include "formats/PreviewArrangement.h"

#include <QObject>
#include <QPoint>
#include <QPointF>

class QMenu;

namespace vt {

class CoverDocument;
class PreviewCanvas;
struct AppState;

class PlacementCommands : public QObject
{
    Q_OBJECT
public:
    PlacementCommands(PreviewCanvas &canvas, CoverDocument &document, const AppState &state, QObject *parent);

    void drag(PreviewView view, QPointF deltaPixels);
    void zoom(PreviewView view, int steps);
    // The context menu for a view, built but not shown (tests trigger its actions).
    QMenu *menuFor(PreviewView view, QWidget *parent);

    // Each zoom step multiplies the zoom by this.
    static constexpr double ZoomStep = 1.25;

private:
    QSizeF areaOf(int slot) const;

    CoverDocument &m_document;
    const AppState &m_state;
};

} // namespace vt
