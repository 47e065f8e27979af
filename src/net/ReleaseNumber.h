#pragma once
// The release number text the update check compares: major, minor and revision, each
// written with at least three digits ("002008000" for 2.8.0).
#include <QString>

namespace vt {

QString releaseNumberText(int major, int minor, int revision);

// Whether the server's answer names a newer release than the running one. Only an
// answer of exactly nine digits counts; nine-digit texts compare as numbers do.
bool offersNewerRelease(const QString &serverText, const QString &runningText);

// The question's text: every "<BR>" (this exact case) starts a new paragraph.
QString updateQuestionText(const QString &languageEntry);

} // namespace vt
