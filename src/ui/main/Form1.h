#pragma once
// The main window: menus, the format list, the cover preview and the status line.
// It shows the cover document and turns the user's actions into edits of it; it runs
// the load sequence and shutdown over the AppState it is given.
#include "app/AppState.h"
#include "common/Twips.h"
#include "document/CoverDocument.h"
#include "document/CoverRender.h"
#include "formats/CoverPictures.h"
#include "formats/PreviewArrangement.h"
#include "formats/TitleStyle.h"
#include "lang/LanguageFile.h"
#include "net/UpdateCheck.h"
#include "platform/PictureSurface.h"
#include "print/CoverOutput.h"
#include "ui/main/CurrentPrinter.h"
#include "ui/main/PreviewSources.h"

#include <QMainWindow>
#include <QPixmap>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QTimer;

namespace vt {

class BackgroundUpdateCheck;
class CoverSession;
class EditCommands;
class FormatMenu;
class HandoverCommands;
class LanguageCommands;
class MainToolbar;
class PictureCommands;
class PlacementCommands;
class QtTranslations;
class RecentProjectsMenu;
class ResolutionMarks;
class SettingsStore;
class PreviewCanvas;
class PrintCommand;
class ProjectCommands;
class SingleInstanceLock;
class StartPictures;
class TitleRenderer;


// What the window asks of the process around it; tests replace these.
struct Form1Hooks
{
    // A warning box with an OK button (text, title).
    std::function<void(QWidget *parent, const QString &text, const QString &title)> warn;
    // End the process at once: no shutdown steps run.
    std::function<void(int code)> exitNow;
    // Open a file or address with the desktop's default program.
    std::function<bool(const QString &pathOrUrl)> openExternally;
    // Plays a sound file to its end, e.g. "Files/Click2.wav" relative to the program
    // folder. The window calls it only when sounds are on; may be empty (no sound).
    std::function<void(const QString &relativeWav)> playSound;
    // The start's question whether to get a newer release (text, title): true for Yes.
    // May be empty (taken as No).
    std::function<bool(QWidget *parent, const QString &text, const QString &title)> askUpdate;
    // The update check itself, run on a thread of its own (the online module's by
    // default). May be empty: no check.
    ReleaseCheck releaseCheck;
};
Form1Hooks defaultForm1Hooks();

class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    // Designed client area: 9930 x 7290 twips.
    static constexpr int DesignClientWidthTwips = 9930;
    static constexpr int DesignClientHeightTwips = 7290;
    // How often unsaved work is written to the recovery file.
    static constexpr int RecoveryIntervalMs = 30000;

    Form1(AppState &state, QString appPath, QString commandLine, Form1Hooks hooks = defaultForm1Hooks(),
          QWidget *parent = nullptr);
    ~Form1() override;

    // The main window's load sequence. Returns false when this start was refused
    // because another copy runs from the same folder (or it handed its project to that copy).
    bool load();
    // An update check sent off before the window was made (see startUpdateCheck), for the
    // load sequence to take instead of sending its own.
    void takeUpdateCheck(std::unique_ptr<BackgroundUpdateCheck> check);

    // Writes the settings file from the state and the window as they are now.
    bool SalvaOpzioni();
    // Settings first, then the catalogue: what closing the window stores.
    void WriteCatalogue();
    // Writes the catalogue file; false, after telling the user, when that failed.
    bool storeCatalogue();
    // SIGTERM or SIGINT: closes the window as the desktop would, or, before this copy
    // holds the single-instance lock, ends the process at once.
    void closeBySystem(int signalNumber);

    // Format selection: takes what the window's controls and the title hold into the
    // document (each change one edit), then shows the cover anew.
    void Combo1_Click();
    // The cover being edited.
    CoverDocument *document() const { return m_document; }
    void loadLanguage();
    // Reads the current language file into the table alone (no window is touched).
    bool reloadTexts(LanguageReading reading);
    void mnuLingua_Click();
    // The Language command after its dialog: a file chosen under a "Lang" folder.
    void applyChosenLanguageFile(const QString &chosenPath);
    void showHelp();
    // Plays a sound of the program folder when sounds are on.
    void playSound(const QString &relativeWav);

    int selectedFormat() const;
    void selectFormat(int index);
    int windowStateCode() const;
    QSize clientSizeTwips() const;

    // Picture slots (0..2): by the open dialog, by a drop, or straight from a file.
    void LoadSlotByDialog(int slot);
    // The open command after its dialog: the chosen file into the slot, or a warning.
    void loadSlotFromChosenFile(int slot, const QString &chosen);
    void LoadSlotByDrop(int slot, const QStringList &files);
    bool loadPictureIntoSlot(int slot, const QString &path);
    // Puts a picture that is already loaded into a slot, with the path it is known by.
    void setSlotPicture(int slot, const QImage &picture, const QString &path);

