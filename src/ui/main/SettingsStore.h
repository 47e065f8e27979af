#pragma once
// Storing the settings file and the catalogue from the state as it is now. A file that
// cannot be written is said once per run, since every later write would fail alike; the
// values in memory stay in effect.
#include <QString>
#include <functional>

namespace vt {

struct AppState;

class SettingsStore
{
public:
    struct Window
    {
        std::function<int()> format;      // the format list's index
        std::function<int()> windowState; // normal, minimised or maximised, as stored
        std::function<void(const QString &text)> warn;
        std::function<bool()> endingBySignal; // then a box would hold the process open
    };
    SettingsStore(AppState &state, Window window);

    bool storeSettings();
    bool storeCatalogue();

private:
    void tellFailure(const QString &path, const QString &error);

    AppState &m_state;
    Window m_window;
};

} // namespace vt
