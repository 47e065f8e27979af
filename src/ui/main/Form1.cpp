#include "ui/main/Form1.h"

#include "app/MainWindowLayout.h"
#include "app/ProgramFolders.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "common/Numbers.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "document/Recovery.h"
#include "formats/Catalogue.h"
#include "formats/FormatSelection.h"
#include "formats/TemplateWords.h"
#include "formats/Templates.h"
#include "net/UpdateCheck.h"
#include "platform/PictureLoading.h"
#include "platform/ShellOpen.h"
#include "platform/StartFolders.h"
#include "platform/SoundPlayer.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/dialogs/frmOpzioni.h"
#include "ui/dialogs/frmTitolo.h"
#include "ui/main/CoverSession.h"
#include "ui/main/EditCommands.h"
#include "ui/main/FormatMenu.h"
#include "ui/main/HandoverCommands.h"
#include "ui/main/LanguageCommands.h"
#include "ui/main/MenuIcons.h"
#include "ui/main/MenuTexts.h"
#include "ui/main/PictureCommands.h"
#include "ui/main/PlacementCommands.h"
#include "ui/main/PreviewCanvas.h"
#include "ui/main/PrintCommand.h"
#include "ui/main/ProjectCommands.h"
#include "ui/main/RecentProjectsMenu.h"
#include "ui/main/ResolutionMarks.h"
#include "ui/main/StartPictures.h"
#include "ui/main/SettingsStore.h"
#include "ui/main/TextFit.h"
#include "ui/main/Toolbar.h"
#include "ui/main/WebCommands.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTimer>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace vt {

Form1Hooks defaultForm1Hooks()
{
    Form1Hooks hooks;
    hooks.warn = [](QWidget *parent, const QString &text, const QString &title) {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    };
    hooks.exitNow = [](int code) { std::_Exit(code); };
    hooks.openExternally = openInShell;
    hooks.askUpdate = [](QWidget *parent, const QString &text, const QString &title) {
        return QMessageBox::information(parent, title, text, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    };
    // The program folder is the executable's: the sounds ship beside it.
    hooks.playSound = programSoundHook(QDir::cleanPath(QCoreApplication::applicationDirPath()));
    hooks.releaseCheck = programReleaseCheck(QDir::cleanPath(QCoreApplication::applicationDirPath()));
    return hooks;
}

Form1::Form1(AppState &state, QString appPath, QString commandLine, Form1Hooks hooks, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_appPath(std::move(appPath)),
      m_commandLine(std::move(commandLine)), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("Form1"));
    // The first pictures are decoded while the window's parts are made.
    m_startPictures = std::make_unique<StartPictures>(m_state, m_appPath);
    m_document = new CoverDocument(this);
    connect(m_document, &CoverDocument::contentChanged, this, &Form1::documentChanged);
    m_projects = new ProjectCommands(*this, m_state);
    m_print = new PrintCommand(*this, m_state);
    m_language = new LanguageCommands(*this, m_state,
                                      {[this] {
                                           applyLanguageToWindow();
                                           m_document->refreshTemplates();
                                       },
                                       [this] { SalvaOpzioni(); },
                                       [this] {
                                           // A refilled format list shows the document's format again.
                                           selectFormat(m_document->content().format);
                                           layoutControls();
                                       },
                                       [this](const QString &page) { return m_hooks.openExternally(page); }});
    m_handoverCommands = new HandoverCommands(
        *this, *m_projects, [this] { m_hooks.warn(this, text(107), text(18)); }, [this](int code) { m_hooks.exitNow(code); });
    m_store = std::make_unique<SettingsStore>(
        m_state, SettingsStore::Window{[this] { return selectedFormat(); }, [this] { return windowStateCode(); },
                                       [this](const QString &message) { m_hooks.warn(this, message, text(18)); },
                                       [this] { return m_closingBySignal; }});
    m_pictureCommands = new PictureCommands(
        *this, *m_document, m_state, [this](const QString &text, const QString &title) { m_hooks.warn(this, text, title); },
        [this] {
            Combo1_Click();
            selectFormat(selectedFormat());
            SalvaOpzioni();
        });
    // Whole pixels, rounded up: the window never gets below the minimum in twips.
    setMinimumSize(twipsToPixels(MinimumWindowWidthTwips + TwipsPerPixel - 1),
                   twipsToPixels(MinimumWindowHeightTwips + TwipsPerPixel - 1));
    m_session = new CoverSession(*this, *m_document, *m_projects, m_state);
    const std::vector<QMenu *> barMenus = buildMenus();
    buildControls();
    putMenusInBar(barMenus);
    m_sfondo1 = QPixmap::fromImage(windowBackdrop());
    connect(m_document, &CoverDocument::contentChanged, this,
            [this] { enableSlotCommands(*this, m_document->content().format); });
    // The client area (below the menu bar) is the designed 9930 x 7290 twips.
    menuBar()->ensurePolished();
    resize(twipsToPixels(DesignClientWidthTwips),
           twipsToPixels(DesignClientHeightTwips) + menuBar()->sizeHint().height());
    // Lay out now, so the client area has its size before the window is first shown:
    // the load sequence already measures it.
    layout()->activate();
}

