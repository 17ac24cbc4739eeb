#pragma once

#include "platform/pod_buffer.h"

#include <QLocale>
#include <QStringView>
#include <cstdint>
#include <functional>

// The locale's collation as keys: one sort key per text, all in one buffer, compared as
// bytes. They order texts exactly as QCollator does for the same locale, ignoring case,
// without a key object per text.
namespace platform {

class CollationKeys {
public:
    // False when the locale has no collation here (the caller compares otherwise).
    bool build(const QLocale& locale, qsizetype rows, const std::function<QStringView(uint32_t)>& text);

    // The level-th 8 bytes of a row's key, big-endian, 0 past its end.
    uint64_t word(uint32_t row, unsigned level) const {
        const uint32_t from = row == 0 ? 0 : ends_[row - 1], to = ends_[row];
        const uint32_t at = from + level * 8;
        uint64_t w = 0;
        for (uint32_t k = 0; k < 8; ++k) w = (w << 8) | (at + k < to ? bytes_[at + k] : 0);
        return w;
    }
    bool exhausted(uint32_t row, unsigned level) const {
        const uint32_t from = row == 0 ? 0 : ends_[row - 1];
        return ends_[row] - from <= (level + 1) * 8;
    }
    bool equal(uint32_t a, uint32_t b) const;

private:
    PodBuffer<uint8_t> bytes_;  // keys back to back; a key never holds a 0 byte
    PodBuffer<uint32_t> ends_;
};

}  // namespace platform
