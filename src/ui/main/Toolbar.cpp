#include "ui/main/Toolbar.h"

#include "ui/main/TextFit.h"

#include "common/Twips.h"
#include "platform/PictureLoading.h"
#include "platform/TangoIcons.h"
#include "ui/main/Form1.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <functional>

// The window's own pictures live in a resource of this static library; a static
// library's resources must be registered by hand.
static void initWindowArt()
{
    Q_INIT_RESOURCE(art);
}

namespace vt {

// One picture button: paints its picture centred (or stretched, for the wide donation
// picture), drawn anew for the screen's pixel ratio.
class ToolbarPicture : public QWidget
{
public:
    using Painter = std::function<QPixmap(qreal ratio)>;
    ToolbarPicture(QWidget *parent, Painter picture, bool stretch)
        : QWidget(parent), m_picture(std::move(picture)), m_stretch(stretch)
    {
        setMouseTracking(true);
        setCursor(Qt::PointingHandCursor);
        // A move over a button is the button's; passed on it would count as background.
        setAttribute(Qt::WA_NoMousePropagation);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal ratio = devicePixelRatioF();
        if (m_cached.isNull() || m_cachedRatio != ratio) {
            m_cached = m_picture ? m_picture(ratio) : QPixmap();
            m_cachedRatio = ratio;
        }
        if (m_cached.isNull())
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (m_stretch) {
            p.drawPixmap(rect(), m_cached);
            return;
        }
        const QSizeF logical = QSizeF(m_cached.size()) / m_cached.devicePixelRatio();
        const QPointF topLeft((width() - logical.width()) / 2, (height() - logical.height()) / 2);
        p.drawPixmap(topLeft, m_cached);
    }

private:
    Painter m_picture;
    bool m_stretch;
    QPixmap m_cached;
    qreal m_cachedRatio = 0;
};

namespace {

QRect toPixels(const QRect &twips)
{
    return QRect(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                 twipsToPixels(twips.height()));
}

ToolbarPicture::Painter tango(const char *name, int logicalSize)
{
    return [name = QLatin1String(name), logicalSize](qreal ratio) {
        return tangoPixmap(name, logicalSize, ratio);
    };
}

ToolbarPicture::Painter donationPicture()
{
    return [](qreal) {
        // Drawn at twice its logical size: sharp at 200 %, smoothly reduced at 100 %.
        QPixmap pm = QPixmap::fromImage(readPng(QStringLiteral(":/art/donate.png")));
        pm.setDevicePixelRatio(2.0);
        return pm;
    };
}

} // namespace

QRect MainToolbar::designRect(int i)
{
    switch (i) {
    case 0: return {150, 180, 480, 420};
    case 1: return {720, 120, 600, 510};
    case 2: return {8820, 190, 1380, 390};
    case 8: return {2010, 150, 435, 480};
    case 9: return {1440, 150, 435, 480};
    default: return {0, 0, 435, 480}; // 3 to 7: never shown
    }
}

MainToolbar::MainToolbar(Form1 &form, AppState &state, QWidget *client, QLabel *status)
    : QObject(client), m_form(form), m_model(state), m_status(status)
{
    static const bool artRegistered = (initWindowArt(), true);
    Q_UNUSED(artRegistered);
    for (int i = 0; i < ButtonCount; ++i) {
        ToolbarPicture::Painter picture;
        switch (i) {
        case 0: picture = tango("document-open", 24); break;
        case 1: picture = tango("document-print", 32); break;
        case 2: picture = donationPicture(); break;
        case 8: picture = tango("system-search", 24); break;
        case 9: picture = tango("preferences-desktop-font", 24); break;
        default: break;
        }
        auto *b = new ToolbarPicture(client, std::move(picture), i == 2);
        b->setObjectName(QStringLiteral("Image5_%1").arg(i));
        const QRect r = designRect(i);
        m_sizes[size_t(i)] = r.size();
        b->resize(toPixels(r).size());
        b->installEventFilter(this);
        b->setVisible(isShown(i));
        m_buttons[size_t(i)] = b;
        m_model.setHome(i, r.topLeft());
    }
    applyPositions();
}

MainToolbar::~MainToolbar() = default;

QWidget *MainToolbar::button(int i) const
{
    return i >= 0 && i < ButtonCount ? m_buttons[size_t(i)] : nullptr;
}

void MainToolbar::applyPositions()
{
    for (int i = 0; i < ButtonCount; ++i) {
        const QPoint p = m_model.position(i);
        m_buttons[size_t(i)]->move(twipsToPixels(p.x()), twipsToPixels(p.y()));
    }
}

void MainToolbar::setButton2Home(QPoint homeTwips)
{
    m_model.setHome(2, homeTwips);
    applyPositions();
}

void MainToolbar::recordHomes()
{
    // The buttons are placed from the model in twips; reading the widgets back would
    // round every home to whole pixels.
    std::array<QPoint, ButtonCount> shown;
    for (int i = 0; i < ButtonCount; ++i)
        shown[size_t(i)] = m_model.position(i);
    m_model.recordHomes(shown);
}

void MainToolbar::pullStatus()
{
    m_model.setStatus(fullText(m_status));
}

void MainToolbar::pushStatus()
{
    // A tip longer than the line (French, Spanish at the narrowest window) ends in "…"
    // and shows whole as the line's tooltip.
    if (fullText(m_status) != m_model.status())
        setElidedText(m_status, m_model.status());
}

void MainToolbar::hoverButton(int i)
{
    pullStatus();
    m_model.release(i);
    const bool sank = m_model.sink(i);
    applyPositions();
    pushStatus();
    if (!sank)
        return;
    // The tip follows once the tick has been heard.
    m_form.playSound(QStringLiteral("Files/Click1.wav"));
    m_model.showTip(i);
    pushStatus();
}

void MainToolbar::hoverBackground(const QPoint &globalPos)
{
    // A sunk button uncovers a thin strip of its home; the pointer resting there still
    // points at the button, and must not make it rise and sink again for ever.
    for (int i = 0; i < ButtonCount; ++i) {
        if (!m_model.isRaised(i))
            continue;
        QWidget *parent = m_buttons[size_t(i)]->parentWidget();
        const QRect home = toPixels(QRect(m_model.position(i) - QPoint(ToolbarState::SinkTwips, ToolbarState::SinkTwips),
                                          m_sizes[size_t(i)]));
        if (parent && home.contains(parent->mapFromGlobal(globalPos)))
            return;
    }
    pullStatus();
    m_model.hoverBackground();
    applyPositions();
    pushStatus();
}

void MainToolbar::clickButton(int i)
{
    m_form.playSound(QStringLiteral("Files/Click2.wav"));
    runToolbarCommand(m_form, i);
}

void MainToolbar::watchBackground(QWidget *background)
{
    background->setMouseTracking(true);
    background->installEventFilter(this);
}

void MainToolbar::watchOutlineSwitch(QWidget *check1)
{
    m_check1 = check1;
    check1->setMouseTracking(true);
    check1->setAttribute(Qt::WA_NoMousePropagation);
    check1->installEventFilter(this);
}

void MainToolbar::watchFormatLabel(QWidget *label5)
{
    m_label5 = label5;
    label5->setMouseTracking(true);
    label5->setAttribute(Qt::WA_NoMousePropagation);
    label5->installEventFilter(this);
}

int MainToolbar::indexOf(QObject *watched) const
{
    for (int i = 0; i < ButtonCount; ++i)
        if (m_buttons[size_t(i)] == watched)
            return i;
    return -1;
}

bool MainToolbar::eventFilter(QObject *watched, QEvent *event)
{
    const int i = indexOf(watched);
    if (i >= 0) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            hoverButton(i);
            return event->type() == QEvent::MouseMove;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                m_pressed = watched;
            return true;
        case QEvent::MouseButtonRelease: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const bool pressedHere = m_pressed == watched;
            m_pressed = nullptr;
            // Press and release on the same button, as any button; dragging off cancels.
            if (mouse->button() == Qt::LeftButton && pressedHere
                && static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint()))
                clickButton(i);
            return true;
        }
        default:
            return false;
        }
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == m_check1) {
            pullStatus();
            m_model.hoverOutlineSwitch();
            pushStatus();
        } else if (watched == m_label5) {
            pullStatus();
            m_model.hoverFormatLabel();
            pushStatus();
        } else {
            hoverBackground(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        }
    }
    return QObject::eventFilter(watched, event);
}

void runToolbarCommand(Form1 &form, int i)
{
    // The buttons run the menu commands they stand for, so they follow the menu's state.
    static const char *const commands[ToolbarState::ButtonCount] = {
        "mnuApriDS",            // 0: open a project
        "mnuFileStampa",        // 1: print
        "mnuDonazioniFaiunadonazione", // 2: donation page
        "mnuOpzioni",           // 3: options
        "mnuMenu1Informazioni", // 4: about
        "mnuMenu1Guida",        // 5: help
        nullptr, nullptr,       // 6, 7: nothing
        nullptr,                // 8: the cover-search menu, below
        "mnuTitolo",            // 9: title editor
    };
    if (i == 8) {
        if (QMenu *m = form.menu(QStringLiteral("mnuCercaCover")))
            m->popup(QCursor::pos());
        return;
    }
    if (i < 0 || i >= ToolbarState::ButtonCount || !commands[i])
        return;
    if (QAction *a = form.action(QLatin1String(commands[i])))
        a->trigger();
}

} // namespace vt
