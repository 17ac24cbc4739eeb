#pragma once

#include "platform/pod_buffer.h"
#include "platform/sort/key_sort.h"
#include "platform/sort/locale_collator.h"

#include <QLocale>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The locale's collation as keys: one sort key per text, back to back in a buffer (one per
// thread that built them), compared as bytes. They order texts exactly as QCollator does for
// the same locale, ignoring case, without a key object per text. Long lists are keyed on two
// threads at once, so the text
// functions handed in must only read.
namespace platform {

class CollationKeys {
public:
    using TextAt = std::function<QStringView(uint32_t index)>;

    CollationKeys();
    ~CollationKeys();

    // False when the locale has no collation here (the caller compares otherwise).
    bool open(const QLocale& locale);

    // The first 16 bits of the keys of texts 0 to n - 1, without building the keys: they
    // order texts as their whole keys do, ties apart.
    std::vector<uint16_t> firstBits(uint32_t n, const TextAt& text) const;

    // Keys texts 0 to n - 1, in place of those held; false when they would pass 4 Gi bytes or
    // the platform cannot key a text.
    bool build(uint32_t n, const TextAt& text);

    // The level-th 8 bytes of a text's key, big-endian, 0 past its end, and whether the key
    // ends within them.
    KeyWord keyWord(uint32_t index, unsigned level) const {
        const Part& p = partOf(index);
        index -= p.first;
        const uint32_t from = index == 0 ? 0 : p.ends[index - 1], to = p.ends[index];
        const uint32_t at = from + level * 8;
        uint64_t w = 0;
        for (uint32_t k = 0; k < 8; ++k) w = (w << 8) | (at + k < to ? p.bytes[at + k] : 0);
        return {w, to - from <= (level + 1) * 8};
    }

private:
    struct Part {
        uint32_t first = 0;
        PodBuffer<uint8_t> bytes;  // keys back to back; a key never holds a 0 byte
        PodBuffer<uint32_t> ends;
    };
    const Part& partOf(uint32_t index) const { return index < parts_[1].first ? parts_[0] : parts_[1]; }
    // Runs work(collator, from, to) over [0, n): in two halves on two threads when long.
    template <class Work>
    void inHalves(uint32_t n, Work work) const;

    std::unique_ptr<LocaleCollator> collator_;
    std::unique_ptr<LocaleCollator> second_;  // a clone for the second thread; null when none
    Part parts_[2];
};

}  // namespace platform
