#include "text/Text.h"

#include <algorithm>

int compareText(const Text& a, const Text& b) {
    const int order = a.compare(b); // char_traits<char> compares as unsigned bytes
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

Text concatText(Text a, const Text& b) {
    a += b;
    return a;
}

Bytes concatBytes(Bytes a, const Bytes& b) {
    a += b;
    return a;
}

int textLength(const Text& t) {
    return static_cast<int>(t.size());
}
int bytesLength(const Bytes& b) {
    return static_cast<int>(b.size());
}
int arraySize(const TextArray& a) {
    return static_cast<int>(a.size());
}

Text leftText(const Text& t, int n) {
    if (n < 1) {
        return {};
    }
    return t.substr(0, static_cast<std::size_t>(n));
}

Text rightText(const Text& t, int n) {
    if (n < 1) {
        return {};
    }
    const std::size_t take = std::min(t.size(), static_cast<std::size_t>(n));
    return t.substr(t.size() - take);
}

Bytes leftBytes(const Bytes& b, int n) {
    return leftText(b, n);
}

Text midText(const Text& t, int pos, int n) {
    if (pos < 1 || static_cast<std::size_t>(pos) > t.size() || n < 1) {
        return {};
    }
    return t.substr(static_cast<std::size_t>(pos) - 1, static_cast<std::size_t>(n));
}

Bytes toBytes(const Text& t) {
    return t;
}

Text toText(const Bytes& b) {
    return b.substr(0, b.find('\0'));
}

Text toText(Bytes&& b) {
    const std::size_t zero = b.find('\0');
    if (zero != Bytes::npos) {
        b.resize(zero);
    }
    return std::move(b);
}

Text dataFromBytes(const Bytes& b, int kind) {
    if (kind != textKind) {
        return {};
    }
    return toText(b);
}

Text blankText(int n) {
    return n < 1 ? Text{} : Text(static_cast<std::size_t>(n), ' ');
}

Bytes blankBytes(int n) {
    return n < 1 ? Bytes{} : Bytes(static_cast<std::size_t>(n), '\0');
}

Text charFromCode(int code) {
    const char byte = static_cast<char>(static_cast<unsigned char>(code));
    if (byte == '\0') {
        return {};
    }
    return Text(1, byte);
}
