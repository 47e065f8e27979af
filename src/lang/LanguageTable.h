#pragma once
#include <QString>
#include <array>

namespace vt {

// The numbered user-interface texts, entries 0..151, all empty at start. Entry 151 came
// later than the rest: language files that end at 150 still load, and the program then
// shows that entry's English text (fallbackText).
struct LanguageTable
{
    static constexpr int Size = 152;
    static constexpr int PdfFileEntry = 151;
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
        if (!t.isEmpty() || k != PdfFileEntry)
            return t;
        return QStringLiteral("PDF file");
    }
};

} // namespace vt
