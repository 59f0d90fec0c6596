#pragma once

#include <curl/curl.h>

// The process-wide cookie store that requests share, as WinInet keeps one per session.

// Initialises libcurl once for the process; every curl use goes through here first.
void ensureCurlReady();
// The share that holds the cookies; attach it with CURLOPT_SHARE. Never null.
CURLSH* sharedCookieStore();
// Forgets the session cookies (those without an expiry), as when a browser session ends.
void endCookieSession();
