#pragma once
// A saved cover (.vtr): fifteen lines, one value each, in a fixed order.
//
//   1-3  picture paths of slots 1-3 (empty for the blank starting picture)
//   4    outline switch (number)       5 front title     6 spine title    7 font name
//   8    font size in points, with a point as decimal separator ("8.25")
//   9-11 bold, italic, underline (numbers, 1 = on)
//   12   title colour, a signed 32-bit number with red in the low byte
//   13   title on the cover            14 title on the spine   15 format index
//
// Numbers are written " 1 " (a blank where a minus sign would stand, and one after),
// every line ends in CR LF, and the text is UTF-8. Reading accepts what older files
// hold: Windows-1252 text, LF or CR alone as line ends, blanks around numbers.
//
// A cover whose pictures have placements adds four lines after line 15, which readers of
// the fifteen lines never look at:
//
//   [placement]
//   MODE ZOOM X Y TURNS     one line per slot, e.g. "fill 1.25 0.5 0.4 0"
//
// MODE is stretch, fill or fit; ZOOM, X and Y are decimals with a point; TURNS is 0 to 3.
// A file without the section is stretched throughout, as it always printed. A value out
// of range is clamped and a line that does not parse is the default placement: a damaged
// placement never costs the user the rest of the project.
#include "document/Placement.h"
#include "formats/TitleStyle.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace vt {

inline constexpr int ProjectLineCount = 15;

// A project is a few hundred bytes; anything larger than this is not one, and reading
// it would only stall the window.
inline constexpr qint64 MaxProjectBytes = 1024 * 1024;
// Titles longer than this are cut when a project is read.
inline constexpr int MaxTitleCharacters = 1000;

struct ProjectFile
{
    std::array<QString, 3> picturePaths; // kept exactly as read, blanks included
    qint16 outlineSwitch = 0;
    TitleStyle title;
    qint16 titleOnCover = 1;
    qint16 titleOnSpine = 1;
    qint16 formatIndex = 0;
    // How the pictures sit in their areas; the section is written when hasPlacements is
    // set or any placement differs from the default, so an untouched old cover is saved
    // exactly as before.
    std::array<Placement, 3> placements{};
    bool hasPlacements = false;

    bool operator==(const ProjectFile &) const = default;
};

inline constexpr auto PlacementSectionLine = "[placement]";

// One placement line ("fill 1.25 0.5 0.4 0") and back. Reading clamps values out of range
// and gives the default placement for a line that does not parse.
QString placementLine(const Placement &p);
Placement parsePlacementLine(const QString &line);

// The fifteen lines (and the placement section when there is one), without line ends.
QStringList projectLines(const ProjectFile &project);
// The file's bytes: the lines, each followed by CR LF, in UTF-8.
QByteArray projectBytes(const ProjectFile &project);

// What went wrong at which line (1-based), in words the error box can show.
struct ProjectError
{
    int line = 0;
    QString reason;
};

// A project as far as it could be read. Lines 1 to linesRead are in `project`; the
// fields of later lines keep their defaults. A reader stops at the first line it cannot
// take: a line the file does not have, a line 15 that is not a number, or a number too
// large for its field. The caller applies the good lines in order and then reports the
// error, so a file that fails at line 15 still sets its titles.
struct ProjectReading
{
    ProjectFile project;
    int linesRead = 0;
    std::optional<ProjectError> error;
    QStringList warnings; // what was changed to take the file (a title cut short)
};

// Texts from the file that a reason quotes have their control characters escaped.
ProjectReading readProjectText(const QString &text);
ProjectReading readProjectBytes(const QByteArray &bytes);

// Line 15 as the format list's index: the whole line must be a number (blanks around it
// allowed; halves round to even). nullopt when it is not.
std::optional<qint16> parseFormatIndexLine(const QString &line);

// The font size a line 8 gives, in whole points (halves to even), kept within what
// the title editor accepts.
float projectFontSize(double read);

// Where a picture path of a project points: the path itself when absolute, otherwise the
// path taken from the project file's folder, so a project can travel with its pictures.
// For a project that is a link, a picture missing beside the link is looked for beside
// the file the link leads to.
QString resolvePicturePath(const QString &projectFile, const QString &picturePath);

// The files a cover is made from: the project file itself and the pictures its first
// three lines name, resolved as loading resolves them (as far as the file can be read).
QStringList projectInputFiles(const QString &projectFile);

// The line a picture gets in a project saved as targetProject. knownPath is the slot's
// path as the program knows it: as chosen (absolute), or as read from the project
// readFrom (relative paths are taken from that project's folder). A picture in the target
// project's folder or below it is stored relative to that folder, with "/" between
// names; any other is stored absolute. A known path that already is what would be stored
// is kept exactly, blanks included. Blank stays blank.
QString picturePathForProject(const QString &knownPath, const QString &readFrom, const QString &targetProject);

// picturePathForProject for the three picture lines of a project.
void storePicturePaths(ProjectFile &project, const QString &readFrom, const QString &targetProject);

} // namespace vt
