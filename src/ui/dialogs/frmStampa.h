#pragma once
// The print dialog: printer, orientation, quality and copies, then the cover is printed.
// Choosing a printer here also makes it the system's default printer. The list ends with
// a "PDF file" entry, so a machine without any printer can still produce the cover.
// Everything that reaches outside the dialog goes through the context, so tests can
// stand in for the print system.
#include "print/CoverOutput.h"
#include "print/PageSetup.h"
#include "ui/dialogs/SheetPicture.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QPrinter;
class QSpacerItem;

namespace vt {

struct AppState;
class HoverLiftButton;

// Why a queue may not print at once, as the dialog warns of it.
enum class QueueWarning { None, Stopped, NotAccepting };

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
    // Draws the cover (the print composition) on the printer as it is set up, on the
    // setup's paper, orientation and extras, with the printer's correction.
    std::function<OutputResult(QPrinter &printer, const PageSetup &setup)> printCover;
    // Writes the cover to a PDF file on the setup's paper and orientation.
    std::function<OutputResult(const QString &path, const PageSetup &setup)> writePdf;
    // The page as it would print: on printer (empty for the PDF file) with the setup.
    // None when the printer's printable area cannot be known.
    std::function<std::optional<SheetView>(const QString &printer, const PageSetup &setup)> sheetView;
    // The paper the printer takes by default, when it says.
    std::function<std::optional<PaperKind>(const QString &printer)> defaultPaper;
    std::function<QueueWarning(const QString &printer)> queueWarning;
    // The correction measured for a printer, and storing a new one (false, with the
    // reason, when it could not be kept).
    std::function<PrintCorrection(const QString &printer)> readCorrection;
    std::function<bool(const QString &printer, const PrintCorrection &correction, QString *error)> writeCorrection;
    // Prints the calibration page on the printer as it is set up.
    std::function<OutputResult(QPrinter &printer, const PageSetup &setup)> printCalibration;
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
    QComboBox *paperList() const { return m_paper; }
    QCheckBox *cropMarksBox() const { return m_cropMarks; }
    QDoubleSpinBox *bleedField() const { return m_bleed; }
    QPushButton *calibrationButton() const { return m_calibrate; }
    // Offset X, offset Y, scale X, scale Y of the current printer's correction.
    QDoubleSpinBox *correctionField(int k) const { return k >= 0 && k < 4 ? m_correction[size_t(k)] : nullptr; }
    QLabel *queueWarningLabel() const { return m_warning; }
    QLabel *portraitIcon() const { return m_image2; }
    QLabel *landscapeIcon() const { return m_image3; }
    HoverLiftButton *button(int n) const;
    bool portraitShown() const { return m_portrait; }
    bool pdfChosen() const;
    // The paper, orientation and extras the next print uses.
    PageSetup pageSetup() const;
    // Prints the calibration page on the current printer; false when none came out.
    bool printCalibrationPage();
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
    // The paper list, the warning, the correction and the sheet follow the printer.
    void printerChanged();
    void updateSheet();
    void storeCorrection();
    void showCorrection();
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
    QLabel *m_labelPaper = nullptr;
    QComboBox *m_paper = nullptr;
    QLabel *m_warning = nullptr;
    QCheckBox *m_cropMarks = nullptr;
    QLabel *m_labelBleed = nullptr;
    QDoubleSpinBox *m_bleed = nullptr;
    QPushButton *m_calibrate = nullptr;
    QLabel *m_labelOffset = nullptr;
    QLabel *m_labelScale = nullptr;
    std::array<QDoubleSpinBox *, 4> m_correction{};
    QString m_correctionPrinter; // whose correction the fields show
    std::optional<SheetView> m_sheet; // the sheet as it prints now
    std::array<HoverLiftButton *, 2> m_buttons{};
    QSpacerItem *m_buttonSpace = nullptr; // keeps room for the buttons, placed by hand
    bool m_portrait = true;
    bool m_filling = false;
};

} // namespace vt
