#pragma once
// A main window over a throwaway program folder, with hooks that record what the
// window asks of the process instead of showing boxes or ending it.
#include "ProgramFolder.h"

#include "app/AppState.h"
#include "net/UpdateCheck.h"
#include "ui/main/Form1.h"

#include <QList>
#include <QStringList>

struct HookRecorder
{
    QStringList warnings; // "title|text"
    QList<int> exits;
    QStringList opened;
    QStringList sounds;
    QStringList questions;       // "title|text" of the update question
    bool answerUpdate = false;   // the answer the update question gets
    vt::ReleaseCheck releaseCheck; // the update check, when a test sets one (none by default)

    vt::Form1Hooks hooks()
    {
        vt::Form1Hooks h;
        h.warn = [this](QWidget *, const QString &text, const QString &title) { warnings << title + "|" + text; };
        h.exitNow = [this](int code) { exits << code; };
        h.openExternally = [this](const QString &p) {
            opened << p;
            return true;
        };
        h.playSound = [this](const QString &wav) { sounds << wav; };
        h.askUpdate = [this](QWidget *, const QString &text, const QString &title) {
            questions << title + "|" + text;
            return answerUpdate;
        };
        h.releaseCheck = [this](const QUrl &url, const QString &running, const vt::ReleaseFetchLimits &limits) {
            return releaseCheck && releaseCheck(url, running, limits);
        };
        return h;
    }
};

// Constructing the window reads nothing: tests may still change the folder's files
// before calling form.load().
struct TestWindow
{
    ProgramFolder folder;
    vt::AppState state;
    HookRecorder rec;
    vt::Form1 form{state, folder.path(), QString(), rec.hooks()};
};
