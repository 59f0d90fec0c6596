#include "platform/codepage/CodePage.h"

#include "platform/codepage/CodePageConverters.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

enum class Encoding { unknown, gbk, utf8 };

Encoding encodingOf(UINT codePage) {
    switch (codePage) {
    case CP_ACP: // the systems served run with 936 as their system code page
    case 936:
        return Encoding::gbk;
    case CP_UTF8:
        return Encoding::utf8;
    default:
        return Encoding::unknown;
    }
}

bool badLengths(const void* input, int inputLength, const void* output, int outputLength) {
    return input == nullptr || inputLength == 0 || inputLength < -1 || outputLength < 0 ||
           (output == nullptr && outputLength != 0);
}

// Runs `convert` the Windows way: returns the size needed when `capacity` is 0, else the size
// written, or 0 when it does not fit. A caller's buffer that holds the worst case is written
// directly; otherwise the result goes through a scratch buffer.
template <typename Char, typename Convert>
int convertInto(std::size_t worstCase, Char* output, int capacity, Convert convert) {
    if (capacity > 0 && worstCase <= static_cast<std::size_t>(capacity)) {
        return static_cast<int>(convert(output));
    }
    const auto scratch =
        std::make_unique_for_overwrite<Char[]>(std::max<std::size_t>(worstCase, 1));
    const std::size_t size = convert(scratch.get());
    if (size > static_cast<std::size_t>(INT_MAX) ||
        (capacity != 0 && size > static_cast<std::size_t>(capacity))) {
        return 0;
    }
    if (capacity != 0) {
        std::copy(scratch.get(), scratch.get() + size, output);
    }
    return static_cast<int>(size);
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, const char* multiByte, int multiByteLength,
                        WCHAR* wide, int wideLength) {
    const Encoding encoding = encodingOf(codePage);
    if (encoding == Encoding::unknown || badLengths(multiByte, multiByteLength, wide, wideLength)) {
        return 0;
    }
    const std::size_t length = multiByteLength == -1 ? std::strlen(multiByte) + 1
                                                     : static_cast<std::size_t>(multiByteLength);
    const std::string_view input(multiByte, length);
    return convertInto(length, wide, wideLength, [&](WCHAR* out) {
        return encoding == Encoding::gbk ? gbkToUtf16Units(input, out)
                                         : utf8ToUtf16Units(input, out);
    });
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int wideLength,
                        char* multiByte, int multiByteLength, const char* defaultChar,
                        BOOL* usedDefaultChar) {
    const Encoding encoding = encodingOf(codePage);
    if (encoding == Encoding::unknown || badLengths(wide, wideLength, multiByte, multiByteLength)) {
        return 0;
    }
    // As on Windows, UTF-8 takes neither flags nor a default character.
    if (encoding == Encoding::utf8 &&
        (flags != 0 || defaultChar != nullptr || usedDefaultChar != nullptr)) {
        return 0;
    }
    std::size_t length = static_cast<std::size_t>(wideLength);
    if (wideLength == -1) {
        length = std::char_traits<char16_t>::length(wide) + 1;
    }
    std::u16string_view input(wide, length);
    if (encoding == Encoding::utf8) {
        return convertInto(length * 3, multiByte, multiByteLength,
                           [&](char* out) { return utf16UnitsToUtf8(input, out); });
    }
    std::u16string composed;
    if ((flags & WC_COMPOSITECHECK) != 0 && hasCombiningMark(input)) {
        composed = composeForGbk(input);
        input = composed;
    }
    std::string_view replacement = "?";
    if (defaultChar != nullptr && defaultChar[0] != '\0') {
        const bool twoBytes =
            static_cast<unsigned char>(defaultChar[0]) >= 0x81 && defaultChar[1] != '\0';
        replacement = std::string_view(defaultChar, twoBytes ? 2 : 1);
    }
    bool usedReplacement = false;
    const int result = convertInto(input.size() * 2, multiByte, multiByteLength, [&](char* out) {
        return utf16UnitsToGbk(input, replacement, out, usedReplacement);
    });
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = usedReplacement ? 1 : 0;
    }
    return result;
}

int Utf8ToGbk(const char* utf8, int utf8Length, char* gbk) {
    if (utf8 == nullptr || gbk == nullptr || utf8Length <= 0) {
        return 0;
    }
    return static_cast<int>(
        utf8ToGbkBytes(std::string_view(utf8, static_cast<std::size_t>(utf8Length)), gbk));
}
