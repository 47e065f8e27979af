#include "ui/dialogs/frmStampa.h"

#include "app/AppState.h"
#include "common/Numbers.h"
#include "common/AccessKeys.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "ui/dialogs/ClickOnRelease.h"
#include "ui/dialogs/HoverLiftButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <stdexcept>

namespace vt {

namespace {

constexpr double DialogOpacity = 245.0 / 255.0;
constexpr int FirstQualityEntry = 95; // high, medium, low, draft: entries 95 to 98

using ClickLabel = ClickOnRelease<QLabel>;

QLabel *makeLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

constexpr PaperKind Papers[] = {PaperKind::A4, PaperKind::Letter, PaperKind::Legal};

QDoubleSpinBox *makeNumberField(QWidget *parent, const char *name, double low, double high, double step,
                                const QString &suffix)
{
    auto *field = new QDoubleSpinBox(parent);
    field->setObjectName(QLatin1String(name));
    field->setRange(low, high);
    field->setDecimals(2);
    field->setSingleStep(step);
    field->setSuffix(suffix);
    field->setKeyboardTracking(false);
    return field;
}

} // namespace

QString proposedPdfPath(const QString &currentProjectPath)
{
    if (currentProjectPath.trimmed().isEmpty())
        return QStringLiteral("Cover.pdf");
    const QFileInfo project(currentProjectPath);
    const QString name = project.completeBaseName() + QStringLiteral(".pdf");
    return project.isAbsolute() ? project.absoluteDir().filePath(name) : name;
}

std::optional<int> copiesFromText(const QString &text)
{
    const double c = leadingNumber(text);
    if (!(c > 0))
        return std::nullopt;
    const auto copies = toInt16(c);
    if (!copies || *copies < 1)
        return std::nullopt;
    return std::min<int>(*copies, frmStampa::MaxCopies);
}

void openPrintDialog(QWidget *owner, const PrintDialogContext &context)
{
    frmStampa dialog(context, owner);
    dialog.exec();
}

frmStampa::frmStampa(PrintDialogContext context, QWidget *parent) : QDialog(parent), m_ctx(std::move(context))
{
    if (!m_ctx.state || !m_ctx.memory)
        throw std::invalid_argument("print dialog without state");
    setObjectName(QStringLiteral("frmStampa"));
    buildControls();
    load();
}

frmStampa::~frmStampa() = default;

QString frmStampa::text(int entry) const
{
    return m_ctx.state->Language.fallbackText(entry);
}

QString frmStampa::pdfEntryText() const
{
    return text(LanguageTable::PdfFileEntry);
}

bool frmStampa::pdfChosen() const
{
    return m_combo1->count() > 0 && m_combo1->currentText() == pdfEntryText();
}

HoverLiftButton *frmStampa::button(int n) const
{
    return n == 0 || n == 1 ? m_buttons[size_t(n)] : nullptr;
}

void frmStampa::play(const QString &relativeWav) const
{
    if (m_ctx.state->SoundsOn && m_ctx.playSound)
        m_ctx.playSound(relativeWav);
}

void frmStampa::buildControls()
{
    m_label3 = makeLabel(this, "Label3");
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMinimumContentsLength(24);
    m_combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_label3->setBuddy(m_combo1);
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            printerSelected();
    });
    // Typing in the field is handled as a selection too.
    connect(m_combo1->lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (!m_filling)
            printerSelected();
    });

    m_labelPaper = makeLabel(this, "LabelPaper");
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("cboPaper"));
    m_labelPaper->setBuddy(m_paper);
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this] { updateSheet(); });

    m_warning = makeLabel(this, "LabelQueue");
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("color: #b01c1c;"));
    m_warning->hide();

    m_label4 = makeLabel(this, "Label4");
    const qreal ratio = devicePixelRatioF();
    auto *portrait = new KeyClickLabel(this);
    portrait->setObjectName(QStringLiteral("Image2"));
    portrait->onClick = [this] { toggleOrientation(); };
    auto *landscape = new KeyClickLabel(this);
    landscape->setObjectName(QStringLiteral("Image3"));
    landscape->onClick = [this] { toggleOrientation(); };
    for (QLabel *icon : {static_cast<QLabel *>(portrait), static_cast<QLabel *>(landscape)})
        icon->setCursor(Qt::PointingHandCursor);
    m_image2 = portrait;
    m_image3 = landscape;

    m_label2 = makeLabel(this, "Label2");
    m_cboQualita = new QComboBox(this);
    m_cboQualita->setObjectName(QStringLiteral("cboQualita"));
    m_label2->setBuddy(m_cboQualita);
    connect(m_cboQualita, &QComboBox::currentIndexChanged, this, &frmStampa::qualityChosen);

    m_label5 = makeLabel(this, "Label5");
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo2->setEditable(true);
    m_combo2->setInsertPolicy(QComboBox::NoInsert);
    m_combo2->setMinimumContentsLength(5);
    m_combo2->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_label5->setBuddy(m_combo2);

    m_cropMarks = new QCheckBox(this);
    m_cropMarks->setObjectName(QStringLiteral("chkCropMarks"));
    m_labelBleed = makeLabel(this, "LabelBleed");
    m_bleed = makeNumberField(this, "txtBleed", 0, 3, 0.5, QString());
    m_labelBleed->setBuddy(m_bleed);

    m_calibrate = new QPushButton(this);
    m_calibrate->setObjectName(QStringLiteral("cmdCalibration"));
    m_calibrate->setAutoDefault(false);
    connect(m_calibrate, &QPushButton::clicked, this, [this] { printCalibrationPage(); });
    m_labelOffset = makeLabel(this, "LabelOffset");
    m_labelScale = makeLabel(this, "LabelScale");
    m_correction[0] = makeNumberField(this, "txtOffsetX", -20, 20, 0.1, QStringLiteral(" mm"));
    m_correction[1] = makeNumberField(this, "txtOffsetY", -20, 20, 0.1, QStringLiteral(" mm"));
    m_correction[2] = makeNumberField(this, "txtScaleX", 95, 105, 0.1, QStringLiteral(" %"));
    m_correction[3] = makeNumberField(this, "txtScaleY", 95, 105, 0.1, QStringLiteral(" %"));
    m_labelOffset->setBuddy(m_correction[0]);
    m_labelScale->setBuddy(m_correction[2]);
    for (QDoubleSpinBox *field : m_correction)
        connect(field, &QDoubleSpinBox::valueChanged, this, [this] { storeCorrection(); });

    m_buttons[0] = new HoverLiftButton(drawDialogPicture(DialogPicture::Print, 24, ratio), QString(), this,
                                       QStringLiteral("Image1_0"), QStringLiteral("Label1_0"));
    m_buttons[1] = new HoverLiftButton(drawDialogPicture(DialogPicture::Cancel, 24, ratio), QString(), this,
                                       QStringLiteral("Image1_1"), QStringLiteral("Label1_1"));
    auto *background = new HoverLiftBackground(this);
    background->watch(this);
    for (int n = 0; n < 2; ++n) {
        m_buttons[size_t(n)]->setHoverSound([this] { play(QStringLiteral("Files/Click1.wav")); });
        connect(m_buttons[size_t(n)], &HoverLiftButton::clicked, this, [this, n] { pressButton(n); });
        background->addButton(m_buttons[size_t(n)]);
    }

    // Enter prints from anywhere in the dialog; Tab goes through it as it reads.
    m_buttons[0]->setDefault(true);
    setTabChain({m_combo1, m_paper, m_image2, m_image3, m_cboQualita, m_combo2, m_cropMarks, m_bleed,
                 m_correction[0], m_correction[1], m_correction[2], m_correction[3], m_calibrate,
                 m_buttons[0]->caption(), m_buttons[1]->caption()});

    auto *icons = new QHBoxLayout;
    icons->setContentsMargins(0, 0, 0, 0);
    icons->addWidget(m_image2);
    icons->addWidget(m_image3);
    icons->addStretch(1);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    auto rowOf = [](QWidget *a, QWidget *b) {
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(a);
        row->addWidget(b);
        row->addStretch(1);
        return row;
    };

    grid->addWidget(m_label3, 0, 0);
    grid->addWidget(m_combo1, 0, 1);
    grid->addWidget(m_warning, 1, 1);
    grid->addWidget(m_labelPaper, 2, 0);
    grid->addWidget(m_paper, 2, 1, Qt::AlignLeft);
    grid->addWidget(m_label4, 3, 0, Qt::AlignTop);
    grid->addLayout(icons, 3, 1);
    grid->addWidget(m_label2, 4, 0);
    grid->addWidget(m_cboQualita, 4, 1);
    grid->addWidget(m_label5, 5, 0);
    grid->addWidget(m_combo2, 5, 1, Qt::AlignLeft);
    grid->addWidget(m_cropMarks, 6, 1);
    grid->addWidget(m_labelBleed, 7, 0);
    grid->addWidget(m_bleed, 7, 1, Qt::AlignLeft);
    grid->addWidget(m_labelOffset, 8, 0);
    grid->addLayout(rowOf(m_correction[0], m_correction[1]), 8, 1);
    grid->addWidget(m_labelScale, 9, 0);
    grid->addLayout(rowOf(m_correction[2], m_correction[3]), 9, 1);
    grid->addWidget(m_calibrate, 10, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->setContentsMargins(18, 16, 18, 14);
    outer->setSpacing(0);
    outer->addLayout(grid);
    outer->addSpacing(18);
    m_buttonSpace = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
    outer->addItem(m_buttonSpace);
}

