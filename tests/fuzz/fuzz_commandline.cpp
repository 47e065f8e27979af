// The command-line parser: the input is the argument list, arguments separated by NUL
// bytes. Whatever it is, the parser answers with a mode whose fields make sense.
#include "FuzzSupport.h"

#include "app/CommandLine.h"

#include <QStringList>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    vt::fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vt;
    const QByteArray bytes = fuzz::bytesOf(data, size);
    QStringList arguments;
    for (const QByteArray &part : bytes.split('\0'))
        arguments << QString::fromLocal8Bit(part);
    if (bytes.isEmpty())
        arguments.clear();
    // Which paths exist is decided from the text itself, so the answer is repeatable:
    // those ending in ".vtr" or ".pdf".
    const auto exists = [](const QString &path) {
        return path.endsWith(QLatin1String(".vtr")) || path.endsWith(QLatin1String(".pdf"));
    };
    const CommandLine c = parseCommandLine(arguments, exists);
    switch (c.mode) {
    case CommandLine::Mode::Window:
        VT_FUZZ_CHECK(c.output.isEmpty());
        break;
    case CommandLine::Mode::ExportPdf:
        VT_FUZZ_CHECK(!c.output.isEmpty() && !c.project.isEmpty());
        break;
    case CommandLine::Mode::Print:
        VT_FUZZ_CHECK(!c.project.isEmpty());
        VT_FUZZ_CHECK(c.copies >= 1 && c.copies <= MaxCopies);
        break;
    case CommandLine::Mode::UsageError:
        VT_FUZZ_CHECK(!c.error.isEmpty());
        break;
    case CommandLine::Mode::Help:
    case CommandLine::Mode::Version:
        break;
    }
    VT_FUZZ_CHECK(isBatchMode(c.mode) == (c.mode == CommandLine::Mode::ExportPdf || c.mode == CommandLine::Mode::Print));
    // Parsing is a function of its input.
    const CommandLine again = parseCommandLine(arguments, exists);
    VT_FUZZ_CHECK(again.mode == c.mode && again.project == c.project && again.output == c.output
                  && again.printer == c.printer && again.copies == c.copies && again.error == c.error);
    return 0;
}
