#include "platform/codepage/GbkTables.h"

#include <cwchar>
#include <iconv.h>
#include <memory>

namespace {

// glibc's CP936 is Windows code page 936: GBK with the euro sign at 0x80.
constexpr const char* gbk = "CP936";
// glibc's own wide form: one conversion step instead of two through UTF-16, the same mapping.
constexpr const char* wide = "WCHAR_T";

class Descriptor {
  public:
    Descriptor(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Descriptor() {
        if (ready()) {
            iconv_close(descriptor_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool ready() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `input` afresh; the bytes written, or 0 when iconv refuses any of it.
    std::size_t convert(const void* input, std::size_t length, void* output, std::size_t room) {
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        char* in = static_cast<char*>(const_cast<void*>(input));
        char* out = static_cast<char*>(output);
        std::size_t outLeft = room;
        if (iconv(descriptor_, &in, &length, &out, &outLeft) == static_cast<std::size_t>(-1) ||
            length != 0) {
            return 0;
        }
        return room - outLeft;
    }

  private:
    iconv_t descriptor_;
};

// One conversion per code: iconv stops at the first refusal, and a refusal inside a long
// input costs it far more than a short call.
bool fillDecoding(GbkTables& tables) {
    Descriptor decoder(wide, gbk);
    if (!decoder.ready()) {
        return false;
    }
    // A code beyond the BMP would take two units; GBK has none, so such an answer counts as a
    // refusal rather than being cut.
    wchar_t unit = 0;
    const auto decodes = [&](const char* bytes, std::size_t length) {
        return decoder.convert(bytes, length, &unit, sizeof unit) == sizeof unit && unit <= 0xFFFF;
    };
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char single = static_cast<char>(byte);
        const bool known = !isGbkLeadByte(byte) && decodes(&single, 1);
        tables.loneHighByteUnits[byte - 0x80] = known ? static_cast<char16_t>(unit) : u'?';
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int next = 0; next <= 0xFF; ++next) {
            const char pair[] = {static_cast<char>(lead), static_cast<char>(next)};
            tables.pairUnits[lead - 0x81][next] =
                decodes(pair, 2) ? static_cast<char16_t>(unit) : 0;
        }
    }
    return true;
}

bool fillEncoding(GbkTables& tables) {
    Descriptor encoder(gbk, wide);
    if (!encoder.ready()) {
        return false;
    }
    for (std::uint32_t unit = 0x80; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            continue;
        }
        const wchar_t character = static_cast<wchar_t>(unit);
        unsigned char code[4];
        const std::size_t length = encoder.convert(&character, sizeof character, code, sizeof code);
        if (length == 1) {
            tables.codes[unit] = code[0];
        } else if (length == 2) {
            tables.codes[unit] = static_cast<std::uint16_t>(code[0] << 8 | code[1]);
        }
    }
    return true;
}

} // namespace

const GbkTables& gbkTables() {
    static const std::unique_ptr<GbkTables> tables = [] {
        auto made = std::make_unique<GbkTables>(); // zeroed: nothing known yet
        made->complete = fillDecoding(*made) && fillEncoding(*made);
        return made;
    }();
    return *tables;
}
