#pragma once

#include <string>
#include <string_view>
#include <vector>

// A WinInet header block ("Name: value" lines joined by "\r\n") in curl's header-list
// form. The lines keep their order; a bare "\r" or "\n" ends a line as "\r\n" does, and a
// line without a colon is no header and is left out.
// curl's own Accept, Expect and Content-Type lines are suppressed unless the block holds
// such a line, so that nothing is sent that the caller did not ask for.
std::vector<std::string> curlHeaderLines(std::string_view block);
