// The settings file (Files/Vantrelo.ini): any bytes read without harm, and what was read
// survives being written and read again.
#include "FuzzSupport.h"

#include "app/AppState.h"
#include "app/Settings.h"

#include <QStringList>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    vt::fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vt;
    const QString path = fuzz::writeScratch(QStringLiteral("Vantrelo.ini"), fuzz::bytesOf(data, size));
    AppState first;
    qint16 firstFormat = -7;
    VT_FUZZ_CHECK(ReadSettings(path, first, firstFormat));

    const QString copy = fuzz::scratchFile(QStringLiteral("Vantrelo-copy.ini"));
    VT_FUZZ_CHECK(writeSettingsFile(copy, first, firstFormat, first.SavedWindowState));
    AppState second;
    qint16 secondFormat = -7;
    VT_FUZZ_CHECK(ReadSettings(copy, second, secondFormat));
    // Folder and language names are single lines; line breaks can't have been read.
    VT_FUZZ_CHECK(second.LanguageFileName == first.LanguageFileName);
    VT_FUZZ_CHECK(second.LastProjectFolder == first.LastProjectFolder);
    VT_FUZZ_CHECK(second.LastPictureFolder == first.LastPictureFolder);
    VT_FUZZ_CHECK(second.SoundsOn == first.SoundsOn);
    VT_FUZZ_CHECK(second.SavedWindowState == first.SavedWindowState);
    VT_FUZZ_CHECK(secondFormat == firstFormat);
    // Written once, the file is a fixed point.
    VT_FUZZ_CHECK(settingsLines(second, secondFormat, second.SavedWindowState)
                  == settingsLines(first, firstFormat, first.SavedWindowState));
    return 0;
}
