#pragma once
#include <QString>
#include <array>

namespace vt {

// The numbered user-interface texts, entries 0..162, all empty at start. Entries from 151
// on came later than the rest: language files that end before them still load, and the
// program then shows those entries' English texts (fallbackText).
struct LanguageTable
{
    static constexpr int Size = 163;
    static constexpr int PdfFileEntry = 151;
    // The Edit menu, New, the recent projects, the unsaved-changes question and the
    // recovery offer.
    static constexpr int EditMenuEntry = 152;
    static constexpr int UndoEntry = 153;
    static constexpr int RedoEntry = 154;
    static constexpr int NewProjectEntry = 155;
    static constexpr int RecentProjectsEntry = 156;
    static constexpr int ClearRecentEntry = 157;
    static constexpr int UntitledEntry = 158;
    static constexpr int UnsavedQuestionEntry = 159;
    static constexpr int DiscardEntry = 160;
    static constexpr int RecoveryQuestionEntry = 161;
    static constexpr int RestoreEntry = 162;
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
        if (!t.isEmpty() || k < PdfFileEntry || k >= Size)
            return t;
        static const char *const english[Size - PdfFileEntry] = {
            "PDF file",
            "&Edit",
            "&Undo",
            "&Redo",
            "&New project",
            "&Recent projects",
            "&Clear the list",
            "Untitled",
            "The cover has changes that have not been saved. Do you want to save them?",
            "&Discard",
            "The cover you were working on was not saved when the program ended. Do you want to restore it?",
            "&Restore",
        };
        return QString::fromLatin1(english[k - PdfFileEntry]);
    }
};

} // namespace vt
