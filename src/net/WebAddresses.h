#pragma once
// The addresses the program opens or reads. The maker's own pages live under the
// reserved domain vantrelo.example, which never resolves; the cover-search sites are
// real sites where covers of films, music and games can be searched.
#include <array>

namespace vt {

// A plain nine-digit release number text, read once at every start.
inline constexpr const char *VersionFileUrl = "https://files.vantrelo.example/vantrelo/version.txt";
// The product page: where a newer release is downloaded (plain HTTP, as the maker serves it).
inline constexpr const char *ProductPageUrl = "http://www.vantrelo.example/vantrelo/";
inline constexpr const char *LanguagePageUrl = "https://www.vantrelo.example/vantrelo/languages/";
inline constexpr const char *DonationPageUrl = "https://www.vantrelo.example/donate/";
inline constexpr const char *HomePageUrl = "https://www.vantrelo.example/";

// Environment variable that replaces VersionFileUrl; set but empty, it turns the check off.
inline constexpr const char *UpdateUrlVariable = "VANTRELO_UPDATE_URL";

struct CoverSearchSite
{
    const char *name; // shown as it is, in every language
    const char *url;
};

inline constexpr std::array<CoverSearchSite, 6> CoverSearchSites{{
    {"MusicBrainz", "https://musicbrainz.org/"},
    {"Discogs", "https://www.discogs.com/"},
    {"TMDB", "https://www.themoviedb.org/"},
    {"fanart.tv", "https://fanart.tv/"},
    {"IGDB", "https://www.igdb.com/"},
    {"MobyGames", "https://www.mobygames.com/"},
}};

} // namespace vt
