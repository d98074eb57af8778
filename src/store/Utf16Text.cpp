#include "store/Utf16Text.h"

namespace vlmr {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

unsigned UnitAt(std::string_view units, std::size_t pos, Utf16Order order) {
    const auto lo = static_cast<unsigned char>(units[pos + (order == Utf16Order::BigEndian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(units[pos + (order == Utf16Order::BigEndian ? 0 : 1)]);
    return lo | (hi << 8);
}

// The code point at pos and the bytes its units take.
char32_t CodePointAt(std::string_view units, std::size_t pos, Utf16Order order, std::size_t& size) {
    size = 2;
    const unsigned first = UnitAt(units, pos, order);
    if (first < 0xD800 || first > 0xDFFF) return first;
    if (first <= 0xDBFF && pos + 4 <= units.size()) {
        const unsigned second = UnitAt(units, pos + 2, order);
        if (second >= 0xDC00 && second <= 0xDFFF) {
            size = 4;
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        }
    }
    return kReplacement;
}

std::size_t Utf8Size(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
        return;
    }
    const std::size_t size = Utf8Size(c);
    static constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(kLead[size] | (c >> (6 * (size - 1)))));
    for (std::size_t i = size - 1; i > 0; --i) out.push_back(static_cast<char>(0x80 | ((c >> (6 * (i - 1))) & 0x3F)));
}

void AppendUnit(std::string& out, unsigned unit, Utf16Order order) {
    const char lo = static_cast<char>(unit & 0xFF);
    const char hi = static_cast<char>(unit >> 8);
    out.push_back(order == Utf16Order::BigEndian ? hi : lo);
    out.push_back(order == Utf16Order::BigEndian ? lo : hi);
}

// The code point of the well-formed UTF-8 sequence at pos (no overlong form,
// no surrogate), or nothing; size is the bytes it takes.
bool DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& c, std::size_t& size) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        c = lead;
        size = 1;
        return true;
    }
    size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (size == 0 || lead > 0xF4 || pos + size > text.size()) return false;
    c = lead & (0x7F >> size);
    for (std::size_t i = 1; i < size; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return false;
        c = (c << 6) | (next & 0x3F);
    }
    return Utf8Size(c) == size && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    char32_t c = 0;
    std::size_t size = 0;
    return DecodeUtf8At(text, pos, c, size) ? size : 0;
}

Utf16Order Utf16OrderOf(std::string_view bytes) {
    if (bytes.substr(0, kUtf16BomSize) == "\xFF\xFE") return Utf16Order::LittleEndian;
    if (bytes.substr(0, kUtf16BomSize) == "\xFE\xFF") return Utf16Order::BigEndian;
    return Utf16Order::None;
}

std::string Utf16ToUtf8(std::string_view units, Utf16Order order) {
    std::string out;
    out.reserve(units.size() / 2);
    std::size_t size = 0;
    for (std::size_t pos = 0; pos + 2 <= units.size(); pos += size) AppendUtf8(out, CodePointAt(units, pos, order, size));
    return out;
}

std::string Utf8ToUtf16(std::string_view utf8, Utf16Order order) {
    std::string out;
    out.reserve(utf8.size() * 2);
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        std::size_t size = 0;
        if (!DecodeUtf8At(utf8, pos, c, size)) {
            c = kReplacement;
            size = 1;
        }
        pos += size;
        if (c >= 0x10000) {
            AppendUnit(out, 0xD800 + ((c - 0x10000) >> 10), order);
            AppendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), order);
        } else {
            AppendUnit(out, c, order);
        }
    }
    return out;
}

std::size_t Utf16OffsetOf(std::string_view units, Utf16Order order, std::size_t offset) {
    std::size_t decoded = 0;
    std::size_t pos = 0;
    std::size_t size = 0;
    for (; pos + 2 <= units.size() && decoded < offset; pos += size) decoded += Utf8Size(CodePointAt(units, pos, order, size));
    return pos;
}

bool IsValidUtf8(std::string_view text) {
    char32_t c = 0;
    for (std::size_t pos = 0, size = 0; pos < text.size(); pos += size)
        if (!DecodeUtf8At(text, pos, c, size)) return false;
    return true;
}

}  // namespace vlmr
