#include "platform/codepage/CodePageConverters.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

constexpr const char* nativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
// glibc's CP936 is Windows code page 936: GBK with the euro sign at 0x80.
constexpr const char* gbk = "CP936";

// How many input bytes the sequence that iconv refused at the start of `rest` spans.
using RefusedLength = std::size_t (*)(std::string_view rest);

// One descriptor per direction and thread, reset before every conversion so no state
// carries over between calls.
class Converter {
  public:
    Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Converter() {
        if (ready()) {
            iconv_close(descriptor_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ready() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `input` into `output`, which the caller sized for the worst case, and
    // returns the bytes written. Each sequence iconv refuses becomes `replacement`.
    std::size_t run(std::string_view input, char* output, std::size_t capacity,
                    std::string_view replacement, RefusedLength refusedLength, bool& replaced) {
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output;
        std::size_t outLeft = capacity;
        replaced = false;
        while (inLeft > 0) {
            if (iconv(descriptor_, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) {
                break;
            }
            // EILSEQ: invalid or unconvertible; EINVAL: cut off at the end. E2BIG cannot
            // happen with a worst-case buffer.
            if ((errno != EILSEQ && errno != EINVAL) || outLeft < replacement.size()) {
                break;
            }
            std::memcpy(out, replacement.data(), replacement.size());
            out += replacement.size();
            outLeft -= replacement.size();
            replaced = true;
            const std::size_t skip = refusedLength(std::string_view(in, inLeft));
            in += skip;
            inLeft -= skip;
        }
        return capacity - outLeft;
    }

  private:
    iconv_t descriptor_;
};

bool isGbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool isGbkTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

std::size_t refusedGbkLength(std::string_view rest) {
    const bool pair = rest.size() >= 2 && isGbkLeadByte(static_cast<unsigned char>(rest[0])) &&
                      isGbkTrailByte(static_cast<unsigned char>(rest[1]));
    return pair ? 2 : 1;
}

char16_t unitAt(std::string_view bytes, std::size_t index) {
    char16_t unit;
    std::memcpy(&unit, bytes.data() + index * 2, 2);
    return unit;
}

std::size_t refusedUtf16Length(std::string_view rest) {
    if (rest.size() < 4) {
        return rest.size();
    }
    const char16_t first = unitAt(rest, 0);
    const char16_t second = unitAt(rest, 1);
    const bool pair = first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
    return pair ? 4 : 2;
}

} // namespace

std::size_t gbkToUtf16Units(std::string_view bytes, char16_t* out) {
    thread_local Converter converter(nativeUtf16, gbk);
    if (!converter.ready()) {
        return 0;
    }
    // Every character, replaced or not, is one or two bytes and becomes one unit.
    const char16_t question = u'?';
    bool replaced = false;
    const std::size_t written = converter.run(
        bytes, reinterpret_cast<char*>(out), bytes.size() * 2,
        std::string_view(reinterpret_cast<const char*>(&question), 2), refusedGbkLength, replaced);
    return written / 2;
}

std::size_t utf16UnitsToGbk(std::u16string_view units, std::string_view replacement, char* out,
                            bool& usedReplacement) {
    thread_local Converter converter(gbk, nativeUtf16);
    usedReplacement = false;
    if (!converter.ready()) {
        return 0;
    }
    // A unit gives at most two bytes; so does a replaced character of one or two units.
    const std::string_view input(reinterpret_cast<const char*>(units.data()), units.size() * 2);
    return converter.run(input, out, units.size() * 2, replacement, refusedUtf16Length,
                         usedReplacement);
}
