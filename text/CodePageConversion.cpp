#include "text/CodePageConversion.h"

#include "platform/codepage/CodePage.h"

#include <bit>
#include <climits>
#include <cstring>
#include <memory>

namespace {

constexpr UINT gbkCodePage = 936;

// Inputs this long could overflow the Windows functions' int lengths.
bool tooLong(std::size_t size) {
    return size >= INT_MAX / 4;
}

// UTF-16 Bytes are little-endian whatever the machine.
std::unique_ptr<char16_t[]> unitsFromBytes(const Bytes& bytes, std::size_t count) {
    auto units = std::make_unique_for_overwrite<char16_t[]>(count + 1);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(units.get(), bytes.data(), count * 2);
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                             static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        }
    }
    return units;
}

Bytes bytesFromUnits(const char16_t* units, std::size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
        return Bytes(reinterpret_cast<const char*>(units), count * 2);
    }
    Bytes bytes(count * 2, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return bytes;
}

// `count` units into `codePage`, read as Text up to the first zero byte; empty when the
// code page is unknown. The buffer holds the worst case (three UTF-8 bytes a unit), so the
// conversion runs once.
Text textFromUnits(const char16_t* units, std::size_t count, UINT codePage, DWORD flags) {
    if (count == 0) {
        return {};
    }
    const std::size_t capacity = count * (codePage == CP_UTF8 ? 3 : 2);
    const auto converted = std::make_unique_for_overwrite<char[]>(capacity);
    const int written =
        WideCharToMultiByte(codePage, flags, units, static_cast<int>(count), converted.get(),
                            static_cast<int>(capacity), nullptr, nullptr);
    const std::size_t size = static_cast<std::size_t>(written);
    const void* zero = std::memchr(converted.get(), '\0', size);
    return Text(converted.get(), zero ? static_cast<const char*>(zero) - converted.get() : size);
}

// Every byte gives at most one unit, and a length of -1 adds the NUL unit.
std::size_t toUnits(const char* bytes, int length, UINT codePage,
                    std::unique_ptr<char16_t[]>& units) {
    const std::size_t capacity = (length == -1 ? std::strlen(bytes) : length) + 1;
    units = std::make_unique_for_overwrite<char16_t[]>(capacity);
    const int written =
        MultiByteToWideChar(codePage, 0, bytes, length, units.get(), static_cast<int>(capacity));
    return static_cast<std::size_t>(written);
}

} // namespace

Bytes codePageToUtf16(const Text& text, std::uint32_t codePage) {
    if (text.empty() || tooLong(text.size())) {
        return {};
    }
    std::unique_ptr<char16_t[]> units;
    const std::size_t count = toUnits(text.c_str(), -1, codePage, units);
    return bytesFromUnits(units.get(), count);
}

Text utf16ToCodePage(const Bytes& bytes, std::uint32_t codePage) {
    if (tooLong(bytes.size())) {
        return {};
    }
    std::size_t count = bytes.size() / 2;
    const std::unique_ptr<char16_t[]> units = unitsFromBytes(bytes, count);
    // Up to and including the first NUL unit.
    if (const char16_t* nul = std::char_traits<char16_t>::find(units.get(), count, u'\0')) {
        count = static_cast<std::size_t>(nul - units.get()) + 1;
    }
    return textFromUnits(units.get(), count, codePage, 0);
}

Text utf8ToGbk(const Text& text) {
    // The same as utf16ToCodePage(codePageToUtf16(text), 936), without the Bytes between.
    if (text.empty() || tooLong(text.size())) {
        return {};
    }
    std::unique_ptr<char16_t[]> units;
    const std::size_t count = toUnits(text.c_str(), -1, CP_UTF8, units);
    return textFromUnits(units.get(), count, gbkCodePage, 0);
}

Text utf8BytesToGbkText(const Bytes& bytes) {
    if (bytes.empty() || tooLong(bytes.size())) {
        return {};
    }
    std::unique_ptr<char16_t[]> units;
    const std::size_t count = toUnits(bytes.data(), static_cast<int>(bytes.size()), CP_UTF8, units);
    return textFromUnits(units.get(), count, gbkCodePage, 0);
}

Bytes gbkToUtf16(const Text& text) {
    return codePageToUtf16(text, gbkCodePage);
}

Text utf16BytesToGbkText(const Bytes& bytes) {
    if (tooLong(bytes.size())) {
        return {};
    }
    const std::size_t count = bytes.size() / 2;
    const std::unique_ptr<char16_t[]> units = unitsFromBytes(bytes, count);
    return textFromUnits(units.get(), count, gbkCodePage, WC_COMPOSITECHECK);
}