Form1::~Form1() = default;

QAction *Form1::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

QMenu *Form1::menu(const QString &objectName) const
{
    return findChild<QMenu *>(objectName);
}

void Form1::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    const auto px = twipsToPixels;

    // The preview lies under every other control of the client area.
    m_canvas = new PreviewCanvas(m_client);
    m_canvas->installEventFilter(this); // its first paint sends for the printer (eventFilter)
    m_resolutionMarks = new ResolutionMarks(m_canvas);
    m_canvas->lower();
    connect(m_canvas, &PreviewCanvas::viewClicked, this,
            [this](PreviewView view) { LoadSlotByDialog(slotOfView(view)); });
    connect(m_canvas, &PreviewCanvas::filesDropped, this,
            [this](PreviewView view, const QStringList &files) { LoadSlotByDrop(slotOfView(view), files); });
    m_placements = new PlacementCommands(*m_canvas, *m_document, m_state, this);

    // A drag of the window's edge sends resizes faster than a preview with large photos
    // can follow: they are gathered and the preview is rebuilt once per turn of the loop.
    m_resizeSelection = new QTimer(this);
    m_resizeSelection->setSingleShot(true);
    m_resizeSelection->setInterval(0);
    // A resize that leaves the client area as the preview was last drawn for (the first
    // show's, say) needs no new drawing.
    connect(m_resizeSelection, &QTimer::timeout, this, [this] {
        if (clientSizeTwips() != m_refreshedClientTwips)
            Combo1_Click();
    });

    m_label5 = new QLabel(m_client);
    m_label5->setObjectName(QStringLiteral("Label5"));
    m_label5->setGeometry(px(2730), px(270), px(570), px(195));
    m_label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_combo1 = new QComboBox(m_client);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->move(px(2730 + 570 + 100), px(210));
    m_combo1->resize(px(4000), m_combo1->sizeHint().height());
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    m_formatMenu = new FormatMenu(m_mnuFormato, m_combo1, this);

    m_check1 = new QCheckBox(m_client);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->resize(px(195), px(225));
    connect(m_check1, &QCheckBox::clicked, this, [this] { Combo1_Click(); });

    m_label6 = new QLabel(m_client);
    m_label6->setObjectName(QStringLiteral("Label6"));
    // The caption toggles the switch, as a check box's own text would.
    m_label6->installEventFilter(this);

    m_label1 = new QLabel(m_client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFrameShape(QFrame::Box); // the frame is Shape5
    m_label1->setIndent(4);

    m_line1 = new QFrame(m_client);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Sunken);
    m_toolbar = new MainToolbar(*this, m_state, m_client, m_label1);
    m_toolbar->watchBackground(m_client);
    m_toolbar->watchBackground(m_canvas);
    m_toolbar->watchOutlineSwitch(m_check1);
    m_toolbar->watchFormatLabel(m_label5);
}

