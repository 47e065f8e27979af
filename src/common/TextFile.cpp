#include "common/TextFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace vt {

bool isRegularFile(const QString &path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
}

QString decodeText(const QByteArray &bytes, const char *legacyEncoding)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    // A UTF-8 mark followed by bytes that are not UTF-8 (a file edited by hand in an
    // 8-bit editor): the mark is still no text, and decoded in the legacy page it would
    // become "ï»¿" in front of the first line.
    QStringDecoder legacy(legacyEncoding);
    if (!legacy.isValid())
        legacy = QStringDecoder(QStringDecoder::Latin1);
    return legacy.decode(view);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QString> readTextFile(const QString &path, const char *legacyEncoding)
{
    if (!isRegularFile(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // read(n) sets n bytes aside before reading: ask for what the file holds, not the
    // whole limit, for the small files these are. (Files that report no size, such as
    // those under /proc, still read up to the limit.)
    const qint64 size = file.size();
    const QByteArray bytes = file.read(size > 0 && size < MaxTextFileBytes ? size : MaxTextFileBytes);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeText(bytes, legacyEncoding);
}

namespace {

// Whether a chain of links starting at path leads through a name Qt cannot spell: the
// atomic writer follows links by their decoded names, and would write a new file under
// a garbled name while the one the user meant stays as it was.
bool linkLeadsThroughUnspelledName(const QString &path)
{
    QByteArray at = QFile::encodeName(path);
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st = {};
        if (::lstat(at.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return false;
        QByteArray target(4096, '\0');
        const ssize_t n = ::readlink(at.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return false;
        target.truncate(n);
        if (QFile::encodeName(QFile::decodeName(target)) != target)
            return true;
        at = target.startsWith('/') ? target : at.left(at.lastIndexOf('/') + 1) + target;
    }
    return false;
}

} // namespace

QString outputTargetProblem(const QString &path)
{
    if (linkLeadsThroughUnspelledName(path))
        return QStringLiteral("it is a link to a file whose name is not UTF-8, which cannot be replaced under "
                              "its own name; it is left as it is (save under another name)");
    struct stat st = {};
    // stat follows links: a link to a device is refused like the device.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    if (S_ISREG(st.st_mode))
        return QString();
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder, not a file");
    return QStringLiteral("it is a device, a pipe or a socket, not a regular file; it is left as it is");
}

bool isSameFile(const QString &a, const QString &b)
{
    struct stat sa = {}, sb = {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool writeBytesAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (const QString problem = outputTargetProblem(path); !problem.isEmpty())
        return fail(problem);
    // Unbuffered, so that a short write (full disk, size limit) shows in write()'s
    // count: a buffered QSaveFile flushes at commit and would keep a truncated file.
    // No direct-write fallback: where no new file can be made, nothing is written,
    // rather than an old file cut half-way by a failure in the middle of rewriting it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    errno = 0;
    const qint64 written = file.write(bytes);
    const int cause = errno;
    if (written != bytes.size()) {
        // A short write leaves Qt's error unset ("Unknown error"); the system's errno
        // still names the cause.
        QString why = file.error() != QFileDevice::NoError ? file.errorString() : QString();
        if (why.isEmpty() || why == QLatin1String("Unknown error"))
            why = cause != 0 ? QString::fromLocal8Bit(std::strerror(cause))
                             : QStringLiteral("only %1 of %2 bytes could be written").arg(qMax<qint64>(written, 0)).arg(bytes.size());
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

bool writeTextLines(const QString &path, const QStringList &lines, QString *error)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return writeBytesAtomically(path, out, error);
}

bool FieldReader::atLineEnd(qsizetype pos) const
{
    return pos < m_text.size() && (m_text[pos] == u'\r' || m_text[pos] == u'\n');
}

void FieldReader::skipLineEnd()
{
    if (m_pos < m_text.size() && m_text[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
    } else if (m_pos < m_text.size() && m_text[m_pos] == u'\n') {
        ++m_pos;
    }
}

std::optional<QString> FieldReader::readLine()
{
    if (atEnd())
        return std::nullopt;
    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && !atLineEnd(m_pos))
        ++m_pos;
    QString line = m_text.mid(start, m_pos - start);
    skipLineEnd();
    return line;
}

std::optional<QString> FieldReader::readField()
{
    const qsizetype n = m_text.size();
    if (m_pos >= n)
        return std::nullopt;
    // Leading blanks are passed over; an empty line is an empty field, so a file
    // whose text fields were written empty reads back in step.
    while (m_pos < n && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
        ++m_pos;
    // Nothing but blanks up to the end of the text: there is no field left.
    if (m_pos >= n)
        return std::nullopt;

    QString field;
    if (m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? n : close;
        field = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? n : close + 1;
        // Whatever follows the closing quote up to the separator is dropped.
        while (m_pos < n && m_text[m_pos] != u',' && !atLineEnd(m_pos))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < n && m_text[m_pos] != u',' && !atLineEnd(m_pos))
            ++m_pos;
        // Trailing blanks belong to the field: a text written with them reads back
        // the same. Numbers are read from their start, so they don't mind.
        field = m_text.mid(start, m_pos - start);
    }
    if (m_pos < n && m_text[m_pos] == u',')
        ++m_pos;
    else
        skipLineEnd();
    return field;
}

} // namespace vt