void frmStampa::load()
{
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    steps.run(QStringLiteral("orientation"), [&] {
        m_portrait = m_ctx.state->CurrentOrientation == u"Verticale";
        m_image2->setVisible(m_portrait);
        m_image3->setVisible(!m_portrait);
        m_label4->setBuddy(m_portrait ? m_image2 : m_image3);
    });
    steps.run(QStringLiteral("captions"), [&] {
        if (QWidget *owner = parentWidget())
            setWindowIcon(owner->windowIcon());
        setWindowTitle(StripAmpersands(text(38)));
        // Every control gets an access key; Print and Cancel keep theirs first.
        const QStringList captions =
            withAccessKeys({text(38), text(37), text(33), text(LanguageTable::PaperEntry), text(34), text(35),
                            text(36), text(LanguageTable::CropMarksEntry), text(LanguageTable::BleedEntry),
                            text(LanguageTable::CorrectionOffsetEntry), text(LanguageTable::CorrectionScaleEntry),
                            text(LanguageTable::CalibrationPageEntry)});
        m_label3->setText(captions[2]);
        m_labelPaper->setText(captions[3]);
        m_label4->setText(captions[4]);
        m_label2->setText(captions[5]);
        m_label5->setText(captions[6]);
        m_cropMarks->setText(captions[7]);
        m_labelBleed->setText(captions[8]);
        m_labelOffset->setText(captions[9]);
        m_labelScale->setText(captions[10]);
        m_calibrate->setText(captions[11]);
        for (int k = 0; k < 3; ++k)
            m_paper->addItem(text(LanguageTable::PaperA4Entry + k), int(Papers[k]));
        m_buttons[0]->setCaption(captions[0]);
        m_buttons[1]->setCaption(captions[1]);
    });
    steps.run(QStringLiteral("lists"), [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        FillPrinterList();
        FillQualityList();
        printerChanged();
        QApplication::restoreOverrideCursor();
    });
    steps.run(QStringLiteral("button homes"), [&] {
        const QSize row = dialogButtonRowSize(*m_buttons[0], *m_buttons[1]);
        m_buttonSpace->changeSize(row.width(), row.height(), QSizePolicy::Fixed, QSizePolicy::Fixed);
        layout()->invalidate();
        layout()->activate();
        layoutButtons();
    });
    steps.run(QStringLiteral("copies"), [&] {
        m_combo2->clear();
        for (int k = 1; k <= 10; ++k)
            m_combo2->addItem(QString::number(k));
        m_combo2->setEditText(QStringLiteral("1"));
        if (pdfChosen())
            m_combo2->setEnabled(false);
    });
    steps.run(QStringLiteral("opacity"), [&] { setWindowOpacity(DialogOpacity); });
}