void Form1::layoutControls()
{
    const QSize client = m_client->size();
    m_canvas->setGeometry(0, 0, client.width(), client.height());
    MainWindowLayoutInput in;
    in.window = size() * TwipsPerPixel;
    in.client = client * TwipsPerPixel;
    in.label5 = QRect(m_label5->geometry().topLeft() * TwipsPerPixel, m_label5->size() * TwipsPerPixel);
    in.label6.setWidth(std::max(570, m_label6->sizeHint().width() * TwipsPerPixel));
    in.formatListHeight = m_combo1->height() * TwipsPerPixel;
    const MainWindowLayout l = layoutMainWindow(in);
    // Without a window manager to hold the minimum, the window snaps back itself.
    if (l.snapped && windowState() == Qt::WindowNoState)
        QTimer::singleShot(0, this, [this] { resize(size().expandedTo(minimumSize())); });
    auto px = [](const QRect &r) {
        return QRect(twipsToPixels(r.x()), twipsToPixels(r.y()), twipsToPixels(r.width()), twipsToPixels(r.height()));
    };
    m_label1->setGeometry(px(l.label1));
    refreshElidedText(m_label1);
    m_toolbar->setButton2Home(l.button2.topLeft());
    m_check1->move(px(l.check1).topLeft());
    m_label6->setGeometry(px(l.label6));
    m_toolbar->recordHomes();
    m_combo1->setGeometry(px(l.combo1));
    m_line1->setGeometry(twipsToPixels(l.line1.x1()), twipsToPixels(l.line1.y1()),
                         twipsToPixels(l.line1.x2() - l.line1.x1()), 2);
    m_canvas->setBackdrop(m_sfondo1, px(l.sfondo1));
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The printer of the moment the window appears, looked up as soon as the preview is
    // drawn: the print system takes tens of milliseconds that the window need not wait for.
    if (watched == m_canvas && event->type() == QEvent::Paint) {
        m_canvas->removeEventFilter(this);
        if (!m_printer.lookedUp())
            QTimer::singleShot(0, this, [this] { m_printer.get(); });
    }
    if (watched == m_label6 && event->type() == QEvent::MouseButtonPress) {
        m_check1->setChecked(!m_check1->isChecked());
        Combo1_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);

    // The menu bar's final height is known only once the window is shown: correct the
    // window's height so the client area keeps its designed size.
    if (!m_clientSizeFixed && windowState() == Qt::WindowNoState) {
        m_clientSizeFixed = true;
        const int wanted = twipsToPixels(DesignClientHeightTwips);
        if (m_client->height() != wanted)
            resize(width(), height() + wanted - m_client->height());
    }
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutControls();
    m_resizeSelection->start();
}

QSize Form1::clientSizeTwips() const
{
    const QSize s = m_client->size();
    return {s.width() * TwipsPerPixel, s.height() * TwipsPerPixel};
}

int Form1::selectedFormat() const
{
    return m_combo1->currentIndex();
}

void Form1::selectFormat(int index)
{
    // An index the list does not hold leaves it without a selection.
    m_combo1->setCurrentIndex(index >= 0 && index < m_combo1->count() ? index : -1);
}

int Form1::windowStateCode() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized)
        return WindowMinimised;
    if (s & Qt::WindowMaximized)
        return WindowMaximised;
    return WindowNormal;
}

void Form1::takeUpdateCheck(std::unique_ptr<BackgroundUpdateCheck> check)
{
    m_updateCheck = std::move(check);
}

bool Form1::load()
{
    // The server is asked now at the latest and answers while the window is built; the
    // answer is taken where the load sequence has always looked at it.
    if (!m_updateCheck)
        m_updateCheck = startUpdateCheck(m_hooks.releaseCheck);
    const bool started = runLoadSequence();
    m_updateCheck.reset();
    m_startPictures.reset();
    return started;
}

