#pragma once
// The print system's client library, opened the first time a printer is looked at
// rather than when the program starts: it brings some twenty libraries of its own (TLS,
// Kerberos, service discovery) that the first window does not need.
#include <cups/cups.h>

namespace vt {

#define VT_CUPS_FUNCTIONS(X)                                                                            \
    X(cupsGetDests2) X(cupsFreeDests) X(cupsGetDest) X(cupsCopyDestInfo) X(cupsFreeDestInfo)            \
    X(cupsGetDestMediaByName) X(cupsGetOption) X(cupsFindDestDefault) X(ippGetString) X(httpConnect2)   \
    X(cupsServer) X(ippPort) X(cupsEncryption) X(httpClose) X(cupsSetDests2) X(cupsLastError)           \
    X(cupsLastErrorString) X(cupsCheckDestSupported) X(pwgMediaForPWG) X(pwgMediaForPPD)

struct CupsLibrary
{
#define VT_CUPS_MEMBER(name) decltype(&::name) name = nullptr;
    VT_CUPS_FUNCTIONS(VT_CUPS_MEMBER)
#undef VT_CUPS_MEMBER
    // Every function was found. When not, none is set, and the program behaves as on a
    // system whose print system does not answer.
    bool loaded = false;
};

// The library, opened on the first call (from any thread; later calls wait for it).
const CupsLibrary &cups();

} // namespace vt
