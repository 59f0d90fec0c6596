#include "platform/window/Utf8Crossing.h"

#include <algorithm>
#include <cerrno>
#include <functional>

#include <iconv.h>

namespace {

// Windows code page 936, which is what the program's texts are in.
constexpr const char* programCharset = "CP936";

// How many bytes at `bytes` make the character that did not convert.
using UnitLength = std::function<std::size_t(const unsigned char* bytes, std::size_t left)>;

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

    // Converts all of `input`; each sequence that does not convert, `unitLength` bytes long,
    // becomes '?'.
    void run(const std::string& input, const UnitLength& unitLength, std::string& output) {
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
            std::size_t skip = unitLength(reinterpret_cast<const unsigned char*>(in), inLeft);
            in += skip;
            inLeft -= skip;
            output += '?';
        }
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(handle, nullptr, nullptr, &out, &outLeft); // the closing shift sequence, if any
        output.append(buffer, static_cast<std::size_t>(out - buffer));
    }

    enum class Reading { whole, begun, broken };

    // How the source set reads exactly `length` bytes on their own: as whole characters, as
    // the beginning of one, or not at all.
    Reading read(const unsigned char* bytes, std::size_t length) {
        iconv(handle, nullptr, nullptr, nullptr, nullptr); // from the initial state
        char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
        char buffer[64];
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(handle, &in, &length, &out, &outLeft) != static_cast<std::size_t>(-1))
            return Reading::whole;
        return errno == EINVAL ? Reading::begun : Reading::broken;
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

std::string convertLeniently(const std::string& input, const std::string& to,
                             const std::string& from, const UnitLength& unitLength) {
    std::string output;
    if (input.empty())
        return output;
    Converter converter(to, from);
    if (!converter.opened())
        return {};
    converter.run(input, unitLength, output);
    return output;
}

// The character of `reader`'s source set at `bytes`: the shortest run it reads whole, else the
// longest run it still takes for a beginning (a broken or cut-off character), at least one byte.
std::size_t characterLength(Converter& reader, const unsigned char* bytes, std::size_t left) {
    constexpr std::size_t longestCharacter = 8;
    std::size_t begun = 1;
    for (std::size_t length = 1; length <= std::min(left, longestCharacter); ++length) {
        Converter::Reading reading = reader.read(bytes, length);
        if (reading == Converter::Reading::whole)
            return length;
        if (reading == Converter::Reading::broken)
            return begun;
        begun = length;
    }
    return begun;
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
    Converter reader("UTF-32LE", from);
    if (!reader.opened())
        return {};
    return convertLeniently(bytes, to, from, [&reader](const unsigned char* at, std::size_t left) {
        return characterLength(reader, at, left);
    });
}
