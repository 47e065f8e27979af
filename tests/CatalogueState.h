#pragma once
// A state holding the shipped catalogue, as a start reads it, for tests that need the
// formats' sizes without a window.
#include "app/AppState.h"
#include "formats/Catalogue.h"

inline vt::AppState catalogueState()
{
    vt::AppState s;
    s.LastFormatIndex = 21;
    s.InitialScaleHeight = 7290;
    vt::ReadCatalogue(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Covers.ini"), s);
    return s;
}