    ProjectCommands *projects() const { return m_projects; }

    // What StampaCopertina draws: the titled pictures as the preview shows them (drawn
    // again from the full pictures where the preview shows reduced ones), and the page
    // of the selected format as it is set now.
    PagePictures pagePictures() const;
    PageComposer pageComposer() const;
    // Prints the cover on the printer as the print dialog has set it up.
    OutputResult StampaCopertina(QPrinter &printer, const PageSetup &setup) const;
    PrintCommand *printCommand() const { return m_print; }
    PlacementCommands *placements() const { return m_placements; }

    // The title; a change of the front text runs format selection at once.
    const TitleStyle &titleStyle() const { return m_document->content().title; }
    void setCoverText(const QString &text);
    void setTitleStyle(const TitleStyle &style);
    // A working copy of the style, for the commands that set its fields one by one; the
    // next format selection takes it into the document.
    TitleStyle &titleStyleForEditing() { return m_titleDraft; }
    // Opens the title editor over the window.
    void mnuTitolo_Click();
    // Opens the options dialog over the window.
    void mnuOpzioni_Click();

    const CoverPictures &pictures() const { return m_pictures; }
    const PreviewLayout &previewLayout() const { return m_layout; }
    PreviewCanvas *canvas() const { return m_canvas; }
    // The printer the cover goes to; null when the system has none.
    QPrinter *currentPrinter() { return m_printer.get(); }
    void setCurrentPrinter(std::unique_ptr<QPrinter> printer) { m_printer.set(std::move(printer)); }

    QComboBox *formatList() const { return m_combo1; }
    QCheckBox *outlineSwitch() const { return m_check1; }
    QLabel *statusLabel() const { return m_label1; }
    QLabel *formatLabel() const { return m_label5; }
    MainToolbar *toolbar() const { return m_toolbar; }
    QAction *action(const QString &objectName) const;
    QMenu *menu(const QString &objectName) const;
    QtTranslations *qtTranslations() const;
    ResolutionMarks *resolutionMarks() const { return m_resolutionMarks; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool runLoadSequence();
    std::vector<QMenu *> buildMenus();
    void buildControls();
    void putMenusInBar(const std::vector<QMenu *> &menus);
    void layoutControls();
    void applyLanguageToWindow();
    void commitDrafts();
    void documentChanged();
    void refresh();
    void showPreview();
    QString text(int entry) const { return m_state.Language[entry]; }
    // What closing stores, once, and only by the copy that holds the lock.
    void storeOnShutdown();

    AppState &m_state;
    QString m_appPath;
    QString m_commandLine;
    Form1Hooks m_hooks;
    std::unique_ptr<SingleInstanceLock> m_instanceLock;
    std::unique_ptr<BackgroundUpdateCheck> m_updateCheck; // only while the load sequence runs
    std::unique_ptr<StartPictures> m_startPictures; // decoding since construction
    HandoverCommands *m_handoverCommands = nullptr;
    ProjectCommands *m_projects = nullptr;
    EditCommands *m_edit = nullptr;
    RecentProjectsMenu *m_recent = nullptr;
    CoverSession *m_session = nullptr;
    PrintCommand *m_print = nullptr;
    PlacementCommands *m_placements = nullptr;
    PictureCommands *m_pictureCommands = nullptr;
    std::unique_ptr<SettingsStore> m_store;
    bool m_shutdownDone = false;
    bool m_closingBySignal = false;
    bool m_started = false; // the window's load sequence has run to its end
    bool m_coverPending = false; // the load sequence has not yet loaded the first cover
    bool m_clientSizeFixed = false;

    CoverDocument *m_document = nullptr;
    CoverRenderer m_renderer;
    CoverPictures m_pictures; // what the views show: the document's pictures, titled
    PreviewSources m_previewSources; // large photos reduced for the preview
    PreviewLayout m_layout;
    TitleStyle m_titleDraft;
    bool m_committing = false;
    // Looked up once the window is on the screen: asking the print system takes longer
    // than drawing the window.
    CurrentPrinter m_printer;
    QTimer *m_resizeSelection = nullptr;
    QSize m_refreshedClientTwips; // the client area's size at the last refresh

    QWidget *m_client = nullptr;
    PreviewCanvas *m_canvas = nullptr;
    QComboBox *m_combo1 = nullptr;
    QLabel *m_label5 = nullptr;
    QCheckBox *m_check1 = nullptr;
    QLabel *m_label6 = nullptr;
    QLabel *m_label1 = nullptr;
    MainToolbar *m_toolbar = nullptr;
    QFrame *m_line1 = nullptr;
    QPixmap m_sfondo1;

    QMenu *m_mnuFormato = nullptr;
    FormatMenu *m_formatMenu = nullptr;
    ResolutionMarks *m_resolutionMarks = nullptr;
    LanguageCommands *m_language = nullptr;
};

} // namespace vt
