#pragma once
#include <QString>
#include <array>

namespace vt {

// The numbered user-interface texts, entries 0..150, all empty at start.
struct LanguageTable
{
    static constexpr int Size = 151;
    std::array<QString, Size> entries{};

    QString operator[](int k) const
    {
        return k >= 0 && k < Size ? entries[size_t(k)] : QString();
    }
    QString &at(int k) { return entries[size_t(k)]; }
};

} // namespace vt
