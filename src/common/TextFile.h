#pragma once
// Reading and writing the program's small text files (settings, catalogue,
// projects, language files).
//
// Reading: bytes that are valid UTF-8 are taken as UTF-8 (a BOM is skipped);
// anything else is decoded in the legacy 8-bit code page the caller names, so
// files written by older Windows builds still open. CR LF, CR and LF alone all
// end a line. Writing: UTF-8 with CR LF, atomically, so a failed write leaves
// the previous file whole.
#include <QString>
#include <QStringList>
#include <optional>

namespace vt {

// Files larger than this are read only up to it: the program's own files are a
// few kilobytes, and a runaway file must not stall start-up.
inline constexpr qint64 MaxTextFileBytes = 16 * 1024 * 1024;

// True for a regular file (or a link to one). Reading a pipe or a device would block or
// never end, so the program's readers refuse anything else.
bool isRegularFile(const QString &path);

QString decodeText(const QByteArray &bytes, const char *legacyEncoding = "windows-1252");

// Split into lines; a final line without a line end counts, an empty tail does not.
QStringList splitLines(const QString &text);

// nullopt when the file cannot be opened or read.
std::optional<QString> readTextFile(const QString &path,
                                    const char *legacyEncoding = "windows-1252");

// Why nothing may be written at path: it exists and is not a regular file (a folder, a
// device, a pipe, a socket), also when reached through a link. Replacing such a thing
// with a file would destroy it, so writers refuse it and leave it as it is. Likewise a
// link that leads through a name that is not UTF-8: the file it names cannot be replaced
// under that name. Empty when the path is free or names a regular file.
QString outputTargetProblem(const QString &path);

// True when both paths name the same existing file: the same path, a link to it or a
// hard link.
bool isSameFile(const QString &a, const QString &b);

// Replaces the file through QSaveFile, always by a new file renamed over the old one, so
// the file is never rewritten in place; false, and the previous file whole, on failure
// (a folder that takes no new file, a full disk, a target that is no regular file).
// error, when given, receives the system's words for what failed ("No space left on
// device").
bool writeBytesAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Each line followed by CR LF, UTF-8, through writeBytesAtomically. False when anything
// failed; the previous file is then untouched.
bool writeTextLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// Reads a text the way the program's files are read: either a whole line at a time,
// or one field at a time. A field read skips leading blanks; a field beginning with a
// double quote runs to the next double quote (quotes dropped); otherwise it ends at a
// comma or a line end. After a field, the reader is past its comma, or past the line
// end when the field ended the line. Reads past the end fail (nullopt).
class FieldReader
{
public:
    explicit FieldReader(QString text) : m_text(std::move(text)) {}

    std::optional<QString> readLine();
    std::optional<QString> readField();
    bool atEnd() const { return m_pos >= m_text.size(); }

private:
    bool atLineEnd(qsizetype pos) const;
    void skipLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace vt
