#pragma once
#include <QString>
#include <array>

namespace vt {

// The numbered user-interface texts, entries 0..195, all empty at start. Entries from 151
// on came later than the rest: language files that end before them still load, and the
// program then shows those entries' English texts (fallbackText).
struct LanguageTable
{
    static constexpr int PdfFileEntry = 151;
    // The language's locale name ("fr", "pt_PT"), for Qt's own translations.
    static constexpr int LocaleEntry = 152;
    // The print error: its title, then one text per cause.
    static constexpr int PrintErrorTitleEntry = 153;
    static constexpr int PrintErrorFileEntry = 154;      // %1 the file, %2 the system's reason
    static constexpr int PrintErrorNoPrinterEntry = 155;
    static constexpr int PrintErrorRefusedEntry = 156;   // %1 the printer
    static constexpr int PrintErrorStoppedEntry = 157;   // %1 the printer
    static constexpr int PrintErrorPartsEntry = 158;
    // The words drawn over the placeholder pictures.
    static constexpr int TemplateBackEntry = 159;
    static constexpr int TemplateFrontEntry = 160;
    static constexpr int TemplateSpineEntry = 161;
    static constexpr int TemplateDropEntry = 162;
    static constexpr int TemplateInsideEntry = 163;
    static constexpr int TemplateDiscEntry = 164;
    // The low-resolution mark's tip; %1 the pixels per inch.
    static constexpr int LowResolutionEntry = 165;
    // The Edit menu, New, the recent projects, the unsaved-changes question and the
    // recovery offer.
    static constexpr int EditMenuEntry = 166;
    static constexpr int UndoEntry = 167;
    static constexpr int RedoEntry = 168;
    static constexpr int NewProjectEntry = 169;
    static constexpr int RecentProjectsEntry = 170;
    static constexpr int ClearRecentEntry = 171;
    static constexpr int UntitledEntry = 172;
    static constexpr int UnsavedQuestionEntry = 173;
    static constexpr int DiscardEntry = 174;
    static constexpr int RecoveryQuestionEntry = 175;
    static constexpr int RestoreEntry = 176;
    // The picture area's context menu: how the picture sits, a quarter turn, back to the
    // start, and removing it.
    static constexpr int PlacementFillEntry = 177;
    static constexpr int PlacementFitEntry = 178;
    static constexpr int PlacementStretchEntry = 179;
    static constexpr int PlacementTurnEntry = 180;
    static constexpr int PlacementResetEntry = 181;
    static constexpr int PlacementRemoveEntry = 182;
    // The print dialog's paper, cut extras, calibration and warnings.
    static constexpr int PaperEntry = 183;
    static constexpr int PaperA4Entry = 184;
    static constexpr int PaperLetterEntry = 185;
    static constexpr int PaperLegalEntry = 186;
    static constexpr int CropMarksEntry = 187;
    static constexpr int BleedEntry = 188;
    static constexpr int CalibrationPageEntry = 189;
    static constexpr int CorrectionOffsetEntry = 190;
    static constexpr int CorrectionScaleEntry = 191;
    static constexpr int OffSheetQuestionEntry = 192;
    static constexpr int QueueStoppedEntry = 193;
    static constexpr int QueueRejectingEntry = 194;
    static constexpr int PaperNotTakenEntry = 195; // %1 the printer, %2 the paper
    static constexpr int Size = 196;
    std::array<QString, Size> entries{};

    QString operator[](int k) const
    {
        return k >= 0 && k < Size ? entries[size_t(k)] : QString();
    }
    QString &at(int k) { return entries[size_t(k)]; }

    // The entry, or its English text when the language file did not have it.
    QString fallbackText(int k) const
    {
        const QString t = (*this)[k];
        if (!t.isEmpty() || k < PdfFileEntry)
            return t;
        return englishText(k);
    }

