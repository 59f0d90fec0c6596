#pragma once

#include <cstdint>

// Windows code page 936 as glibc's iconv maps it, taken from iconv once at first use so that
// the conversions themselves are table lookups.
struct GbkTables {
    // The unit of each lead byte (0x81-0xFE) followed by each byte; 0 where iconv refuses the
    // pair (unmapped, user-defined, or no trail byte).
    char16_t pairUnits[126][256];
    // The unit of each byte from 0x80 on that forms no pair: the euro sign for 0x80, else '?'.
    char16_t loneHighByteUnits[128];
    // The code of each UTF-16 unit from 0x80 on: one byte in the low byte, or lead << 8 | trail;
    // 0 where GBK lacks the character (surrogates included).
    std::uint16_t codes[65536];
    // False when iconv lacks the code page: every conversion then gives nothing.
    bool complete;
};

// Built on first use, then shared; safe to call from any thread.
const GbkTables& gbkTables();

inline bool isGbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

inline bool isGbkTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}
