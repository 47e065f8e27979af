#include "common/Numbers.h"

#include <cmath>
#include <limits>

namespace vt {

double roundHalfEven(double v)
{
    if (!std::isfinite(v))
        return v;
    return std::nearbyint(v); // default FP environment rounds to nearest, ties to even
}

template <typename Int>
static std::optional<Int> toInt(double v)
{
    const double r = roundHalfEven(v);
    if (!std::isfinite(r) || r < double(std::numeric_limits<Int>::min())
        || r > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return Int(r);
}

std::optional<qint16> toInt16(double v) { return toInt<qint16>(v); }
std::optional<qint32> toInt32(double v) { return toInt<qint32>(v); }

std::optional<qint16> add16(qint16 a, qint16 b)
{
    const int r = int(a) + int(b);
    if (r < std::numeric_limits<qint16>::min() || r > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(r);
}

std::optional<qint16> mul16(qint16 a, qint16 b)
{
    const int r = int(a) * int(b);
    if (r < std::numeric_limits<qint16>::min() || r > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(r);
}

std::optional<qint32> mul32(qint32 a, qint32 b)
{
    const qint64 r = qint64(a) * qint64(b);
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(r);
}

std::optional<double> parseLeadingNumber(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const int start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const int digitsStart = i;
    while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9')
        ++i;
    int mantissaDigits = i - digitsStart;
    if (i < n && text[i] == u'.') {
        ++i;
        const int fracStart = i;
        while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9')
            ++i;
        mantissaDigits += i - fracStart;
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    int end = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        int j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const int expStart = j;
        while (j < n && text[j].unicode() >= u'0' && text[j].unicode() <= u'9')
            ++j;
        if (j > expStart)
            end = j;
    }
    bool ok = false;
    // A mantissa of only "." plus digits ("-.5") is fine for toDouble; overly long
    // exponents give inf, which the callers' range checks then refuse.
    const double v = text.mid(start, end - start).toDouble(&ok);
    if (!ok) {
        // toDouble refuses out-of-range values; keep their sign as infinity.
        return text[start] == u'-' ? -std::numeric_limits<double>::infinity()
                                   : std::numeric_limits<double>::infinity();
    }
    return v;
}

double leadingNumber(const QString &text)
{
    return parseLeadingNumber(text).value_or(0.0);
}

} // namespace vt
