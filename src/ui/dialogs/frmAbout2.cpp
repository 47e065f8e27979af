#include "ui/dialogs/frmAbout2.h"

#include "app/AppState.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "common/Twips.h"
#include "net/WebAddresses.h"

#include <QCloseEvent>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

namespace vt {

namespace {

constexpr double DialogOpacity = 245.0 / 255.0;
constexpr int ClientWidthTwips = 6420;
constexpr int ClientHeightTwips = 3675;

constexpr const char *ProductName = "Vantrelo";
constexpr const char *Credits = "\u00a9 2026 Vantrelo Software";

int px(int twips) { return twipsToPixels(twips); }

QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

QLabel *makeLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// Where the main window stood when the box hid it.
constexpr char MainWindowPlaceProperty[] = "vtPlaceBeforeAbout";

// Keeps a window that was shown again at its place for a moment: the window manager
// places it after it is mapped, and may move it again once more when its frame arrives.
class PlaceKeeper : public QObject
{
public:
    PlaceKeeper(QWidget *window, QPoint place) : QObject(window), m_window(window), m_place(place)
    {
        window->installEventFilter(this);
        QTimer::singleShot(KeepMilliseconds, this, [this] { deleteLater(); });
        QTimer::singleShot(0, this, [this] { putBack(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Show))
            QTimer::singleShot(0, this, [this] { putBack(); });
        return false;
    }

private:
    static constexpr int KeepMilliseconds = 1500;
    static constexpr int MostMoves = 4; // never a fight with a manager that insists

    void putBack()
    {
        if (!m_window || !m_window->isVisible() || m_window->pos() == m_place || m_moves >= MostMoves
            || m_window->windowState() != Qt::WindowNoState)
            return;
        ++m_moves;
        m_window->move(m_place);
    }

    QPointer<QWidget> m_window;
    QPoint m_place;
    int m_moves = 0;
};

} // namespace

frmAbout2::frmAbout2(const AppState &state, QWidget *mainWindow, std::function<bool(const QString &)> open)
    : QWidget(mainWindow, Qt::Window), m_mainWindow(mainWindow), m_open(std::move(open))
{
    setObjectName(QStringLiteral("frmAbout2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(px(ClientWidthTwips), px(ClientHeightTwips));

    auto *imgTitle = makeLabel(this, "imgTitle");
    auto *lblTitle = makeLabel(this, "lblTitle");
    auto *lblVersion = makeLabel(this, "lblVersion");
    auto *frame1 = new QFrame(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto *picture1 = new QFrame(this);
    picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1 = picture1;
    // The content rolls inside the frame's border, never over it.
    auto *clip = new QWidget(picture1);
    m_picture2 = new QWidget(clip);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    auto *lblDescription = makeLabel(m_picture2, "lblDescription");
    auto *lblCredits = makeLabel(m_picture2, "lblCredits");
    auto *image1 = makeLabel(m_picture2, "Image1");
    auto *lblHomePageCap = makeLabel(m_picture2, "lblHomePageCap");
    m_lblHomePage = makeLabel(m_picture2, "lblHomePage");
    m_closeOnClick = {imgTitle, lblTitle, lblVersion, lblDescription, lblCredits};

    m_timer = new QTimer(this);
    m_timer->setInterval(AboutScrollIntervalMs);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &frmAbout2::tick);

    StepRunner steps(ErrorPolicy::SkipAndContinue);
    steps.run(QStringLiteral("title"), [&] { setWindowTitle(StripAmpersands(state.Language[27])); });
    steps.run(QStringLiteral("title picture"), [&] {
        imgTitle->setGeometry(px(240), px(120), 64, 64);
        imgTitle->setPixmap(QIcon(QStringLiteral(":/pictures/about/title.png")).pixmap(QSize(64, 64)));
    });
    steps.run(QStringLiteral("product name"), [&] {
        QFont f = lblTitle->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.8);
        lblTitle->setFont(f);
        lblTitle->setText(QString::fromLatin1(ProductName));
        lblTitle->adjustSize();
        lblTitle->move(px(1500), px(300));
    });
    steps.run(QStringLiteral("release"), [&] {
        lblVersion->setText(QStringLiteral("Rel. %1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision));
        lblVersion->adjustSize();
        // 200 twips to the right of the product name, whatever the name's font makes its width.
        lblVersion->move(lblTitle->geometry().right() + 1 + px(200), px(480));
    });
    steps.run(QStringLiteral("separator"), [&] {
        frame1->setFrameShape(QFrame::HLine);
        frame1->setFrameShadow(QFrame::Sunken);
        frame1->setGeometry(0, px(1140), width(), 2);
    });
    steps.run(QStringLiteral("viewport"), [&] {
        picture1->setFrameShape(QFrame::StyledPanel);
        picture1->setFrameShadow(QFrame::Sunken);
        picture1->setGeometry(pxRect(240, 1200, 5940, 2235));
        clip->setGeometry(picture1->contentsRect());
        // Esc closes the box from here, so the viewport holds the keyboard focus.
        picture1->setFocusPolicy(Qt::StrongFocus);
        m_picture2->resize(px(5775), px(AboutContentHeight));
    });
    steps.run(QStringLiteral("description"), [&] {
        lblDescription->setGeometry(pxRect(900, 0, 3945, 1095));
        lblDescription->setWordWrap(true);
        lblDescription->setAlignment(Qt::AlignCenter);
        lblDescription->setText(state.Language[14]);
    });
    steps.run(QStringLiteral("credits"), [&] {
        lblCredits->setGeometry(pxRect(690, 1320, 4380, 435));
        lblCredits->setWordWrap(true);
        lblCredits->setAlignment(Qt::AlignCenter);
        lblCredits->setText(QString::fromUtf8(Credits) + QStringLiteral(" - ") + state.Language[23]);
    });
    steps.run(QStringLiteral("picture"), [&] {
        image1->setGeometry(pxRect(1740, 2040, 2250, 1800));
        image1->setPixmap(QIcon(QStringLiteral(":/pictures/about/picture.png")).pixmap(QSize(150, 120)));
    });
    steps.run(QStringLiteral("home page"), [&] {
        lblHomePageCap->setText(QStringLiteral("Home Page:"));
        lblHomePageCap->adjustSize();
        lblHomePageCap->move(px(720), px(3870));
        QFont f = m_lblHomePage->font();
        f.setUnderline(true);
        m_lblHomePage->setFont(f);
        QPalette p = m_lblHomePage->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Link));
        m_lblHomePage->setPalette(p);
        m_lblHomePage->setCursor(Qt::PointingHandCursor);
        m_lblHomePage->setText(QString::fromLatin1(HomePageUrl));
        m_lblHomePage->adjustSize();
        m_lblHomePage->move(px(1860), px(3840));
    });
    steps.run(QStringLiteral("clicks"), [&] {
        for (QWidget *w : findChildren<QWidget *>())
            w->installEventFilter(this);
    });
    steps.run(QStringLiteral("translucency"), [&] { setWindowOpacity(DialogOpacity); });
    if (mainWindow)
        mainWindow->installEventFilter(this);
    placeContent();
    m_timer->start();
}

frmAbout2::~frmAbout2() = default;

void frmAbout2::tick()
{
    m_scroll = nextAboutScroll(m_scroll);
    placeContent();
}

void frmAbout2::placeContent()
{
    // Placed in the viewport's coordinates, whose border the clipping area leaves out.
    const QPoint border = m_picture2->parentWidget()->pos();
    m_picture2->move(px(60) - border.x(), int(std::lround(double(m_scroll.top) / TwipsPerPixel)) - border.y());
}

void frmAbout2::closeEvent(QCloseEvent *event)
{
    // However the box is closed (a click, Esc, the window's own close button), the main
    // window comes back: a program with only a hidden window left could not be used.
    m_timer->stop();
    if (m_mainWindow) {
        // Shown again, a window is placed anew by some window managers (in a screen
        // corner, half off the screen at 200 %): put it back where it was.
        const QRect place = m_mainWindow->property(MainWindowPlaceProperty).toRect();
        const bool known = place.isValid();
        if (known) {
            m_mainWindow->resize(place.size());
            m_mainWindow->move(place.topLeft()); // the frame's corner, as pos() gave it
        }
        m_mainWindow->show();
        if (known)
            new PlaceKeeper(m_mainWindow, place.topLeft());
    }
    event->accept();
}

void frmAbout2::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        close();
}

bool frmAbout2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainWindow) {
        // The hidden main window is asked to close (SIGTERM). Closing a hidden window
        // would save but never end the program: the box goes first, which shows the
        // window again, and the window is closed anew from the event loop, as usual.
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        QPointer<QWidget> mainWindow = m_mainWindow;
        close();
        QTimer::singleShot(0, mainWindow, [mainWindow] {
            if (mainWindow)
                mainWindow->close();
        });
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == m_picture1
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    auto *widget = qobject_cast<QWidget *>(watched);
    const bool inside = widget && widget->rect().contains(mouse->position().toPoint());
    if (mouse->button() == Qt::LeftButton && inside) {
        if (watched == m_lblHomePage) {
            // The box stays open; a failure to open is not reported.
            if (m_open)
                m_open(QString::fromLatin1(HomePageUrl));
        } else if (m_closeOnClick.contains(watched)) {
            close();
        }
    }
    // Clicks on the viewport, the picture or the caption do nothing, and must not reach
    // the window's background, which closes the box.
    return true;
}

frmAbout2 *showAboutBox(const AppState &state, QWidget *mainWindow, std::function<bool(const QString &)> open)
{
    if (mainWindow) {
        // A maximised window keeps its state by itself; only a normal one is placed back.
        const bool normal = mainWindow->windowState() == Qt::WindowNoState;
        mainWindow->setProperty(MainWindowPlaceProperty, normal ? QRect(mainWindow->pos(), mainWindow->size()) : QRect());
        mainWindow->hide();
    }
    auto *box = new frmAbout2(state, mainWindow, std::move(open));
    box->show();
    if (QWidget *viewport = box->findChild<QWidget *>(QStringLiteral("Picture1")))
        viewport->setFocus();
    return box;
}

} // namespace vt
