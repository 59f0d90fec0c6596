#include "platform/window/WebAddress.h"

#include <strings.h>

bool isWebAddress(const Text& address) {
    bool http = address.size() > 7 && strncasecmp(address.c_str(), "http://", 7) == 0;
    bool https = address.size() > 8 && strncasecmp(address.c_str(), "https://", 8) == 0;
    if (!http && !https)
        return false;
    for (unsigned char byte : address)
        if (byte < 0x20 || byte == 0x7F)
            return false;
    return true;
}
