#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {

// A stable sort of rows by keys read one 64-bit word at a time, most significant first
// (a radix sort by words, each level a comparison sort): rows sharing their first words
// are sorted by the next word only among themselves, so texts that share long beginnings
// cost one more pass each instead of long comparisons.
//   keyAt(row, level)      the level-th word of the row's key (0 past its end)
//   exhausted(row, level)  the key has nothing beyond that word
//   finalLess(a, b)        orders rows whose words were all equal (false when they are equal)
template <class KeyAt, class Exhausted, class FinalLess>
void sortByKeyWords(uint32_t* rows, size_t n, bool descending, KeyAt keyAt, Exhausted exhausted, FinalLess finalLess) {
    struct Keyed {
        uint64_t key;
        uint32_t at;  // place in the range before sorting: equal keys keep their order by it
    };
    struct Range {
        size_t begin, end;
        unsigned level;
    };
    std::vector<Range> work;
    if (n > 1) work.push_back({0, n, 0});
    std::vector<Keyed> entries;
    std::vector<uint32_t> moved;
    while (!work.empty()) {
        const Range r = work.back();
        work.pop_back();
        const size_t m = r.end - r.begin;
        entries.resize(m);
        bool allSame = true;
        for (size_t i = 0; i < m; ++i) {
            entries[i] = {keyAt(rows[r.begin + i], r.level), uint32_t(i)};
            allSame = allSame && entries[i].key == entries[0].key;
        }
        if (!allSame) {
            // Unstable sort on (key, place) is stable on the key, without a merge buffer.
            if (descending)
                std::sort(entries.begin(), entries.end(), [](const Keyed& a, const Keyed& b) {
                    return a.key != b.key ? a.key > b.key : a.at < b.at;
                });
            else
                std::sort(entries.begin(), entries.end(), [](const Keyed& a, const Keyed& b) {
                    return a.key != b.key ? a.key < b.key : a.at < b.at;
                });
            moved.resize(m);
            for (size_t i = 0; i < m; ++i) moved[i] = rows[r.begin + entries[i].at];
            std::copy(moved.begin(), moved.end(), rows + r.begin);
        }
        for (size_t g = 0; g < m;) {
            size_t h = g + 1;
            while (h < m && entries[h].key == entries[g].key) ++h;
            if (h - g > 1) {
                bool done = true;
                for (size_t i = g; i < h && done; ++i) done = exhausted(rows[r.begin + i], r.level);
                if (!done) {
                    work.push_back({r.begin + g, r.begin + h, r.level + 1});
                } else if (descending) {
                    std::stable_sort(rows + r.begin + g, rows + r.begin + h, [&](uint32_t a, uint32_t b) { return finalLess(b, a); });
                } else {
                    std::stable_sort(rows + r.begin + g, rows + r.begin + h, finalLess);
                }
            }
            g = h;
        }
    }
}

}  // namespace platform
