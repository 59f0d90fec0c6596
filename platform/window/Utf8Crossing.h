#pragma once

#include <string>

#include "text/Text.h"

// Program texts are GBK; GTK, GIO and WebKit speak UTF-8. Every text crosses here.

// `text` as UTF-8; a byte sequence that is not GBK becomes '?'.
std::string utf8FromText(const Text& text);

// UTF-8 from GTK as a GBK Text; a character GBK lacks becomes '?'. Null reads as empty.
Text textFromUtf8(const char* utf8);

// `bytes` converted from the character set named `from` to the one named `to` (iconv's
// names, "UTF-8", "GBK", ...). Each character that `to` lacks, and each broken sequence, becomes
// '?' and the rest is kept, as Windows converts. Empty when a name is unknown.
Bytes convertCharset(const Bytes& bytes, const std::string& from, const std::string& to);
