#pragma once

#include <QChar>
#include <QStringView>
#include <cstdint>

// Text compared ignoring case, character by character, as the sort of the C locale and the
// search indexes both compare it: one folding, so the two never disagree.
namespace platform {

inline char16_t foldedChar(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

// Four folded characters of `text` from `from`, packed high to low; missing ones are 0.
inline uint64_t foldedKey(QStringView text, qsizetype from) {
    uint64_t key = 0;
    const char16_t* p = text.utf16();
    for (qsizetype k = from; k < from + 4; ++k) key = (key << 16) | (k < text.size() ? foldedChar(p[k]) : 0);
    return key;
}

// Eight folded characters the same way, a byte each: for texts whose folded characters are
// all below U+0100.
inline uint64_t narrowFoldedKey(QStringView text, qsizetype from) {
    uint64_t key = 0;
    const char16_t* p = text.utf16();
    for (qsizetype k = from; k < from + 8; ++k) key = (key << 8) | (k < text.size() ? foldedChar(p[k]) : 0);
    return key;
}

// <0, 0 or >0, as `a` sorts before, with or after `b`.
int compareFolded(QStringView a, QStringView b);
bool startsWithFolded(QStringView text, QStringView key);

}  // namespace platform
