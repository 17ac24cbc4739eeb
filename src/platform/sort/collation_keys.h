#pragma once

#include "platform/pod_buffer.h"

#include <QLocale>
#include <QStringView>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

struct UCollator;

// The locale's collation as QCollator applies it when case is ignored, in two forms: a
// short prefix of a text's sort key (its abbreviated key) and whole sort keys, both
// compared as bytes, plus the plain comparison of two texts.
namespace platform {

class Collator {
public:
    explicit Collator(const QLocale& locale);
    ~Collator();
    Collator(const Collator&) = delete;
    Collator& operator=(const Collator&) = delete;

    // False when the locale has no collation here (the caller compares otherwise).
    bool valid() const { return collator_ != nullptr; }
    // The first 16 bytes of the text's sort key as two big-endian words, 0 past its end.
    // A key holds no 0 byte, so a 0 last byte tells the key ended within them.
    std::array<uint64_t, 2> abbreviatedKey(QStringView text) const;
    static bool complete(const std::array<uint64_t, 2>& key) { return (key[1] & 0xff) == 0; }

    // <0, 0 or >0 as the texts' order.
    int compare(QStringView a, QStringView b) const;

    UCollator* handle() const { return collator_; }

private:
    UCollator* collator_ = nullptr;
};

// Whole sort keys of some texts, all in one buffer, without a key object per text.
class CollationKeys {
public:
    // The keys of texts 0 to count - 1; false when they do not fit.
    bool build(const Collator& collator, size_t count, const std::function<QStringView(uint32_t)>& text);

    // The level-th 8 bytes of a text's key, big-endian, 0 past its end.
    uint64_t word(uint32_t i, unsigned level) const {
        const uint32_t from = i == 0 ? 0 : ends_[i - 1], to = ends_[i];
        const uint32_t at = from + level * 8;
        uint64_t w = 0;
        for (uint32_t k = 0; k < 8; ++k) w = (w << 8) | (at + k < to ? bytes_[at + k] : 0);
        return w;
    }
    bool exhausted(uint32_t i, unsigned level) const {
        const uint32_t from = i == 0 ? 0 : ends_[i - 1];
        return ends_[i] - from <= (level + 1) * 8;
    }
    bool equal(uint32_t a, uint32_t b) const;

private:
    PodBuffer<uint8_t> bytes_;  // keys back to back; a key never holds a 0 byte
    PodBuffer<uint32_t> ends_;
};

}  // namespace platform
