#pragma once

#include "text/Text.h"

// The optional inputs of fetchPage and the caller's variables it writes. Every member may be
// left at its default; a null pointer is a variable the caller did not supply. None of the
// variables is written when the request cannot be opened.
struct PageRequestOptions {
    // 1 sends "POST", any other value "GET"; any value but 0 sends a body.
    int method = 0;
    // The body as text, used when postBytes is empty or not supplied.
    Text postText = {};
    // In/out: the cookies to send, "name=value" pairs joined by "; ". Supplied, even empty,
    // it replaces the shared cookie store for this request and receives the merge of the
    // returned cookies afterwards.
    Text* cookies = nullptr;
    // Out: the cookies the response sets, pairs joined by "; " (without spaces when cookies
    // was supplied).
    Text* returnedCookies = nullptr;
    // In/out: extra request header lines joined by "\r\n"; afterwards the whole block sent.
    Text* extraHeaders = nullptr;
    // Out: the raw response headers with every "Set-Cookie" in that spelling; 5000 spaces
    // when they could not be read or were longer than that.
    Text* returnedHeaders = nullptr;
    // True: redirects are not followed; the redirect's own body is the result.
    bool noRedirect = false;
    // In/out: the body; when empty it receives the bytes of postText.
    Bytes* postBytes = nullptr;
    // "host:port" of a proxy server; empty: connect directly.
    Text proxy = {};
};

// The body of the page at `address` ("http://", "https://" or no scheme), whatever its
// status; empty when nothing could be fetched, when the request took longer than the HTTP
// layer's bound on a whole exchange (75 s) or when the body was larger than 64 MiB. A body
// cut short otherwise ends at what arrived.
Bytes fetchPage(const Text& address, const PageRequestOptions& options = {});

// The page at `address` fetched with the default request: its body as Text, up to the
// first zero byte; empty when it cannot be fetched.
Text fetchPageText(const Text& address);

// The text after the first ":" of `line`, trimmed; empty when there is no ":".
Text headerValue(const Text& line);
