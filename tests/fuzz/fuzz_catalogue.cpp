// The format catalogue (Files/Covers.ini): any bytes read without harm, and a catalogue
// written back and read again is the one that was read.
#include "FuzzSupport.h"

#include "app/AppState.h"
#include "formats/Catalogue.h"

namespace {

// What writing keeps of a text field: one line. Print positions are also stored without
// surrounding blanks, which a position's number never needed.
QString stored(const QString &text, bool position)
{
    QString out = position ? text.trimmed() : text;
    for (QChar &c : out)
        if (c == u'\r' || c == u'\n')
            c = u' ';
    return out;
}

void checkSame(const vt::AppState &read, const vt::AppState &reread)
{
    for (int i = 0; i <= read.LastFormatIndex; ++i) {
        const vt::CoverFormat &a = read.Catalogue.entries[size_t(i)];
        const vt::CoverFormat &b = reread.Catalogue.entries[size_t(i)];
        VT_FUZZ_CHECK(b.DimA == a.DimA && b.DimB == a.DimB && b.DimC == a.DimC && b.DimD == a.DimD);
        VT_FUZZ_CHECK(b.Reserved1 == stored(a.Reserved1, false));
        VT_FUZZ_CHECK(b.Orientation == stored(a.Orientation, false));
        VT_FUZZ_CHECK(b.Shape == stored(a.Shape, false));
        VT_FUZZ_CHECK(b.Reserved2 == stored(a.Reserved2, false));
        VT_FUZZ_CHECK(b.OffsetX == stored(a.OffsetX, true));
        VT_FUZZ_CHECK(b.OffsetY == stored(a.OffsetY, true));
        VT_FUZZ_CHECK(b.OffsetX2 == stored(a.OffsetX2, true));
        VT_FUZZ_CHECK(b.OffsetY2 == stored(a.OffsetY2, true));
    }
    VT_FUZZ_CHECK(reread.Format14OffsetX3 == stored(read.Format14OffsetX3, true));
    VT_FUZZ_CHECK(reread.Format14OffsetY3 == stored(read.Format14OffsetY3, true));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    vt::fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vt;
    const QString path = fuzz::writeScratch(QStringLiteral("Covers.ini"), fuzz::bytesOf(data, size));
    AppState first;
    first.LastFormatIndex = 21; // as the program reads it
    VT_FUZZ_CHECK(ReadCatalogue(path, first));

    const QString copy = fuzz::scratchFile(QStringLiteral("Covers-copy.ini"));
    VT_FUZZ_CHECK(writeCatalogueFile(copy, first));
    AppState second;
    second.LastFormatIndex = first.LastFormatIndex;
    VT_FUZZ_CHECK(ReadCatalogue(copy, second));
    checkSame(first, second);

    // Written once, the file is a fixed point.
    const QByteArray written = fuzz::readScratch(copy);
    VT_FUZZ_CHECK(writeCatalogueFile(copy, second));
    VT_FUZZ_CHECK(fuzz::readScratch(copy) == written);
    return 0;
}
