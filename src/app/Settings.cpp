#include "app/Settings.h"

#include "app/AppState.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "common/TextFile.h"

namespace vt {

bool ReadSettings(const QString &path, AppState &state, qint16 &savedFormatIndex)
{
    const auto text = readTextFile(path);
    FieldReader in(text.value_or(QString()));

    if (auto line = in.readLine())
        state.LanguageFileName = *line;
    savedFormatIndex = 0;
    if (auto field = in.readField())
        if (auto v = toInt16(leadingNumber(*field)))
            savedFormatIndex = *v;
    if (auto line = in.readLine())
        state.LastProjectFolder = *line;
    if (auto line = in.readLine())
        state.LastPictureFolder = *line;
    // Stored inverted: "0" (or nothing at all) means sounds on.
    state.SoundsOn = leadingNumber(in.readField().value_or(QString())) == 0.0;
    state.SavedWindowState = WindowNormal;
    if (auto field = in.readField())
        if (auto v = toInt16(leadingNumber(*field)))
            state.SavedWindowState = *v;
    return text.has_value();
}

QStringList settingsLines(const AppState &state, int selectedFormat, int windowState)
{
    return {singleLine(state.LanguageFileName),
            QString::number(selectedFormat),
            singleLine(state.LastProjectFolder),
            singleLine(state.LastPictureFolder),
            state.SoundsOn ? QStringLiteral("0") : QStringLiteral("1"),
            QString::number(windowState)};
}

bool writeSettingsFile(const QString &path, const AppState &state, int selectedFormat,
                       int windowState, QString *error)
{
    return writeTextLines(path, settingsLines(state, selectedFormat, windowState), error);
}

} // namespace vt
