#include "platform/window/Utf8Crossing.h"

#include <cerrno>

#include <iconv.h>

namespace {

// Windows code page 936, which is what the program's texts are in.
constexpr const char* programCharset = "CP936";

// How many bytes at `bytes` make the character that did not convert.
using UnitLength = std::size_t (*)(const unsigned char* bytes, std::size_t left);

class Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : handle(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (opened())
            iconv_close(handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool opened() const { return handle != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `input`. A sequence that does not convert is replaced by '?' when
    // `unitLength` says how long it is; without `unitLength` it fails the whole conversion.
    bool run(const std::string& input, UnitLength unitLength, std::string& output) {
        char buffer[4096];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t result = iconv(handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG)
                continue;
            if (!unitLength)
                return false;
            std::size_t skip = unitLength(reinterpret_cast<const unsigned char*>(in), inLeft);
            in += skip;
            inLeft -= skip;
            output += '?';
        }
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(handle, nullptr, nullptr, &out, &outLeft); // the closing shift sequence, if any
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        return true;
    }

  private:
    iconv_t handle;
};

// A lead byte with a valid trail byte is one character; anything else is skipped bytewise.
std::size_t gbkUnitLength(const unsigned char* bytes, std::size_t left) {
    bool lead = bytes[0] >= 0x81 && bytes[0] <= 0xFE;
    bool trail = left >= 2 && bytes[1] >= 0x40 && bytes[1] <= 0xFE && bytes[1] != 0x7F;
    return lead && trail ? 2 : 1;
}

std::size_t utf8UnitLength(const unsigned char* bytes, std::size_t left) {
    unsigned char lead = bytes[0];
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length <= left ? length : left;
}

std::string convertLeniently(const std::string& input, const char* to, const char* from,
                             UnitLength unitLength) {
    std::string output;
    if (input.empty())
        return output;
    Converter converter(to, from);
    if (!converter.opened() || !converter.run(input, unitLength, output))
        return {};
    return output;
}

} // namespace

std::string utf8FromText(const Text& text) {
    return convertLeniently(text, "UTF-8", programCharset, gbkUnitLength);
}

Text textFromUtf8(const char* utf8) {
    if (!utf8)
        return {};
    return convertLeniently(utf8, programCharset, "UTF-8", utf8UnitLength);
}

Bytes convertCharset(const Bytes& bytes, const std::string& from, const std::string& to) {
    Converter converter(to, from);
    Bytes output;
    if (!converter.opened() || !converter.run(bytes, nullptr, output))
        return {};
    return output;
}