bool Form1::runLoadSequence()
{
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    qint16 savedFormatIndex = 0;
    // Until the saved format's cover is loaded, format selections only measure and place
    // the areas: a cover drawn now would be thrown away unseen.
    m_coverPending = true;

    steps.run(QStringLiteral("last format index"), [&] { m_state.LastFormatIndex = 21; });
    steps.run(QStringLiteral("version caption"), [&] {
        m_state.VersionCaption = makeVersionCaption(VersionMajor, VersionMinor, VersionRevision);
        m_session->updateTitle();
    });
    steps.run(QStringLiteral("program folder"), [&] {
        m_state.AppPath = m_appPath;
        decideFolderMode(m_state);
    });
    steps.run(QStringLiteral("initial scale height"), [&] {
        m_state.PreviewScale = 20;
        const auto h = toInt16(double(DesignClientHeightTwips));
        if (!h)
            return false;
        m_state.InitialScaleHeight = *h;
        return true;
    });
    steps.run(QStringLiteral("settings"), [&] {
        ReadSettings(settingsFilePath(m_state), m_state, savedFormatIndex);
        // A window closed while minimised comes back as a normal one: started minimised
        // it may be nowhere to be seen (a desktop without a task bar).
        if (m_state.SavedWindowState == WindowMaximised)
            setWindowState(Qt::WindowMaximized);
    });
    steps.run(QStringLiteral("catalogue"),
              [&] { return ReadCatalogue(catalogueReadPath(m_state), m_state); });
    steps.run(QStringLiteral("initial language"), [&] {
        if (m_state.LanguageFileName.trimmed().isEmpty())
            m_state.LanguageFileName = chooseInitialLanguage(
                QLocale::system().name(), m_state.AppPath + QStringLiteral("/Files/Lang"));
    });
    steps.run(QStringLiteral("format count"), [&] { m_state.FormatCount = m_state.LastFormatIndex + 1; });
    steps.run(QStringLiteral("first format selection"), [&] { Combo1_Click(); });
    steps.run(QStringLiteral("language"), [&] {
        loadLanguage();
        reloadTexts(LanguageReading::StartupSecond);
    });
    m_instanceLock = std::make_unique<SingleInstanceLock>(m_state.AppPath);
    if (!m_instanceLock->acquire()) {
        if (m_instanceLock->folderError().isEmpty())
            return m_handoverCommands->handOverOrRefuse(*m_instanceLock, m_commandLine);
        m_hooks.warn(this, m_instanceLock->folderError(), text(18));
        m_hooks.exitNow(1);
        return false;
    }
    m_handoverCommands->listen(*m_instanceLock);
    steps.run(QStringLiteral("recent projects"), [&] { m_recent->setFile(recentProjectsFilePath(m_state)); });
    // The picture areas start side by side; every format selection places them anew.
    steps.run(QStringLiteral("landscape printer"), [&] { m_printer.setOrientation(false); });
    // A saved index the list does not hold (a damaged or hand-edited file, or "-1") would
    // start with a blank sheet: the first format is shown instead.
    // The start's cover is blank, in the saved format, with nothing to undo.
    // Placeholders carry their words in the language shown at the time they are drawn.
    // Given only now that the language is read: before, they would be drawn once
    // without its words and at once again with them.
    steps.run(QStringLiteral("placeholders"), [&] {
        const PictureLoader decode = m_startPictures->takePlaceholderLoader();
        m_document->setTemplateSource(m_state.AppPath, placeholderLoader(m_state.AppPath, m_state.Language, decode),
                                      [this] { return templateWordsKey(m_state.Language); });
    });
    steps.run(QStringLiteral("saved format"), [&] {
        CoverContent blank = blankContent();
        blank.format = savedFormatIndex >= 0 && savedFormatIndex < m_combo1->count() ? savedFormatIndex : 0;
        m_coverPending = false;
        m_document->load(blank, QString());
    });
    // The load drew the saved format already (the window follows every load); what the
    // controls hold is taken in, and the cover drawn again only if that changes it.
    steps.run(QStringLiteral("format selection"), [&] {
        const CoverContent loaded = m_document->content();
        commitDrafts();
        if (!(m_document->content() == loaded))
            refresh();
    });
    // Work a run ended by a signal or a crash left behind, then kept from here on.
    steps.run(QStringLiteral("recovery"), [&] {
        m_projects->offerRecovery(recoveryFilePath(m_state));
        m_session->keepRecovery(recoveryFilePath(m_state), RecoveryIntervalMs);
    });
    steps.run(QStringLiteral("command-line project"), [&] {
        if (!m_commandLine.trimmed().isEmpty() && m_projects->maySwitch())
            m_projects->loadProject(m_commandLine);
    });
    // The update check: a Yes ends the program here, before the window is ever shown.
    if (runUpdateCheck(m_updateCheck.get(), this, m_state.Language, m_hooks))
        return false;
    m_started = true;
    return true;
}

