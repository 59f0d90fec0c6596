#pragma once

#include <cstdint>

// The code-page conversion functions of the Windows API, as the program calls them.
// The Linux build implements them over iconv with Windows code page 936's table.

using UINT = unsigned int;
using DWORD = std::uint32_t;
using WCHAR = char16_t;
using BOOL = int;

inline constexpr UINT CP_ACP = 0; // the system code page: 936 here
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr DWORD WC_COMPOSITECHECK = 0x200;

// Converts `multiByteLength` bytes (-1: up to and including the NUL) of `codePage` to
// UTF-16. With `wideLength` 0 returns the units needed; else the units written, 0 on failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int multiByteLength,
                        WCHAR* wide, int wideLength);

// Converts `wideLength` units (-1: up to and including the NUL) to `codePage`; a character
// the code page lacks becomes its default character ('?'). With `multiByteLength` 0
// returns the bytes needed; else the bytes written, 0 on failure.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int wideLength,
                        char* multiByte, int multiByteLength, const char* defaultChar,
                        BOOL* usedDefaultChar);

// Not of the Windows API: MultiByteToWideChar from CP_UTF8 followed by WideCharToMultiByte to
// 936, both with flags 0 and no default character, in one pass without the units between.
// Converts `utf8Length` bytes into `gbk`, which has room for as many, and returns the bytes
// written; 0 for a bad length or when code page 936 is missing.
int Utf8ToGbk(const char* utf8, int utf8Length, char* gbk);