void frmStampa::layoutButtons()
{
    placeDialogButtons(*this, *m_buttons[0], *m_buttons[1]);
}

void frmStampa::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutButtons();
}

void frmStampa::FillPrinterList()
{
    const QString entry = m_ctx.defaultPrinterEntry ? m_ctx.defaultPrinterEntry() : QString();
    const QString n = entry.section(u',', 0, 0);
    const QStringList printers = m_ctx.installedPrinters ? m_ctx.installedPrinters() : QStringList();
    int selected = -1;
    m_filling = true;
    m_combo1->clear();
    for (int k = 0; k < printers.size(); ++k) {
        m_combo1->addItem(printers[k]);
        if (selected < 0 && printers[k] == n)
            selected = k;
    }
    // The PDF file is always the last entry.
    m_combo1->addItem(pdfEntryText());
    // Without any printer the PDF file is the only way out: it starts chosen.
    if (printers.isEmpty())
        selected = 0;
    m_combo1->setCurrentIndex(-1);
    m_filling = false;
    if (selected >= 0)
        m_combo1->setCurrentIndex(selected); // the selection event, which the guard may swallow
    else
        // No default printer was selected, so there was no event for the guard to take:
        // the user's own first pick must count.
        m_ctx.memory->selectionGuard = true;
    if (!printers.isEmpty()) {
        m_filling = true;
        m_combo1->setEditText(n);
        m_filling = false;
        ImpostaStampante(n);
    }
}