void Form1::Combo1_Click()
{
    commitDrafts();
    refresh();
}

void Form1::commitDrafts()
{
    // What the controls and the working title hold and the document does not yet.
    m_committing = true;
    const CoverContent &c = m_document->content();
    const int index = selectedFormat();
    // No selection counts only once the list is filled: before, it is a start's.
    if (index != c.format && (index >= 0 || m_combo1->count() > 0))
        m_document->setFormat(index);
    if (m_check1->isChecked() != c.outline)
        m_document->setOutline(m_check1->isChecked());
    if (m_titleDraft != c.title)
        m_document->setTitle(m_titleDraft);
    if (m_state.TitleOnCover != c.titleOnCover || m_state.TitleOnSpine != c.titleOnSpine)
        m_document->setTitleFlags(m_state.TitleOnCover, m_state.TitleOnSpine);
    m_committing = false;
}

void Form1::documentChanged()
{
    // The controls follow the document (an undo, a load), without edits of their own;
    // during a commit they are the source, and the commit shows the result itself.
    if (m_committing)
        return;
    const CoverContent &c = m_document->content();
    if (selectedFormat() != c.format && c.format < m_combo1->count()) {
        {
            const QSignalBlocker block(m_combo1);
            m_combo1->setCurrentIndex(c.format);
        }
        m_formatMenu->followList();
    }
    m_check1->setChecked(c.outline);
    m_titleDraft = c.title;
    m_state.TitleOnCover = c.titleOnCover;
    m_state.TitleOnSpine = c.titleOnSpine;
    refresh();
}

void Form1::refresh()
{
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    const CoverContent &c = m_document->content();
    const int i = c.format;
    bool portrait = true;
    m_refreshedClientTwips = clientSizeTwips();
    steps.run(QStringLiteral("scale"), [&] {
        portrait = computePreviewScale(m_state, i, clientSizeTwips().height());
    });
    steps.run(QStringLiteral("printer orientation"), [&] { m_printer.setOrientation(portrait); });
    steps.run(QStringLiteral("arrangement"), [&] {
        m_layout = arrangePreview(m_state, i, c.outline, QSizeF(clientSizeTwips()), m_layout);
    });
    steps.run(QStringLiteral("titles"), [&] {
        if (m_coverPending)
            return;
        // Let go of the last run's titled pictures first, so the renderer can draw into
        // the same buffers again instead of allocating new ones.
        m_canvas->releasePictures();
        m_pictures = CoverPictures();
        const RenderedCover r = m_renderer.render(m_previewSources.shown(c), areaSizesMm(m_state, i));
        for (int k = 0; k < 3; ++k)
            m_pictures.imageSlots[size_t(k)] = {r.areas[size_t(k)], c.pictures[size_t(k)].path, r.clean[size_t(k)]};
        m_pictures.image8 = r.overlay;
        m_pictures.slimBack = r.slimBack;
        m_pictures.slimSpine = r.slimSpine;
        m_pictures.slimFront = r.slimFront;
        m_layout.overlay = m_layout.areas[1];
        m_layout.overlay.visible = r.overlayVisible;
    });
    showPreview();
}

