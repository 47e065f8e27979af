#pragma once
// The picture-processing surface: it takes a picture in, measures it, cuts a
// rectangle out of it, draws text on it and gives the picture out. The main window
// owns two: one for the titles, one for the preview's slim-case pieces.
//
// Copies are made only where needed. Taking a picture in shares its pixels (Qt's
// implicit sharing) unless the surface still owns, alone, a bitmap of the same size:
// then the pixels are copied (and converted, if need be) into that buffer, so a surface
// used once per format selection reuses its memory instead of allocating a new picture
// each time. Cutting copies only the rectangle; drawing on a shared bitmap makes it the
// surface's own first, so a picture given out earlier never changes afterwards.
//
// Text. A text line has a box: its advance width TW along the baseline and its line
// height TH (ascent plus descent), both independent of the angle. At angle 0 the box
// drawn at (x, y) covers x … x+TW across and y … y+TH down. At angle 270 the text is
// turned a quarter turn clockwise and reads from top to bottom with the tops of the
// letters facing the right-hand edge; its box covers x−TH … x across and y … y+TW down.
//
// Font size unit: pixels of the bitmap (the font's pixel size, not points). The titles
// scale their size with each picture's height in pixels, so the unit must not depend on
// the resolution a picture happens to record: a 300-dpi scan and a 72-dpi screenshot of
// the same pixel height must get the same title. Points would be converted through that
// resolution and make the same size draw differently on each picture.
//
// A font size of 0 or less draws nothing and measures 0: the titles compute sizes that
// round down to 0 on very small pictures, and those simply get no text.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

namespace vt {

class PictureSurface
{
public:
    // The surface now holds the picture. False for a null picture.
    bool takeIn(const QImage &picture);
    bool isNull() const { return m_bitmap.isNull(); }
    int width() const { return m_bitmap.width(); }
    int height() const { return m_bitmap.height(); }

    // Reduces the bitmap to the rectangle (clipped to the bitmap). False when
    // nothing is left or there is no bitmap.
    bool cut(int x, int y, int w, int h);

    // The current bitmap, titles included (shares the buffer until either side writes).
    QImage giveOut() const { return m_bitmap; }

    // Lets go of the bitmap, so a later takeIn of another size does not keep two.
    void clear() { m_bitmap = QImage(); }

    // Font of later text operations. A family that is not installed falls back to the
    // system's sans-serif; it never lands on a symbol font, which would turn a title
    // into pictograms. A symbol font chosen by its own name is kept.
    void setFontName(const QString &family);
    void setFontSize(int pixels); // see "Font size unit" above
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    // 0 or 270; any other angle is refused (false) and the angle stays as it was.
    bool setTextAngle(int degrees);
    int textAngle() const { return m_angle; }

    // The font text is drawn in, after the fallback (at most kLargestRasterFont pixels;
    // larger sizes are drawn from it scaled up).
    QFont font() const;

    int textWidth(const QString &text) const;  // TW: advance along the baseline
    int textHeight(const QString &text) const; // TH: height of the line, whatever its letters

    // Draws one line of anti-aliased text with its box placed as described above; what
    // falls outside the bitmap is cut off. False when there is no bitmap; true (and
    // nothing drawn) for an empty text or a font size of 0 or less.
    bool drawText(const QString &text, int x, int y, const QColor &colour);

    // Glyph metrics above this pixel size overflow in the font rasteriser (ascents turn
    // negative near 18000 px), so larger text is drawn at this size and scaled.
    static constexpr int kLargestRasterFont = 2048;

private:
    struct Metrics
    {
        double advance = 0; // of the text, in bitmap pixels
        double ascent = 0;
        double lineHeight = 0;
    };
    Metrics measure(const QString &text) const;
    double rasterScale() const;
    void fontChanged() { m_fontResolved = false; }

    QImage m_bitmap;

    QString m_family;
    int m_fontSize = 0;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    int m_angle = 0;

    mutable QFont m_font;
    mutable bool m_fontResolved = false;
};

} // namespace vt
