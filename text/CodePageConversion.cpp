#include "text/CodePageConversion.h"

#include "platform/codepage/CodePage.h"

#include <climits>

namespace {

constexpr UINT gbkCodePage = 936;

// UTF-16 Bytes are little-endian whatever the machine.
std::u16string unitsFromBytes(const Bytes& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return units;
}

Bytes bytesFromUnits(const char16_t* units, std::size_t count) {
    Bytes bytes(count * 2, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return bytes;
}

bool tooLong(std::size_t size) {
    return size >= INT_MAX / 4;
}

// `count` units (at least one) into `codePage`; empty when the code page is unknown. The
// buffer is sized for the worst case (three UTF-8 bytes a unit), so one call does it.
Bytes fromUnits(const char16_t* units, std::size_t count, UINT codePage, DWORD flags) {
    Bytes converted(count * 3, '\0');
    const int written =
        WideCharToMultiByte(codePage, flags, units, static_cast<int>(count), converted.data(),
                            static_cast<int>(converted.size()), nullptr, nullptr);
    converted.resize(static_cast<std::size_t>(written));
    return converted;
}

} // namespace

Bytes codePageToUtf16(const Text& text, std::uint32_t codePage) {
    if (text.empty() || tooLong(text.size())) {
        return {};
    }
    // Every byte gives at most one unit; the terminator gives the NUL unit.
    std::u16string units(text.size() + 1, u'\0');
    const int written = MultiByteToWideChar(codePage, 0, text.c_str(), -1, units.data(),
                                            static_cast<int>(units.size()));
    return bytesFromUnits(units.data(), static_cast<std::size_t>(written));
}

Text utf16ToCodePage(const Bytes& bytes, std::uint32_t codePage) {
    if (tooLong(bytes.size())) {
        return {};
    }
    const std::u16string units = unitsFromBytes(bytes);
    const std::size_t nul = units.find(u'\0');
    const std::size_t count = nul == std::u16string::npos ? units.size() : nul + 1;
    if (count == 0) {
        return {};
    }
    return toText(fromUnits(units.data(), count, codePage, 0));
}

Text utf8ToGbk(const Text& text) {
    return utf16ToCodePage(codePageToUtf16(text), gbkCodePage);
}

Text utf8BytesToGbkText(const Bytes& bytes) {
    if (bytes.empty() || tooLong(bytes.size())) {
        return {};
    }
    std::u16string units(bytes.size(), u'\0');
    const int written =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), units.data(),
                            static_cast<int>(units.size()));
    if (written <= 0) {
        return {};
    }
    return dataFromBytes(fromUnits(units.data(), static_cast<std::size_t>(written), gbkCodePage, 0),
                         textKind);
}

Bytes gbkToUtf16(const Text& text) {
    return codePageToUtf16(text, gbkCodePage);
}

Text utf16BytesToGbkText(const Bytes& bytes) {
    if (tooLong(bytes.size())) {
        return {};
    }
    const std::u16string units = unitsFromBytes(bytes);
    if (units.empty()) {
        return {};
    }
    return dataFromBytes(fromUnits(units.data(), units.size(), gbkCodePage, WC_COMPOSITECHECK),
                         textKind);
}
