#pragma once
// The program's number conventions: conversions to whole numbers round half to
// even, 16- and 32-bit results that do not fit are failures (std::nullopt) rather
// than silently wrapped values, and "the numeric value of a text" is its leading
// number with a point as decimal separator.
#include <QString>
#include <optional>
#include <cstdint>

namespace vt {

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double v);

// round-half-even then range check; NaN and infinities fail too.
std::optional<qint16> toInt16(double v);
std::optional<qint32> toInt32(double v);

std::optional<qint16> add16(qint16 a, qint16 b);
std::optional<qint16> mul16(qint16 a, qint16 b);
std::optional<qint32> mul32(qint32 a, qint32 b);

// The number at the start of the text (leading blanks skipped, optional sign,
// digits, optional point and digits, optional exponent). 0 when there is none.
double leadingNumber(const QString &text);

// Like leadingNumber, but tells whether the text began with a number at all.
std::optional<double> parseLeadingNumber(const QString &text);

} // namespace vt
