#pragma once
// What the options dialog shows and stores for one format, without widgets: the ten
// fields (offsets of up to three print positions and up to four sizes), which of them
// a format uses, and how the typed texts go back into the catalogue.
#include "app/AppState.h"

#include <QString>
#include <array>
#include <optional>

namespace vt {

inline constexpr int OptionsFieldCount = 10;
using OptionsFieldTexts = std::array<QString, OptionsFieldCount>;

// Field numbers: 0..5 the offsets X/Y of print positions 1, 2 and 3 (3: format 14
// only), 6..9 the sizes DimA, DimB, DimC, DimD.
enum OptionsField { FieldX1 = 0, FieldY1, FieldX2, FieldY2, FieldX3, FieldY3, FieldDimA, FieldDimB, FieldDimC, FieldDimD };

struct OptionsView
{
    OptionsFieldTexts text;
    std::array<bool, OptionsFieldCount> shown{};
    bool row2Shown = false;
    bool row3Shown = false;
    int dimension1HeaderEntry = 86; // 88 (diameter) for round formats
    bool dimension2HeaderShown = true;
};

bool isRoundFormat(const CoverFormat &format);

// The fields of format k. Texts of fields a format does not use are left as they were
// in previous (the dialog keeps its boxes; only their visibility changes).
OptionsView showOptionsFormat(const AppState &state, int k, const OptionsFieldTexts &previous = {});

// A size typed by the user as a whole number of millimetres (halves to the even
// neighbour); nothing when the text is not a number or does not fit.
std::optional<qint32> wholeMillimetres(const QString &text);

struct StoreOutcome
{
    // The size field whose text was no number: it and everything after it were not stored.
    std::optional<int> stoppedAt;
    // Field 3 was corrected by the rule that it may not be above field 1's position.
    bool field3Corrected = false;
};

// Stores the texts into format k (leftField: the field that lost the focus last).
// fields may change: the field-3 rule rewrites field 3.
StoreOutcome storeOptionsFields(AppState &state, int k, int leftField, OptionsFieldTexts &fields);

} // namespace vt
