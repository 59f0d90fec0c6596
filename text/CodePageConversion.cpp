#include "text/CodePageConversion.h"

#include "platform/codepage/CodePage.h"
#include "text/PiecewiseConversion.h"

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

// The bytes of a Text up to its first zero byte, where the Windows functions stop with -1.
std::string_view upToZero(const std::string& bytes) {
    return std::string_view(bytes.c_str());
}

} // namespace

Bytes codePageToUtf16(const Text& text, std::uint32_t codePage) {
    if (text.empty() || tooLong(text.size())) {
        return {};
    }
    Bytes units;
    const std::string_view bytes = upToZero(text);
    // Room for the terminator's unit too, so that adding it moves nothing.
    units.reserve(bytes.size() * 2 + 2);
    if (!appendUtf16(bytes, codePage, units)) {
        return {};
    }
    units.append(2, '\0');
    return units;
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
    if (tooLong(text.size())) {
        return {};
    }
    return gbkFromUtf8(upToZero(text));
}

Text utf8BytesToGbkText(const Bytes& bytes) {
    // Only a zero byte gives a zero byte, and it ends any sequence before it, so converting
    // the bytes before it gives the text before the converted one.
    if (tooLong(bytes.size())) {
        return {};
    }
    const std::size_t zero = bytes.find('\0');
    return gbkFromUtf8(std::string_view(bytes).substr(0, zero));
}

Bytes gbkToUtf16(const Text& text) {
    return codePageToUtf16(text, gbkCodePage);
}

std::size_t gbkToUtf16Bound(const Text& text) {
    // At most one unit a byte, and the NUL unit.
    return text.empty() || tooLong(text.size()) ? 0 : (std::strlen(text.c_str()) + 1) * 2;
}

std::size_t gbkToUtf16Into(const Text& text, char* out) {
    const std::size_t room = gbkToUtf16Bound(text);
    if (room == 0) {
        return 0;
    }
    // The bound counted the bytes up to the zero byte, so the length goes along explicitly.
    auto* units = reinterpret_cast<char16_t*>(out);
    const int length = static_cast<int>(room / 2);
    const int count = MultiByteToWideChar(gbkCodePage, 0, text.c_str(), length, units, length);
    if constexpr (std::endian::native == std::endian::big) {
        for (int i = 0; i < count; ++i) {
            units[i] = static_cast<char16_t>(units[i] << 8 | units[i] >> 8);
        }
    }
    return static_cast<std::size_t>(count) * 2;
}

Text utf16BytesToGbkText(const Bytes& bytes) {
    if (tooLong(bytes.size())) {
        return {};
    }
    const std::size_t count = bytes.size() / 2;
    const std::unique_ptr<char16_t[]> units = unitsFromBytes(bytes, count);
    return textFromUnits(units.get(), count, gbkCodePage, WC_COMPOSITECHECK);
}
