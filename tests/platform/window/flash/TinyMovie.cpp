#include "tests/platform/window/flash/TinyMovie.h"

#include <vector>

namespace {

constexpr int twipsPerPixel = 20;

// Flash packs bit fields most significant bit first, padded to a byte where a whole-byte
// field follows.
class BitWriter {
  public:
    void bits(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (used == 0)
                bytes.push_back(0);
            if ((value >> i) & 1)
                bytes.back() |= static_cast<char>(0x80 >> used);
            used = (used + 1) % 8;
        }
    }
    void signedBits(std::int32_t value, int count) {
        bits(static_cast<std::uint32_t>(value) & ((1u << count) - 1), count);
    }
    void align() { used = 0; }
    void byte(std::uint8_t value) {
        align();
        bytes.push_back(static_cast<char>(value));
    }
    void word(std::uint16_t value) {
        byte(value & 0xff);
        byte(value >> 8);
    }
    void colour(MovieColour value) {
        byte((value >> 16) & 0xff);
        byte((value >> 8) & 0xff);
        byte(value & 0xff);
    }
    // Twips; 16 signed bits hold any stage up to 1638 pixels.
    void rectangle(int xMin, int xMax, int yMin, int yMax) {
        align();
        bits(16, 5);
        for (int value : {xMin, xMax, yMin, yMax})
            signedBits(value, 16);
        align();
    }
    std::string bytes;

  private:
    int used = 0;
};

std::string tag(int code, const std::string& body) {
    BitWriter header;
    header.word(static_cast<std::uint16_t>(code << 6 | static_cast<int>(body.size())));
    return header.bytes + body;
}

std::string defineBox(int left, int top, int right, int bottom, MovieColour box) {
    int x0 = left * twipsPerPixel, y0 = top * twipsPerPixel;
    int x1 = right * twipsPerPixel, y1 = bottom * twipsPerPixel;
    BitWriter shape;
    shape.word(1); // character id
    shape.rectangle(x0, x1, y0, y1);
    shape.byte(1); // one fill style: solid
    shape.byte(0x00);
    shape.colour(box);
    shape.byte(0);    // no line styles
    shape.bits(1, 4); // fill style index bits
    shape.bits(0, 4); // line style index bits
    // Style change: move to the top left corner and take fill style 1.
    shape.bits(0, 1);
    shape.bits(0b00101, 5);
    shape.bits(16, 5);
    shape.signedBits(x0, 16);
    shape.signedBits(y0, 16);
    shape.bits(1, 1);
    // Four straight edges, each horizontal or vertical (16-bit deltas: 14 + 2).
    auto edge = [&](bool vertical, int delta) {
        shape.bits(0b11, 2);
        shape.bits(14, 4);
        shape.bits(0, 1);
        shape.bits(vertical ? 1 : 0, 1);
        shape.signedBits(delta, 16);
    };
    edge(false, x1 - x0);
    edge(true, y1 - y0);
    edge(false, x0 - x1);
    edge(true, y0 - y1);
    shape.bits(0, 6); // end of shape
    shape.align();
    return tag(2, shape.bytes);
}

} // namespace

std::string tinyMovie(int width, int height, MovieColour background, int left, int top, int right,
                      int bottom, MovieColour box) {
    BitWriter colour;
    colour.colour(background);
    BitWriter place;
    place.byte(0x02); // has a character, no matrix
    place.word(1);    // depth
    place.word(1);    // character id
    std::string tags = tag(9, colour.bytes) + defineBox(left, top, right, bottom, box) +
                       tag(26, place.bytes) + tag(1, "") + tag(0, "");

    BitWriter header;
    header.rectangle(0, width * twipsPerPixel, 0, height * twipsPerPixel);
    header.word(12 << 8); // 12 frames a second, 8.8 fixed point
    header.word(1);       // one frame
    std::string movie = "FWS";
    movie += static_cast<char>(6);
    std::uint32_t length = static_cast<std::uint32_t>(8 + header.bytes.size() + tags.size());
    for (int shift = 0; shift < 32; shift += 8)
        movie += static_cast<char>((length >> shift) & 0xff);
    return movie + header.bytes + tags;
}
