#pragma once
// The one record of application-wide state. Exactly one exists per run, created by
// main() and passed by reference; tests build their own.
#include "formats/Catalogue.h"
#include "lang/LanguageTable.h"

#include <QString>
#include <array>

namespace vt {

inline constexpr int VersionMajor = VANTRELO_VERSION_MAJOR;
inline constexpr int VersionMinor = VANTRELO_VERSION_MINOR;
inline constexpr int VersionRevision = VANTRELO_VERSION_REVISION;

// "Vantrelo 2.8.0.0" for version 2.8, revision 0.
QString makeVersionCaption(int major, int minor, int revision);

// Portable (everything in the program folder) or installed (the files the program
// writes kept per user); decided once per run.
enum class FolderMode { Undecided, Portable, Installed };

struct AppState
{
    QString AppPath;        // folder of the executable, no trailing separator
    FolderMode Mode = FolderMode::Undecided;
    QString VersionCaption;
    QString LanguageFileName;
    QString LastProjectFolder;
    QString LastPictureFolder;
    bool SoundsOn = false;
    qint16 SavedWindowState = 0; // 0 normal, 1 minimised, 2 maximised

    FormatCatalogue Catalogue;
    QString Format14OffsetX3;
    QString Format14OffsetY3;
    qint16 LastFormatIndex = 0;
    qint16 FormatCount = 0;

    LanguageTable Language;
    std::array<QString, 11> ToolbarTips{};
    // In twips; 32 bits, as a window wider than 32767 twips (2185 pixels) is common.
    std::array<qint32, 16> ToolbarButtonLeft{};
    std::array<qint32, 16> ToolbarButtonTop{};

    qint16 PreviewScale = 0;
    qint16 InitialScaleHeight = 0;
    qint32 PreviewA = 0;
    qint32 PreviewB = 0;
    qint32 PreviewC = 0;
    qint32 PreviewD = 0;
    QString CurrentOrientation;
    QString CurrentShape;

    qint16 TitleOnCover = 0;
    qint16 TitleOnSpine = 0;
    QString CurrentProjectPath;
    qint16 PrintQualityIndex = 0;
    // The user has been told that the settings and catalogue cannot be stored (at start,
    // for a per-user folder that takes no file, or at the first failed write): later
    // failures say nothing more.
    bool StoreFailureTold = false;
};

} // namespace vt