    static QString englishText(int k)
    {
        switch (k) {
        case PdfFileEntry: return QStringLiteral("PDF file");
        case PrintErrorTitleEntry: return QStringLiteral("Printing failed");
        case PrintErrorFileEntry:
            return QStringLiteral("The cover was not printed: the file %1 cannot be written (%2). "
                                  "Choose another folder or file name.");
        case PrintErrorNoPrinterEntry: return QStringLiteral("The cover was not printed: no printer is chosen.");
        case PrintErrorRefusedEntry:
            return QStringLiteral("The cover was not printed: the printer %1 does not accept jobs. "
                                  "Choose another printer.");
        case PrintErrorStoppedEntry: return QStringLiteral("The cover was not printed: the printer %1 stopped the job.");
        case PrintErrorPartsEntry:
            return QStringLiteral("The cover was not printed: some of its pictures or texts could not be drawn.");
        case TemplateBackEntry: return QStringLiteral("BACK");
        case TemplateFrontEntry: return QStringLiteral("FRONT");
        case TemplateSpineEntry: return QStringLiteral("SPINE");
        case TemplateDropEntry: return QStringLiteral("drop a picture here");
        case TemplateInsideEntry: return QStringLiteral("INSIDE");
        case TemplateDiscEntry: return QStringLiteral("DISC LABEL");
        case LowResolutionEntry:
            return QStringLiteral("Low resolution: %1 pixels per inch at the printed size; 200 or more print sharply.");
        case EditMenuEntry: return QStringLiteral("&Edit");
        case UndoEntry: return QStringLiteral("&Undo");
        case RedoEntry: return QStringLiteral("&Redo");
        case NewProjectEntry: return QStringLiteral("&New project");
        case RecentProjectsEntry: return QStringLiteral("&Recent projects");
        case ClearRecentEntry: return QStringLiteral("&Clear the list");
        case UntitledEntry: return QStringLiteral("Untitled");
        case UnsavedQuestionEntry:
            return QStringLiteral("The cover has changes that have not been saved. Do you want to save them?");
        case DiscardEntry: return QStringLiteral("&Discard");
        case RecoveryQuestionEntry:
            return QStringLiteral("The cover you were working on was not saved when the program ended. "
                                  "Do you want to restore it?");
        case RestoreEntry: return QStringLiteral("&Restore");
        case PlacementFillEntry: return QStringLiteral("&Fill the area");
        case PlacementFitEntry: return QStringLiteral("Fi&t the whole picture");
        case PlacementStretchEntry: return QStringLiteral("&Stretch to the area");
        case PlacementTurnEntry: return QStringLiteral("T&urn right");
        case PlacementResetEntry: return QStringLiteral("&Reset");
        case PlacementRemoveEntry: return QStringLiteral("Re&move picture");
        case PaperEntry:
            return QStringLiteral("Paper:");
        case PaperA4Entry:
            return QStringLiteral("A4");
        case PaperLetterEntry:
            return QStringLiteral("US Letter");
        case PaperLegalEntry:
            return QStringLiteral("US Legal");
        case CropMarksEntry:
            return QStringLiteral("Crop marks");
        case BleedEntry:
            return QStringLiteral("Bleed (mm):");
        case CalibrationPageEntry:
            return QStringLiteral("Print a calibration page");
        case CorrectionOffsetEntry:
            return QStringLiteral("Correction, shift X, Y (mm):");
        case CorrectionScaleEntry:
            return QStringLiteral("Correction, scale X, Y (%):");
        case OffSheetQuestionEntry:
            return QStringLiteral("The cover runs past the printable area of this printer or past the paper, so part of it will not be printed. Print anyway?");
        case QueueStoppedEntry:
            return QStringLiteral("This printer is stopped: jobs wait in its queue until it is resumed.");
        case QueueRejectingEntry:
            return QStringLiteral("This printer is not accepting jobs.");
        case PaperNotTakenEntry:
            return QStringLiteral("The cover was not printed: the printer %1 does not take %2 paper. "
                                  "Choose another paper or printer.");
        default: return QString();
        }
    }
};

} // namespace vt
