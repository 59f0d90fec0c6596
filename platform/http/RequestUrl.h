#pragma once

#include <string>

// The address curl is given for a request opened on a connection: built by curl's URL API from
// the scheme, the server name, the port and the object name, so that no character of one part
// can move the line between them. Empty when the server name is no host name (it holds '/',
// '?', '#', '@', a space, ...): such a request fails as one to a name that does not resolve.
// An object name's control characters and spaces are percent-encoded; a missing leading '/' is
// supplied.
std::string requestUrl(bool secure, const std::string& serverName, unsigned port,
                       const std::string& objectName);
