#pragma once
// The print dialog: printer, orientation, quality and copies, then the cover is printed.
// Choosing a printer here also makes it the system's default printer. The list ends with
// a "PDF file" entry, so a machine without any printer can still produce the cover.
// Everything that reaches outside the dialog goes through the context, so tests can
// stand in for the print system.
#include "print/CoverOutput.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPrinter;
class QSpacerItem;

namespace vt {

struct AppState;
class HoverLiftButton;

// What survives the dialog for the rest of the run.
struct PrintDialogMemory
{
    bool selectionGuard = false;            // the first selection of a run is only noted
    std::optional<int> quality;             // the quality chosen for qualityPrinter
    QString qualityPrinter;
};

struct PrintDialogContext
{
    AppState *state = nullptr;      // required
    PrintDialogMemory *memory = nullptr; // required
    // The program's current printer; null when there is none yet. Its queue's name.
    std::function<QPrinter *()> currentPrinter;
    std::function<QString()> currentPrinterName;
    // Makes the installed printer called name the program's current printer.
    std::function<void(const QString &name)> makeCurrentPrinter;
    std::function<QStringList()> installedPrinters;
    std::function<QString()> defaultPrinterEntry;
    // Makes the printer the system's default; false with a CUPS error number and text.
    std::function<bool(const QString &name, int *code, QString *error)> setSystemDefault;
    std::function<bool(const QString &printer, int quality)> qualitySupported;
    // Sends the quality with the printer's next job.
    std::function<void(QPrinter &printer, int quality)> applyQuality;
    // Draws the cover (the print composition) on the printer as it is set up.
    std::function<OutputResult(QPrinter &printer)> printCover;
    // Writes the cover to a PDF file, A4 in the given orientation.
    std::function<OutputResult(const QString &path, bool portrait)> writePdf;
    // The save dialog for the PDF; empty on cancel.
    std::function<QString(QWidget *owner, const QString &proposedPath)> choosePdfPath;
    // Yes/No question (overwrite an existing PDF); true for Yes.
    std::function<bool(QWidget *owner, const QString &text, const QString &title)> askYesNo;
    // A box with an OK button.
    std::function<void(QWidget *owner, const QString &text, const QString &title)> message;
    // Plays a sound of the program folder; called only when sounds are on.
    std::function<void(const QString &relativeWav)> playSound;
};

// The PDF's proposed file: the project's name with ".pdf", or "Cover.pdf".
QString proposedPdfPath(const QString &currentProjectPath);

// The copies a copies text asks for: its leading number rounded half to even, at most
// 999; nullopt (leave the printer's copies as they are) for 0, negatives, letters and
// numbers too large to count.
std::optional<int> copiesFromText(const QString &text);

void openPrintDialog(QWidget *owner, const PrintDialogContext &context);

class frmStampa : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxCopies = 999;

    explicit frmStampa(PrintDialogContext context, QWidget *parent = nullptr);
    ~frmStampa() override;

    QComboBox *printerList() const { return m_combo1; }
    QComboBox *qualityList() const { return m_cboQualita; }
    QComboBox *copiesField() const { return m_combo2; }
    QLabel *portraitIcon() const { return m_image2; }
    QLabel *landscapeIcon() const { return m_image3; }
    HoverLiftButton *button(int n) const;
    bool portraitShown() const { return m_portrait; }
    bool pdfChosen() const;
    QString pdfEntryText() const;

    // The button press: 0 prints, 1 cancels; both close the dialog.
    void pressButton(int n);
    // The dialog's own steps, public for tests.
    void FillPrinterList();
    void FillQualityList();
    bool ImpostaStampante(const QString &name);
    void toggleOrientation();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void load();
    void printerSelected();
    void qualityChosen(int index);
    // True when the cover came out; the dialog then closes.
    bool print();
    void layoutButtons();
    QString currentName() const;
    QString text(int entry) const;
    void play(const QString &relativeWav) const;

    PrintDialogContext m_ctx;
    QComboBox *m_combo1 = nullptr;
    QComboBox *m_cboQualita = nullptr;
    QComboBox *m_combo2 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QLabel *m_label5 = nullptr;
    QLabel *m_image2 = nullptr;
    QLabel *m_image3 = nullptr;
    std::array<HoverLiftButton *, 2> m_buttons{};
    QSpacerItem *m_buttonSpace = nullptr; // keeps room for the buttons, placed by hand
    bool m_portrait = true;
    bool m_filling = false;
};

} // namespace vt
