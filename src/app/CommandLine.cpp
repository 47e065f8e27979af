#include "app/CommandLine.h"

#include "print/Sheet.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace vt {

namespace {

const QStringList &knownOptions()
{
    static const QStringList names = {
        QStringLiteral("--export-pdf"), QStringLiteral("--print"), QStringLiteral("--printer"),
        QStringLiteral("--copies"), QStringLiteral("--paper"), QStringLiteral("--force"),
        QStringLiteral("--quality"), QStringLiteral("--test-page"), QStringLiteral("--crop-marks"),
        QStringLiteral("--bleed"), QStringLiteral("--help"), QStringLiteral("-h"),
        QStringLiteral("--version"), QStringLiteral("-v"), QStringLiteral("--")};
    return names;
}

bool startsWithKnownOption(const QString &argument)
{
    for (const QString &name : knownOptions())
        if (argument == name || argument.startsWith(name + u'='))
            return true;
    return false;
}

CommandLine usageError(const QString &why)
{
    CommandLine c;
    c.mode = CommandLine::Mode::UsageError;
    c.error = why;
    return c;
}

// IPP print-quality: draft 3, normal 4, high 5; 0 for any other word.
int qualityNamed(const QString &name)
{
    const QString n = name.trimmed().toLower();
    return n == u"draft" ? 3 : n == u"normal" ? 4 : n == u"high" ? 5 : 0;
}

} // namespace

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage:\n"
        "  vantrelo [PROJECT.vtr]                       open the window, with the project\n"
        "  vantrelo --export-pdf OUT.pdf PROJECT.vtr    write the cover to a PDF file and exit\n"
        "  vantrelo --print PROJECT.vtr [--printer NAME] [--copies N] [--quality draft|normal|high]\n"
        "                                               print the cover and exit\n"
        "  vantrelo --test-page --printer NAME | --export-pdf OUT.pdf\n"
        "                                               a calibration page to measure a printer by\n"
        "  vantrelo --help | --version\n"
        "With --export-pdf or --print: --paper a4|letter|legal (A4, or the printer's own when\n"
        "printing), --force makes a cover that crosses the printable area, --crop-marks draws\n"
        "marks outside the cover's corners, --bleed MM (0 to 3) lets the pictures reach that\n"
        "far past their cut lines.\n"
        "Use -- before a project whose name begins with a dash.\n");
}

bool isBatchMode(CommandLine::Mode mode)
{
    return mode == CommandLine::Mode::ExportPdf || mode == CommandLine::Mode::Print;
}