void frmStampa::printerSelected()
{
    PrintDialogMemory &memory = *m_ctx.memory;
    if (!memory.selectionGuard) {
        memory.selectionGuard = true;
        return;
    }
    if (pdfChosen()) {
        // The PDF file never becomes the system's printer; one copy, the best quality.
        FillQualityList();
        m_combo2->setEditText(QStringLiteral("1"));
        m_combo2->setEnabled(false);
        printerChanged();
        return;
    }
    m_combo2->setEnabled(true);
    const QString typed = m_combo1->currentText();
    const QStringList printers = m_ctx.installedPrinters ? m_ctx.installedPrinters() : QStringList();
    for (const QString &name : printers) {
        if (name == typed || typed.trimmed().isEmpty()) {
            if (m_ctx.makeCurrentPrinter)
                m_ctx.makeCurrentPrinter(name);
            if (m_combo1->currentText() != name) {
                m_filling = true;
                m_combo1->setEditText(name);
                m_filling = false;
            }
            break;
        }
    }
    FillQualityList();
    const QString current = currentName();
    if (!current.isEmpty())
        ImpostaStampante(current);
    printerChanged();
}

void frmStampa::printerChanged()
{
    const bool pdf = pdfChosen();
    const QString name = pdf ? QString() : currentName();
    // The paper the printer takes by default; the PDF file keeps what was chosen.
    if (!pdf && m_ctx.defaultPaper)
        if (const auto paper = m_ctx.defaultPaper(name)) {
            const QSignalBlocker block(m_paper);
            m_paper->setCurrentIndex(m_paper->findData(int(*paper)));
        }
    const QueueWarning warning = pdf || !m_ctx.queueWarning ? QueueWarning::None : m_ctx.queueWarning(name);
    m_warning->setText(warning == QueueWarning::Stopped        ? text(LanguageTable::QueueStoppedEntry)
                       : warning == QueueWarning::NotAccepting ? text(LanguageTable::QueueRejectingEntry)
                                                               : QString());
    m_warning->setVisible(warning != QueueWarning::None);
    // A correction belongs to one printer and never to the PDF file.
    for (QWidget *w : std::initializer_list<QWidget *>{m_labelOffset, m_labelScale, m_calibrate, m_correction[0],
                                                       m_correction[1], m_correction[2], m_correction[3]})
        w->setEnabled(!pdf && !name.isEmpty());
    m_correctionPrinter = pdf ? QString() : name;
    showCorrection();
    updateSheet();
}

void frmStampa::showCorrection()
{
    const PrintCorrection c = !m_correctionPrinter.isEmpty() && m_ctx.readCorrection
                                  ? m_ctx.readCorrection(m_correctionPrinter)
                                  : PrintCorrection{};
    const double values[] = {c.offsetXMm, c.offsetYMm, c.scaleXPercent, c.scaleYPercent};
    for (size_t k = 0; k < 4; ++k) {
        const QSignalBlocker block(m_correction[k]);
        m_correction[k]->setValue(values[k]);
    }
}

