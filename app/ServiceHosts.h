#pragma once

// The program's fixed addresses: the services' hosts, the tutorial player and the version
// that this build is.

// The first service's (Youku's) embeddable player.
inline constexpr char youkuPlayerHost[] = "player.youku.com";
// The second service's (Tudou's) site, which also serves its player.
inline constexpr char tudouSiteHost[] = "www.tudou.com";
// The third service's (iQiyi's) video pages and its embeddable player.
inline constexpr char iqiyiSiteHost[] = "www.iqiyi.com";
inline constexpr char iqiyiPlayerHost[] = "player.video.qiyi.com";

// The video code by which the tutorial player is recognised.
inline constexpr char tutorialVideoCode[] = "XNzk3NjU5MDc2";
// The player the window opens with and that typing "教程" brings back.
inline constexpr char tutorialAddress[] =
    "http://player.youku.com/player.php/sid/XNzk3NjU5MDc2/v.swf";

// This build's version, 4.1.0.6 without the points; current when the published text equals it.
inline constexpr char versionMarker[] = "4106";
// The maker's page that publishes the current version and its download link; chosen when the
// program is configured, and empty (a page that cannot be fetched) when none was given.
extern const char* const versionPageAddress;