void Form1::showPreview()
{
    PreviewCanvas::ViewPictures views;
    views[size_t(PreviewView::Image1)] = m_pictures.imageSlots[0].Picture;
    views[size_t(PreviewView::Image2)] = m_pictures.imageSlots[1].Picture;
    views[size_t(PreviewView::Image3)] = m_pictures.imageSlots[2].Picture;
    views[size_t(PreviewView::Image4)] = m_pictures.slimBack;
    views[size_t(PreviewView::Image6)] = m_pictures.slimSpine;
    views[size_t(PreviewView::Image7)] = m_pictures.slimFront;
    views[size_t(PreviewView::Image8)] = m_pictures.image8;
    m_canvas->setPreview(m_layout, views);
    m_resolutionMarks->show(vt::resolutionMarks(m_state, m_document->content(), m_layout));
}

void Form1::mnuTitolo_Click()
{
    TitleEditorContext context;
    context.state = &m_state;
    context.style = &m_titleDraft;
    context.setCoverText = [this](const QString &text) { setCoverText(text); };
    context.formatSelection = [this] { Combo1_Click(); };
    context.playSound = m_hooks.playSound;
    openTitleEditor(this, context);
}

void Form1::mnuOpzioni_Click()
{
    OptionsContext context;
    context.state = &m_state;
    context.mainFormat = selectedFormat();
    context.playSound = m_hooks.playSound;
    context.reloadTexts = [this] { reloadTexts(LanguageReading::Normal); };
    context.writeSettings = [this] { SalvaOpzioni(); };
    context.writeCatalogue = [this] { return storeCatalogue(); };
    context.formatSelection = [this] { Combo1_Click(); };
    openOptionsDialog(this, context);
}

void Form1::setCoverText(const QString &text)
{
    if (text == m_titleDraft.CoverText && text == m_document->content().title.CoverText)
        return;
    m_titleDraft.CoverText = text;
    Combo1_Click();
}

void Form1::setTitleStyle(const TitleStyle &style)
{
    // Only a changed front text shows at once; the other fields wait for the next
    // format selection.
    const QString cover = style.CoverText;
    m_titleDraft = style;
    m_titleDraft.CoverText = m_document->content().title.CoverText;
    setCoverText(cover);
}

PagePictures Form1::pagePictures() const
{
    if (m_previewSources.reduced()) {
        // Print needs the pictures at their own resolution, up to 600 per inch of paper.
        CoverRenderer renderer;
        const CoverContent &c = m_document->content();
        return pagePicturesOf(renderer.render(c, areaSizesMm(m_state, c.format)));
    }
    return pagePicturesOf(m_pictures);
}

PageComposer Form1::pageComposer() const
{
    return coverComposer(m_state, m_document->content());
}

OutputResult Form1::StampaCopertina(QPrinter &printer, const PageSetup &setup) const
{
    return printCover(printer, setup, pageComposer(), pagePictures());
}

void Form1::setSlotPicture(int slot, const QImage &picture, const QString &path)
{
    m_pictureCommands->set(slot, picture, path);
}

bool Form1::loadPictureIntoSlot(int slot, const QString &path)
{
    return m_pictureCommands->load(slot, path);
}

void Form1::LoadSlotByDialog(int slot)
{
    m_pictureCommands->byDialog(slot);
}

void Form1::loadSlotFromChosenFile(int slot, const QString &chosen)
{
    m_pictureCommands->fromChosenFile(slot, chosen);
}