void frmStampa::storeCorrection()
{
    if (m_correctionPrinter.isEmpty() || !m_ctx.writeCorrection)
        return;
    QString error;
    if (!m_ctx.writeCorrection(m_correctionPrinter, pageSetup().correction, &error) && m_ctx.message)
        m_ctx.message(this, error, text(LanguageTable::PrintErrorTitleEntry));
}

PageSetup frmStampa::pageSetup() const
{
    PageSetup setup;
    setup.portrait = m_portrait;
    if (m_paper->currentIndex() >= 0)
        setup.paper = PaperKind(m_paper->currentData().toInt());
    setup.cropMarks = m_cropMarks->isChecked();
    setup.bleedMm = m_bleed->value();
    if (!m_correctionPrinter.isEmpty()) // empty for the PDF file, which is never corrected
        setup.correction = {m_correction[0]->value(), m_correction[1]->value(), m_correction[2]->value(),
                            m_correction[3]->value()};
    return setup;
}

void frmStampa::updateSheet()
{
    const QString name = pdfChosen() ? QString() : currentName();
    PageSetup setup = pageSetup();
    const qreal ratio = devicePixelRatioF();
    std::optional<SheetView> views[2];
    for (int k = 0; k < 2; ++k) {
        setup.portrait = k == 0;
        if (m_ctx.sheetView)
            views[k] = m_ctx.sheetView(name, setup);
    }
    m_image2->setPixmap(drawSheetPicture(views[0], true, ratio));
    m_image3->setPixmap(drawSheetPicture(views[1], false, ratio));
    m_sheet = views[m_portrait ? 0 : 1];
}

bool frmStampa::printCalibrationPage()
{
    QPrinter *printer = m_ctx.currentPrinter ? m_ctx.currentPrinter() : nullptr;
    if (pdfChosen() || !printer || !m_ctx.printCalibration)
        return false;
    // Measured upright: the correction is the printer's, whichever way a cover turns.
    PageSetup setup = pageSetup();
    setup.portrait = true;
    setup.cropMarks = false;
    setup.bleedMm = 0;
    setup.correction = {};
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setCopyCount(1);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const OutputResult result = m_ctx.printCalibration(*printer, setup);
    QApplication::restoreOverrideCursor();
    const QString error = outputErrorText(m_ctx.state->Language, result);
    if (!error.isEmpty() && m_ctx.message)
        m_ctx.message(this, error, text(LanguageTable::PrintErrorTitleEntry));
    return result.produced;
}

QString frmStampa::currentName() const
{
    return m_ctx.currentPrinterName ? m_ctx.currentPrinterName() : QString();
}

