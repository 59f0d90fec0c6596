#include "text/PiecewiseConversion.h"

#include "platform/codepage/CodePage.h"

#include <bit>
#include <memory>

namespace {

constexpr std::size_t pieceBytes = 16 * 1024;

bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// A UTF-8 piece may end before any byte that is no continuation byte: that byte ends whatever
// sequence came before it. A sequence is at most four bytes long, so after four continuation
// bytes in a row none reaches on either.
std::size_t utf8PieceEnd(std::string_view rest) {
    if (rest.size() <= pieceBytes) {
        return rest.size();
    }
    for (std::size_t end = pieceBytes; end > pieceBytes - 4; --end) {
        if (!isContinuation(rest[end])) {
            return end;
        }
    }
    return pieceBytes;
}

// A GBK piece may end before a byte below 0x40: such a byte is never the second byte of a
// character, so it starts one of its own. Text without one for a whole piece goes on to the
// next such byte.
std::size_t gbkPieceEnd(std::string_view rest) {
    if (rest.size() <= pieceBytes) {
        return rest.size();
    }
    for (std::size_t end = pieceBytes; end > 0; --end) {
        if (static_cast<unsigned char>(rest[end]) < 0x40) {
            return end;
        }
    }
    for (std::size_t end = pieceBytes + 1; end < rest.size(); ++end) {
        if (static_cast<unsigned char>(rest[end]) < 0x40) {
            return end;
        }
    }
    return rest.size();
}

// A buffer for one piece, grown only for a piece longer than usual.
template <typename Unit> class PieceBuffer {
  public:
    Unit* reserve(std::size_t count) {
        if (count > capacity_) {
            capacity_ = count;
            units_ = std::make_unique_for_overwrite<Unit[]>(count);
        }
        return units_.get();
    }

  private:
    std::unique_ptr<Unit[]> units_;
    std::size_t capacity_ = 0;
};

} // namespace

bool appendUtf16(std::string_view bytes, std::uint32_t codePage, Bytes& out) {
    const bool utf8 = codePage == CP_UTF8;
    if (!utf8 && codePage != 936 && codePage != CP_ACP) {
        return false;
    }
    // At most one unit a byte.
    out.reserve(out.size() + bytes.size() * 2);
    PieceBuffer<char16_t> buffer;
    while (!bytes.empty()) {
        const std::size_t length = utf8 ? utf8PieceEnd(bytes) : gbkPieceEnd(bytes);
        char16_t* units = buffer.reserve(length);
        const int count = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(length),
                                              units, static_cast<int>(length));
        if constexpr (std::endian::native == std::endian::big) {
            for (int i = 0; i < count; ++i) {
                units[i] = static_cast<char16_t>(units[i] << 8 | units[i] >> 8);
            }
        }
        out.append(reinterpret_cast<const char*>(units), static_cast<std::size_t>(count) * 2);
        bytes.remove_prefix(length);
    }
    return true;
}

Text gbkFromUtf8(std::string_view bytes) {
    // Each UTF-8 character gives at most as many GBK bytes as it has.
    Text out;
    out.reserve(bytes.size());
    PieceBuffer<char> converted;
    while (!bytes.empty()) {
        const std::size_t length = utf8PieceEnd(bytes);
        char* piece = converted.reserve(length);
        const int written = Utf8ToGbk(bytes.data(), static_cast<int>(length), piece);
        out.append(piece, static_cast<std::size_t>(written));
        bytes.remove_prefix(length);
    }
    return out;
}
