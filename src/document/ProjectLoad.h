#pragma once
// A project file as a cover, and a cover as a project file, with no window involved.
// Loading reads the whole file and every picture it names before anything is handed
// over: the caller gets a complete cover or an error, never half of one, and applies it
// with CoverDocument::load only on success.
#include "document/CoverDocument.h"
#include "formats/Templates.h"
#include "project/ProjectFile.h"

#include <QString>
#include <optional>

namespace vt {

struct ProjectLoadResult
{
    std::optional<CoverContent> content; // set when the whole project was read
    QString error;                       // why not, in words the error box shows
    int line = 0;                        // the file's line the error is about; 0: the file
    QStringList warnings;                // what was changed to take the file (a title cut short)
};

// formatCount: formats the format list holds; a line 15 beyond it fails the load.
// load: reads one picture (null when it cannot); a picture line that names a template
// of another program folder that does not exist here counts as blank, so the format's
// own template takes the slot.
ProjectLoadResult loadProjectContent(const QString &file, int formatCount, const PictureLoader &load);

// The same with a loader told where each picture goes: its slot (0 to 2), the project's
// format and the slot's placement, so it can decode the picture at the size that needs.
// The pictures are decoded side by side, one thread each: load must be safe for that.
using SlotPictureLoader = std::function<QImage(const QString &file, int slot, int format, const Placement &p)>;
ProjectLoadResult loadProjectContent(const QString &file, int formatCount, const SlotPictureLoader &load);

// The lines a cover is saved as.
ProjectFile projectFromContent(const CoverContent &content);

} // namespace vt
