#pragma once
// The catalogue of case formats and its file, Files/Covers.ini.
#include <QString>
#include <array>

namespace vt {

struct AppState;

// One kind of paper insert. Lengths are whole millimetres; print positions are kept
// as the text the user typed, so they round-trip unchanged.
struct CoverFormat
{
    QString Reserved1;
    qint32 DimA = 0;
    qint32 DimB = 0;
    QString Orientation; // exactly "Verticale" is portrait; anything else landscape
    qint32 DimC = 0;     // 0: no second picture area
    qint32 DimD = 0;
    QString Shape;       // exactly "Cerchio" marks round disc labels
    QString Reserved2;
    QString OffsetX;
    QString OffsetY;
    QString OffsetX2;
    QString OffsetY2;

    bool operator==(const CoverFormat &) const = default;
};

struct FormatCatalogue
{
    static constexpr int Capacity = 31;
    std::array<CoverFormat, Capacity> entries{};

    // Index checked access: formats are addressed by the format list's position, which
    // may be -1 (nothing selected); such a lookup fails instead of reading elsewhere.
    const CoverFormat *at(int index) const
    {
        return index >= 0 && index < Capacity ? &entries[size_t(index)] : nullptr;
    }
    CoverFormat *at(int index)
    {
        return index >= 0 && index < Capacity ? &entries[size_t(index)] : nullptr;
    }
    bool operator==(const FormatCatalogue &) const = default;
};

inline constexpr int CatalogueLinesPerFormat = 12;
inline constexpr int ThreeLabelFormat = 14; // the only format with a third print position

// Fills entries 0..LastFormatIndex and the two extra print positions of format 14 from
// the file, field by field. Whatever cannot be read keeps its earlier value. Returns
// false when the file could not be opened at all.
bool ReadCatalogue(const QString &path, AppState &state);

// The lines WriteCatalogue stores (266 for 22 formats).
QStringList catalogueLines(const AppState &state);

// Replaces the file atomically; false (and the old file untouched) when that failed.
// The settings file is written first by the caller (the main window's WriteCatalogue).
bool writeCatalogueFile(const QString &path, const AppState &state, QString *error = nullptr);

} // namespace vt
