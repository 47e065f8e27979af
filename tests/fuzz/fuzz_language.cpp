// Language files (Files/Lang/*.lng), in both ways the program reads them.
#include "FuzzSupport.h"

#include "lang/LanguageFile.h"
#include "lang/LanguageTable.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    vt::fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vt;
    const QByteArray bytes = fuzz::bytesOf(data, size);
    // The file name picks the code page of files that are not UTF-8.
    const QString name = !bytes.isEmpty() && (uchar(bytes.back()) & 1) ? QStringLiteral("Russian.lng")
                                                                       : QStringLiteral("Deutsch.lng");
    const QString path = fuzz::writeScratch(name, bytes);
    LanguageTable normal;
    VT_FUZZ_CHECK(readLanguageFile(path, normal, LanguageReading::Normal));
    LanguageTable startup = normal;
    VT_FUZZ_CHECK(readLanguageFile(path, startup, LanguageReading::StartupSecond));
    // Reading the same file twice changes nothing more.
    LanguageTable twice = normal;
    VT_FUZZ_CHECK(readLanguageFile(path, twice, LanguageReading::Normal));
    VT_FUZZ_CHECK(twice.entries == normal.entries);
    for (int k = 0; k < LanguageTable::Size; ++k)
        (void)normal.fallbackText(k);
    return 0;
}