bool frmStampa::ImpostaStampante(const QString &name)
{
    const QStringList printers = m_ctx.installedPrinters ? m_ctx.installedPrinters() : QStringList();
    for (const QString &installed : printers) {
        if (installed.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (m_ctx.makeCurrentPrinter)
            m_ctx.makeCurrentPrinter(installed);
        int code = 0;
        QString error;
        if (m_ctx.setSystemDefault && !m_ctx.setSystemDefault(installed, &code, &error)) {
            if (m_ctx.message)
                m_ctx.message(this,
                              QStringLiteral("Error %1 (%2) in procedura ImpostaStampante di Modulo Stampanti")
                                  .arg(code)
                                  .arg(error),
                              QApplication::applicationName());
            return false;
        }
        return true;
    }
    return false;
}

void frmStampa::FillQualityList()
{
    const bool pdf = pdfChosen();
    const QString name = currentName();
    {
        const QSignalBlocker block(m_cboQualita);
        m_cboQualita->clear();
        for (int quality = -4; quality <= -1; ++quality) {
            const bool supported = pdf ? quality == -4
                                       : (!name.isEmpty() && m_ctx.qualitySupported && m_ctx.qualitySupported(name, quality));
            if (supported)
                m_cboQualita->addItem(text(FirstQualityEntry + quality + 4), quality);
        }
        m_cboQualita->setCurrentIndex(-1);
    }
    if (m_cboQualita->count() == 0)
        return;
    // The position last chosen, whatever printer the list now belongs to; a position the
    // list does not have selects nothing.
    const int position = m_ctx.state->PrintQualityIndex;
    if (position >= 0 && position < m_cboQualita->count())
        m_cboQualita->setCurrentIndex(position);
}

void frmStampa::qualityChosen(int index)
{
    if (index < 0)
        return;
    const int quality = m_cboQualita->itemData(index).toInt();
    m_ctx.state->PrintQualityIndex = qint16(index);
    if (pdfChosen())
        return;
    if (QPrinter *printer = m_ctx.currentPrinter ? m_ctx.currentPrinter() : nullptr) {
        if (m_ctx.applyQuality)
            m_ctx.applyQuality(*printer, quality);
        m_ctx.memory->quality = quality;
        m_ctx.memory->qualityPrinter = currentName();
    }
}

void frmStampa::toggleOrientation()
{
    // The icon that is shown takes over the focus, so Space switches back and forth.
    const bool hadFocus = m_image2->hasFocus() || m_image3->hasFocus();
    m_portrait = !m_portrait;
    QLabel *shown = m_portrait ? m_image2 : m_image3;
    shown->setVisible(true);
    m_label4->setBuddy(shown);
    if (hadFocus)
        shown->setFocus(Qt::OtherFocusReason);
    (m_portrait ? m_image3 : m_image2)->setVisible(false);
    updateSheet();
}

bool frmStampa::print()
{
    OutputResult result;
    // A cover that runs off the printable area or the paper loses that part: asked first.
    if (m_sheet && m_sheet->crosses() && m_ctx.askYesNo
        && !m_ctx.askYesNo(this, text(LanguageTable::OffSheetQuestionEntry), StripAmpersands(text(38))))
        return false;
    const PageSetup setup = pageSetup();
    if (pdfChosen()) {
        const QString path = m_ctx.choosePdfPath
                                 ? m_ctx.choosePdfPath(this, proposedPdfPath(m_ctx.state->CurrentProjectPath))
                                 : QString();
        if (path.isEmpty())
            return false;
        if (QFileInfo::exists(path) && m_ctx.askYesNo
            && !m_ctx.askYesNo(this, text(103) + QStringLiteral("\n\n") + text(104), text(18)))
            return false;
        if (m_ctx.writePdf)
            result = m_ctx.writePdf(path, setup);
    } else {
        QPrinter *printer = m_ctx.currentPrinter ? m_ctx.currentPrinter() : nullptr;
        if (!printer) {
            result.error = QStringLiteral("no printer");
            result.cause = OutputFailure::NoPrinter;
        } else {
            printer->setPageOrientation(m_portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
            if (const auto copies = copiesFromText(m_combo2->currentText()))
                printer->setCopyCount(*copies);
            // The chosen quality goes with the job even if the printer was set up anew.
            const PrintDialogMemory &memory = *m_ctx.memory;
            if (memory.quality && memory.qualityPrinter == currentName() && m_ctx.applyQuality)
                m_ctx.applyQuality(*printer, *memory.quality);
            if (m_ctx.printCover)
                result = m_ctx.printCover(*printer, setup);
        }
    }
    // One box for the whole print, in the user's language and naming the cause, and
    // never a silent page that did not come out. A cover that did not come out keeps the
    // dialog open, so another file or printer can be chosen at once.
    const QString error = outputErrorText(m_ctx.state->Language, result);
    if (!error.isEmpty() && m_ctx.message)
        m_ctx.message(this, error, text(LanguageTable::PrintErrorTitleEntry));
    return result.produced;
}

void frmStampa::pressButton(int n)
{
    play(QStringLiteral("Files/Click2.wav"));
    if (n == 0) {
        const QString caption = windowTitle();
        setWindowTitle(QStringLiteral("Stampa in corso..."));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool done = print();
        QApplication::restoreOverrideCursor();
        setWindowTitle(caption);
        if (!done)
            return; // nothing came out (or the PDF's file dialog was cancelled): stay open
        accept();
        return;
    }
    QDialog::reject();
}

} // namespace vt
