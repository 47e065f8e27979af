#pragma once
// Access keys (the underlined letter pressed with Alt) for captions whose texts come
// from language files without one marked.
#include <QString>
#include <QStringList>

namespace vt {

// The marked key of a caption ("&Print" -> 'p', lower case), or a null character
// when the caption marks none ("&&" is a plain ampersand).
QChar accessKeyOf(const QString &caption);

// The captions, each with an access key: a caption that marks one keeps it; any other
// gets a "&" before its first letter or digit whose key no earlier caption of the list
// has taken. A caption left without a free letter stays as it is.
QStringList withAccessKeys(const QStringList &captions);

} // namespace vt