void Form1::LoadSlotByDrop(int slot, const QStringList &files)
{
    m_pictureCommands->byDrop(slot, files);
}

bool Form1::reloadTexts(LanguageReading reading)
{
    return m_language->reloadTexts(reading);
}

void Form1::loadLanguage()
{
    m_language->load();
}

void Form1::applyLanguageToWindow()
{
    applyMenuTexts(*this, m_state.Language);
    // The label shares its caption with the Format menu, whose access key it is: shown
    // here as plain text so the key is not claimed twice.
    m_label5->setText(StripAmpersands(text(32)));
    const int labelRight = twipsToPixels(2730 + 570);
    const int labelWidth = std::max(twipsToPixels(570), m_label5->sizeHint().width());
    m_label5->setGeometry(labelRight - labelWidth, m_label5->y(), labelWidth, m_label5->height());
    m_label6->setText(text(16));
    setElidedText(m_label1, text(14));
    layoutControls();

    // The list is refilled without a selection; the caller selects again.
    {
        const QSignalBlocker block(m_combo1);
        m_combo1->clear();
        for (int i = 0; i < m_state.FormatCount; ++i)
            m_combo1->addItem(text(53 + i));
        m_combo1->setCurrentIndex(-1);
    }
    fitPopupToItems(m_combo1);
    m_formatMenu->rebuild();
    for (int n = 0; n <= 9; ++n)
        m_state.ToolbarTips[size_t(n)] = StripAmpersands(text(n));
    m_edit->applyLanguage(m_state.Language);
    m_recent->applyLanguage(m_state.Language);
    m_session->updateTitle();
    applyMenuIcons(*this);
}

QtTranslations *Form1::qtTranslations() const
{
    return m_language->qtTranslations();
}

void Form1::mnuLingua_Click()
{
    m_language->chooseByDialog();
}

void Form1::applyChosenLanguageFile(const QString &chosen)
{
    m_language->applyChosenFile(chosen);
}

void Form1::showHelp()
{
    m_language->showHelp();
}

void Form1::playSound(const QString &relativeWav)
{
    if (m_state.SoundsOn && m_hooks.playSound)
        m_hooks.playSound(relativeWav);
}

bool Form1::SalvaOpzioni()
{
    return m_store->storeSettings();
}

bool Form1::storeCatalogue()
{
    return m_store->storeCatalogue();
}

void Form1::WriteCatalogue()
{
    SalvaOpzioni();
    storeCatalogue();
}

void Form1::storeOnShutdown()
{
    // Only a copy that holds the lock writes: a refused one would overwrite the running
    // copy's settings with its own half-loaded state.
    if (!m_shutdownDone && m_instanceLock && m_instanceLock->isHeld()) {
        m_shutdownDone = true;
        WriteCatalogue();
    }
}

void Form1::closeBySystem(int signalNumber)
{
    // Until this copy holds the lock (while a refused start shows its box, say) it has
    // nothing to store: it ends at once, as a refused start does.
    if (!m_instanceLock || !m_instanceLock->isHeld()) {
        m_hooks.exitNow(128 + signalNumber);
        return;
    }
    // Nobody may be there to answer a question: unsaved work goes to the recovery file.
    m_closingBySignal = true;
    if (RecoveryKeeper *keeper = m_session->recovery())
        keeper->writeNow();
    close();
    // Still starting (a box of the load sequence, such as the update question or a
    // project's error, runs its own event loop): the window was never shown, so closing
    // it ends nothing. The shutdown above has run; the process ends here.
    if (!m_started)
        m_hooks.exitNow(0);
}

void Form1::closeEvent(QCloseEvent *event)
{
    const bool holdsLock = m_instanceLock && m_instanceLock->isHeld();
    if (!m_shutdownDone && holdsLock && !m_closingBySignal && !m_projects->mayClose()) {
        event->ignore();
        return;
    }
    storeOnShutdown();
    event->accept();
}

} // namespace vt