CommandLine parseCommandLine(const QStringList &arguments, const std::function<bool(const QString &)> &fileExists)
{
    CommandLine c;
    // The whole argument text names a project: a path with blanks given unquoted, or one
    // that begins with a dash, still opens.
    const QString whole = arguments.join(u' ');
    if (!arguments.isEmpty() && !startsWithKnownOption(arguments.first()) && fileExists(whole)) {
        c.project = whole;
        return c;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption exportPdf(QStringLiteral("export-pdf"), QString(), QStringLiteral("OUT.pdf"));
    const QCommandLineOption print(QStringLiteral("print"));
    const QCommandLineOption printer(QStringLiteral("printer"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption copies(QStringLiteral("copies"), QString(), QStringLiteral("N"));
    const QCommandLineOption paper(QStringLiteral("paper"), QString(), QStringLiteral("PAPER"));
    const QCommandLineOption force(QStringLiteral("force"));
    const QCommandLineOption quality(QStringLiteral("quality"), QString(), QStringLiteral("Q"));
    const QCommandLineOption testPage(QStringLiteral("test-page"));
    const QCommandLineOption cropMarks(QStringLiteral("crop-marks"));
    const QCommandLineOption bleed(QStringLiteral("bleed"), QString(), QStringLiteral("MM"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({exportPdf, print, printer, copies, paper, force, quality, testPage, cropMarks, bleed, help,
                       version});
    if (!parser.parse(QStringList{QStringLiteral("vantrelo")} + arguments))
        return usageError(parser.errorText());

    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(help) || parser.isSet(version)) {
        CommandLine asked;
        asked.mode = parser.isSet(help) ? CommandLine::Mode::Help : CommandLine::Mode::Version;
        return asked;
    }

    const bool exporting = parser.isSet(exportPdf);
    c.testPage = parser.isSet(testPage);
    // A calibration page goes to the printer it names; it needs no project.
    const bool printing = parser.isSet(print) || (c.testPage && parser.isSet(printer) && !exporting);
    if (exporting && printing)
        return usageError(QStringLiteral("--export-pdf and --print cannot be used together"));
    if (!printing && (parser.isSet(printer) || parser.isSet(copies) || parser.isSet(quality)))
        return usageError(QStringLiteral("--printer, --copies and --quality go with --print"));
    if (!exporting && !printing && (parser.isSet(paper) || parser.isSet(force)))
        return usageError(QStringLiteral("--paper and --force go with --export-pdf or --print"));
    if (c.testPage && !exporting && !printing)
        return usageError(QStringLiteral("--test-page needs --printer NAME or --export-pdf OUT.pdf"));
    if (parser.isSet(cropMarks) || parser.isSet(bleed)) {
        if ((!exporting && !printing) || c.testPage)
            return usageError(QStringLiteral("--crop-marks and --bleed go with a cover's --export-pdf or --print"));
        c.cropMarks = parser.isSet(cropMarks);
    }
    if (parser.isSet(bleed)) {
        // Plain decimal millimetres: no exponent, no sign, no "nan" or "inf".
        static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]*)?$|^\\.[0-9]+$"));
        const QString text = parser.value(bleed).trimmed();
        bool ok = false;
        const double mm = number.match(text).hasMatch() ? text.toDouble(&ok) : 0;
        if (!ok || mm < 0 || mm > MaxBleedOptionMm)
            return usageError(QStringLiteral("--bleed takes millimetres from 0 to 3"));
        c.bleedMm = mm;
    }
    if (!exporting && !printing) {
        c.project = positional.join(u' ');
        return c;
    }
    if (c.testPage) {
        if (!positional.isEmpty())
            return usageError(QStringLiteral("--test-page takes no project file"));
    } else if (positional.size() != 1 || positional.first().isEmpty()) {
        // An empty argument ("" from a script whose variable was unset) names no file.
        return usageError(positional.size() <= 1 ? QStringLiteral("no project file given")
                                                 : QStringLiteral("more than one project file given"));
    } else {
        c.project = positional.first();
    }
    c.force = parser.isSet(force);
    if (parser.isSet(paper)) {
        c.paper = paperFromName(parser.value(paper).trimmed());
        if (!c.paper)
            return usageError(QStringLiteral("--paper takes a4, letter or legal"));
    }
    if (exporting) {
        c.mode = CommandLine::Mode::ExportPdf;
        c.output = parser.value(exportPdf);
        if (c.output.isEmpty())
            return usageError(QStringLiteral("--export-pdf needs the name of the PDF file"));
        return c;
    }
    c.mode = CommandLine::Mode::Print;
    c.printer = parser.value(printer);
    if (parser.isSet(quality)) {
        c.quality = qualityNamed(parser.value(quality));
        if (c.quality == 0)
            return usageError(QStringLiteral("--quality takes draft, normal or high"));
    }
    if (parser.isSet(copies)) {
        // Any run of digits is a count, however long: one too large for a number type
        // is as capped as 5000 is.
        const QString text = parser.value(copies).trimmed();
        static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
        if (!digits.match(text).hasMatch())
            return usageError(QStringLiteral("--copies takes a whole number of at least 1"));
        QString significant = text;
        while (significant.size() > 1 && significant.startsWith(u'0'))
            significant.remove(0, 1);
        const int n = significant.size() > 4 ? MaxCopies : significant.toInt();
        if (n < 1)
            return usageError(QStringLiteral("--copies takes a whole number of at least 1"));
        c.copies = std::min(n, MaxCopies);
    }
    return c;
}

} // namespace vt
