// Project files (.vtr): any bytes read without harm; a project read in full, written
// and read again is the same project.
#include "FuzzSupport.h"

#include "project/ProjectFile.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    vt::fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vt;
    const ProjectReading reading = readProjectBytes(fuzz::bytesOf(data, size));
    VT_FUZZ_CHECK(reading.linesRead >= 0 && reading.linesRead <= ProjectLineCount);
    VT_FUZZ_CHECK(reading.error.has_value() == (reading.linesRead < ProjectLineCount));
    if (reading.error)
        VT_FUZZ_CHECK(reading.error->line >= 1 && !reading.error->reason.isEmpty());
    if (reading.error)
        return 0;

    const QByteArray written = projectBytes(reading.project);
    const ProjectReading again = readProjectBytes(written);
    VT_FUZZ_CHECK(!again.error.has_value());
    VT_FUZZ_CHECK(again.project == reading.project);
    VT_FUZZ_CHECK(projectBytes(again.project) == written);
    return 0;
}
