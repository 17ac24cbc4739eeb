#include "shim_text.h"

#include <cstring>

namespace odbcshim {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point at `i` of a UTF-8 text, moving `i` past it; invalid bytes give U+FFFD.
char32_t decodeUtf8(std::string_view s, size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int more = 0;
    char32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) more = 1, c = b & 0x1F;
    else if (b >= 0xE0 && b <= 0xEF) more = 2, c = b & 0x0F;
    else if (b >= 0xF0 && b <= 0xF4) more = 3, c = b & 0x07;
    else return 0xFFFD;
    const size_t start = i;
    for (int k = 0; k < more; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            i = start;
            return 0xFFFD;
        }
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    const bool overlong = (more == 2 && c < 0x800) || (more == 3 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    return c;
}

void appendJsonChar(std::string& out, char32_t c) {
    static const char hex[] = "0123456789abcdef";
    switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    // Controls, and the line separators some readers take for line ends.
    if (c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029 || (c >= 0xD800 && c <= 0xDFFF)) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) out += hex[(c >> shift) & 0xF];
        return;
    }
    appendUtf8(out, c);
}

}  // namespace

std::string utf8FromWide(const SQLWCHAR* text, SQLLEN length) {
    std::string out;
    if (!text) return out;
    if (length == SQL_NTS) {
        length = 0;
        while (text[length]) ++length;
    }
    length = withoutTerminator(text, length);
    for (SQLLEN i = 0; i < length; ++i) {
        const char16_t c = text[i];
        if (isHigh(c) && i + 1 < length && isLow(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, isHigh(c) || isLow(c) ? 0xFFFD : c);
        }
    }
    return out;
}

std::u16string wideFromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t c = decodeUtf8(text, i);
        if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::string bytesOf(const SQLCHAR* text, SQLLEN length) {
    if (!text) return {};
    const char* chars = reinterpret_cast<const char*>(text);
    if (length == SQL_NTS) return std::string(chars);
    length = withoutTerminator(text, length);
    return std::string(chars, size_t(length < 0 ? 0 : length));
}

std::string jsonString(std::u16string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isHigh(c) && i + 1 < text.size() && isLow(text[i + 1])) {
            appendJsonChar(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            appendJsonChar(out, c);
        }
    }
    return out + "\"";
}

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size();) appendJsonChar(out, decodeUtf8(utf8, i));
    return out + "\"";
}

bool putNarrow(std::string_view text, void* out, SQLLEN capacity, SQLLEN* length) {
    if (length) *length = SQLLEN(text.size());
    if (!out) return true;  // only the length was asked for
    if (capacity <= 0) return false;
    const size_t room = size_t(capacity) - 1;
    const size_t n = text.size() < room ? text.size() : room;
    std::memcpy(out, text.data(), n);
    static_cast<char*>(out)[n] = '\0';
    return n == text.size();
}

bool putWide(std::string_view utf8, void* out, SQLLEN capacity, SQLLEN* length, bool bytes) {
    const std::u16string wide = wideFromUtf8(utf8);
    const SQLLEN unit = bytes ? SQLLEN(sizeof(SQLWCHAR)) : 1;
    if (length) *length = SQLLEN(wide.size()) * unit;
    const SQLLEN chars = capacity / unit;
    if (!out) return true;
    if (chars <= 0) return false;
    size_t n = wide.size() < size_t(chars - 1) ? wide.size() : size_t(chars - 1);
    if (n < wide.size() && n > 0 && isHigh(wide[n - 1])) --n;  // never half a pair
    auto* dest = static_cast<SQLWCHAR*>(out);
    for (size_t i = 0; i < n; ++i) dest[i] = SQLWCHAR(wide[i]);
    dest[n] = 0;
    return n == wide.size();
}

}  // namespace odbcshim
