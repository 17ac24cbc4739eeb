#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {

// A stable sort of rows by keys read one 64-bit word at a time, most significant first
// (a radix sort by words; within a level, long ranges are ordered by a byte radix sort and
// short ones by comparison): rows sharing their first words are sorted by the next word
// only among themselves, so texts that share long beginnings cost one more pass each
// instead of long comparisons. Each row's words are asked for once each, level by level.
//   keyAt(row, level)   the level-th word of the row's key (0 past its end), as a KeyWord
//                       that also tells whether the key has nothing beyond it
//   finalLess(a, b)     orders rows whose words were all equal (false when they are equal)
//   tied(begin, end)    told of each run of positions whose words were all equal, once
//                       finalLess has ordered it
struct KeyWord {
    uint64_t word;
    bool last;
};

namespace keysort_detail {

// Sorts a range of rows by their keys, stable (descending too); `keys` and `rows` come in
// the range's current order and leave in the sorted one. Long ranges go by bytes, least
// significant first (a radix sort: no comparisons, and the bytes every key shares are
// skipped); short ones by comparison.
inline void sortRange(std::vector<uint64_t>& keys, uint32_t* rows, bool descending, std::vector<uint64_t>& keysTmp,
                      std::vector<uint32_t>& idsTmp) {
    const size_t m = keys.size();
    keysTmp.resize(m);
    idsTmp.resize(m);
    if (m < 512) {
        std::vector<uint32_t> at(m);
        for (size_t i = 0; i < m; ++i) at[i] = uint32_t(i);
        std::sort(at.begin(), at.end(), [&](uint32_t a, uint32_t b) {
            if (keys[a] != keys[b]) return descending ? keys[a] > keys[b] : keys[a] < keys[b];
            return a < b;
        });
        for (size_t i = 0; i < m; ++i) {
            keysTmp[i] = keys[at[i]];
            idsTmp[i] = rows[at[i]];
        }
        keys.swap(keysTmp);
        std::copy(idsTmp.begin(), idsTmp.end(), rows);
        return;
    }
    std::vector<uint32_t> counts(8 * 256, 0);
    for (uint64_t k : keys)
        for (int b = 0; b < 8; ++b) ++counts[size_t(b) * 256 + ((k >> (8 * b)) & 0xff)];
    // The rows move between the range itself and idsTmp, pass by pass.
    uint32_t* from = rows;
    uint32_t* to = idsTmp.data();
    for (int b = 0; b < 8; ++b) {
        uint32_t* c = &counts[size_t(b) * 256];
        if (c[(keys[0] >> (8 * b)) & 0xff] == m) continue;  // every key has this byte
        uint32_t start[256];
        uint32_t sum = 0;
        for (int v = 0; v < 256; ++v) {
            const int bucket = descending ? 255 - v : v;
            start[bucket] = sum;
            sum += c[bucket];
        }
        for (size_t i = 0; i < m; ++i) {
            const uint32_t at = start[(keys[i] >> (8 * b)) & 0xff]++;
            keysTmp[at] = keys[i];
            to[at] = from[i];
        }
        keys.swap(keysTmp);
        std::swap(from, to);
    }
    if (from != rows) std::copy(from, from + m, rows);
}

// Splits rows by the top 16 bits of their keys (a stable counting sort), so that the work
// after it can hold its scratch for one part at a time, not for every row at once. `top[i]`
// belongs to rows[i]; each part of two rows or more is handed to `part`, in order.
template <class Part>
void splitByTopBits(uint32_t* rows, size_t n, bool descending, std::vector<uint16_t> top, Part part) {
    std::vector<uint32_t> starts(size_t(1) << 16, 0);
    for (size_t i = 0; i < n; ++i) ++starts[top[i]];
    uint32_t sum = 0;
    for (size_t v = 0; v < starts.size(); ++v) {
        const size_t bucket = descending ? starts.size() - 1 - v : v;
        const uint32_t count = starts[bucket];
        starts[bucket] = sum;
        sum += count;
    }
    {
        std::vector<uint32_t> sorted(n);
        for (size_t i = 0; i < n; ++i) sorted[starts[top[i]]++] = rows[i];
        std::copy(sorted.begin(), sorted.end(), rows);
    }
    top = {};
    // starts[bucket] is now the end of its part; parts follow each other in the sorted order.
    size_t begin = 0;
    for (size_t v = 0; v < starts.size(); ++v) {
        const size_t end = starts[descending ? starts.size() - 1 - v : v];
        if (end - begin > 1) part(begin, end);
        begin = end;
    }
}

// Reading rows this many or more goes by blocks of rows (forEachByRowBlock).
inline constexpr size_t kByRowBlockFrom = size_t(1) << 14;

// The places 0 to m - 1 of ids[0, m) into `places`, ordered by the blocks of 2^14 rows their
// rows lie in (a counting sort): rows in a sorted order lie all over memory, and reading them
// block by block keeps each block's texts in the caches meanwhile.
inline void placesByRowBlock(const uint32_t* ids, size_t m, std::vector<uint32_t>& places) {
    places.resize(m);
    if (m < kByRowBlockFrom) {
        for (size_t i = 0; i < m; ++i) places[i] = uint32_t(i);
        return;
    }
    constexpr int kShift = 14;
    std::vector<uint32_t> start((size_t(*std::max_element(ids, ids + m)) >> kShift) + 2, 0);
    for (size_t i = 0; i < m; ++i) ++start[(ids[i] >> kShift) + 1];
    for (size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    for (size_t i = 0; i < m; ++i) places[start[ids[i] >> kShift]++] = uint32_t(i);
}

// Calls visit(i) for each place i of ids[0, m) in that order (`scratch` holds the places).
template <class Visit>
void forEachByRowBlock(const uint32_t* ids, size_t m, std::vector<uint32_t>& scratch, Visit visit) {
    if (m < kByRowBlockFrom) {
        for (size_t i = 0; i < m; ++i) visit(i);
        return;
    }
    placesByRowBlock(ids, m, scratch);
    for (uint32_t i : scratch) visit(i);
}

}  // namespace keysort_detail

template <class KeyAt, class FinalLess, class Tied>
void sortByKeyWords(uint32_t* rows, size_t n, bool descending, KeyAt keyAt, FinalLess finalLess, Tied tied) {
    struct Range {
        size_t begin, end;
        unsigned level;
    };
    std::vector<Range> work;
    if (n > 1) work.push_back({0, n, 0});
    std::vector<uint64_t> keys, keysTmp;
    std::vector<uint32_t> idsTmp;
    // Per row: its key goes on past the word read last.
    std::vector<bool> more(n > 1 ? size_t(*std::max_element(rows, rows + n)) + 1 : 0);
    while (!work.empty()) {
        const Range r = work.back();
        work.pop_back();
        const size_t m = r.end - r.begin;
        keys.resize(m);
        uint32_t* ids = rows + r.begin;
        keysort_detail::forEachByRowBlock(ids, m, idsTmp, [&](size_t i) {
            const KeyWord k = keyAt(ids[i], r.level);
            keys[i] = k.word;
            more[ids[i]] = !k.last;
        });
        bool allSame = true;
        for (size_t i = 1; i < m && allSame; ++i) allSame = keys[i] == keys[0];
        if (!allSame) keysort_detail::sortRange(keys, ids, descending, keysTmp, idsTmp);
        for (size_t g = 0; g < m;) {
            size_t h = g + 1;
            while (h < m && keys[h] == keys[g]) ++h;
            if (h - g > 1) {
                bool done = true;
                for (size_t i = g; i < h && done; ++i) done = !more[rows[r.begin + i]];
                uint32_t* from = rows + r.begin + g;
                uint32_t* to = rows + r.begin + h;
                if (!done) {
                    work.push_back({r.begin + g, r.begin + h, r.level + 1});
                } else {
                    if (descending) std::stable_sort(from, to, [&](uint32_t a, uint32_t b) { return finalLess(b, a); });
                    else std::stable_sort(from, to, finalLess);
                    tied(r.begin + g, r.begin + h);
                }
            }
            g = h;
        }
    }
}

}  // namespace platform
