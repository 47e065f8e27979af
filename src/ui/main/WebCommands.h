#pragma once
// The commands that open web pages and files with the desktop's default program, and
// the update check of the start.
#include "lang/LanguageTable.h"
#include "ui/main/Form1.h"

#include <functional>
#include <memory>

namespace vt {

struct AppState;
class BackgroundUpdateCheck;

// Wires the product, language and donation pages, the version history and the six
// cover-search sites (whose items it adds to the mnuCercaCover submenu) to open. Every
// failure to open is silent. The state is read when a command runs, not now.
void connectWebCommands(Form1 &window, const AppState &state, std::function<bool(const QString &)> open);

// The start's update check, sent off to the server at once; none when no address is
// set (see updateCheckUrl).
std::unique_ptr<BackgroundUpdateCheck> startUpdateCheck(ReleaseCheck check);

// Takes the check's answer, and when the server names a newer release asks the user.
// True when the user chose to update: the product page was opened and hooks.exitNow
// called, so the start must go no further.
bool runUpdateCheck(BackgroundUpdateCheck *check, QWidget *window, const LanguageTable &texts,
                    const Form1Hooks &hooks);

} // namespace vt
