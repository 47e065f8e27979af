#include "ui/main/PlacementCommands.h"

#include "app/AppState.h"
#include "common/Twips.h"
#include "document/CoverDocument.h"
#include "document/CoverRender.h"
#include "document/PlacementGeometry.h"
#include "ui/main/PreviewCanvas.h"

#include <QActionGroup>
#include <QMenu>
#include <cmath>

namespace vt {

PlacementCommands::PlacementCommands(PreviewCanvas &canvas, CoverDocument &document, const AppState &state,
                                     QObject *parent)
    : QObject(parent), m_document(document), m_state(state)
{
    connect(&canvas, &PreviewCanvas::pictureDragged, this, &PlacementCommands::drag);
    connect(&canvas, &PreviewCanvas::pictureZoomed, this, &PlacementCommands::zoom);
    connect(&canvas, &PreviewCanvas::pictureMenuRequested, this, [this, &canvas](PreviewView view, QPoint at) {
        QMenu *menu = menuFor(view, &canvas);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    });
}

QSizeF PlacementCommands::areaOf(int slot) const
{
    return areaSizesMm(m_state, m_document.content().format)[size_t(slot)];
}

void PlacementCommands::drag(PreviewView view, QPointF deltaPixels)
{
    if (m_state.PreviewScale <= 0)
        return;
    const int slot = slotOfView(view);
    const CoverSlot &s = m_document.content().pictures[size_t(slot)];
    // The preview draws every area at PreviewScale twips per millimetre.
    const double mmPerPixel = double(TwipsPerPixel) / m_state.PreviewScale;
    m_document.setPlacement(slot, draggedPlacement(s.picture.size(), areaOf(slot), s.placement,
                                                   deltaPixels * mmPerPixel));
}

void PlacementCommands::zoom(PreviewView view, int steps)
{
    const int slot = slotOfView(view);
    const CoverSlot &s = m_document.content().pictures[size_t(slot)];
    Placement p = s.placement;
    p.zoom = std::clamp(p.zoom * std::pow(ZoomStep, steps), 1.0, 8.0);
    // Zooming out keeps the picture against the edges it was held at.
    m_document.setPlacement(slot, heldPlacement(s.picture.size(), areaOf(slot), p));
}

QMenu *PlacementCommands::menuFor(PreviewView view, QWidget *parent)
{
    const int slot = slotOfView(view);
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("placementMenu"));
    const Placement current = m_document.content().pictures[size_t(slot)].placement;
    auto text = [this](int entry) { return m_state.Language.fallbackText(entry); };
    auto *modes = new QActionGroup(menu);
    auto addMode = [&](const QString &text, Placement::Mode mode, const char *name) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        a->setChecked(current.mode == mode);
        modes->addAction(a);
        connect(a, &QAction::triggered, this, [this, slot, mode] {
            Placement p = m_document.content().pictures[size_t(slot)].placement;
            p.mode = mode;
            m_document.setPlacement(slot, p);
        });
    };
    addMode(text(LanguageTable::PlacementFillEntry), Placement::Mode::Fill, "placementFill");
    addMode(text(LanguageTable::PlacementFitEntry), Placement::Mode::Fit, "placementFit");
    addMode(text(LanguageTable::PlacementStretchEntry), Placement::Mode::Stretch, "placementStretch");
    menu->addSeparator();
    QAction *turn = menu->addAction(text(LanguageTable::PlacementTurnEntry));
    turn->setObjectName(QStringLiteral("placementTurn"));
    connect(turn, &QAction::triggered, this, [this, slot] {
        Placement p = m_document.content().pictures[size_t(slot)].placement;
        p.turns = (p.turns + 1) % 4;
        m_document.setPlacement(slot, p);
    });
    QAction *reset = menu->addAction(text(LanguageTable::PlacementResetEntry));
    reset->setObjectName(QStringLiteral("placementReset"));
    connect(reset, &QAction::triggered, this,
            [this, slot] { m_document.setPlacement(slot, Placement::forNewPicture()); });
    menu->addSeparator();
    QAction *remove = menu->addAction(text(LanguageTable::PlacementRemoveEntry));
    remove->setObjectName(QStringLiteral("placementRemove"));
    connect(remove, &QAction::triggered, this, [this, slot] { m_document.clearPicture(slot); });
    return menu;
}

} // namespace vt
