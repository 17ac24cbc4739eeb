#pragma once

#include "platform/pod_buffer.h"

#include <QLocale>
#include <QStringView>
#include <array>
#include <cstdint>
#include <functional>

// The locale's collation as keys: one sort key per text, all in one buffer, compared as
// bytes. They order texts exactly as QCollator does for the same locale, ignoring case,
// without a key object per text.
namespace platform {

class CollationKeys {
public:
    // False when the locale has no collation here (the caller compares otherwise). Long
    // lists are keyed in two halves on two threads at once, so `text` must only read.
    bool build(const QLocale& locale, qsizetype rows, const std::function<QStringView(uint32_t)>& text);

    // The level-th 8 bytes of a row's key, big-endian, 0 past its end.
    uint64_t word(uint32_t row, unsigned level) const {
        const Part& p = partOf(row);
        row -= p.firstRow;
        const uint32_t from = row == 0 ? 0 : p.ends[row - 1], to = p.ends[row];
        const uint32_t at = from + level * 8;
        uint64_t w = 0;
        for (uint32_t k = 0; k < 8; ++k) w = (w << 8) | (at + k < to ? p.bytes[at + k] : 0);
        return w;
    }
    bool exhausted(uint32_t row, unsigned level) const {
        const Part& p = partOf(row);
        row -= p.firstRow;
        const uint32_t from = row == 0 ? 0 : p.ends[row - 1];
        return p.ends[row] - from <= (level + 1) * 8;
    }

private:
    struct Part {
        uint32_t firstRow = 0;
        PodBuffer<uint8_t> bytes;  // keys back to back; a key never holds a 0 byte
        PodBuffer<uint32_t> ends;
    };
    const Part& partOf(uint32_t row) const { return row < parts_[1].firstRow ? parts_[0] : parts_[1]; }

    std::array<Part, 2> parts_;
};

}  // namespace platform
