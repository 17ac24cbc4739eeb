#include "platform/sort/sort_strategies.h"

#include "platform/sort/collation_keys.h"
#include "platform/sort/folded_text.h"
#include "platform/sort/key_sort.h"

#include <QCollator>
#include <algorithm>
#include <array>
#include <numeric>

namespace platform {

void reverseEqualGroups(std::vector<uint32_t>& rows, std::vector<bool>& sameAsPrevious) {
    std::vector<uint32_t> reversed;
    std::vector<bool> same;
    reversed.reserve(rows.size());
    same.reserve(rows.size());
    size_t end = rows.size();
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && sameAsPrevious[begin]) --begin;
        for (size_t i = begin; i < end; ++i) {
            reversed.push_back(rows[i]);
            same.push_back(i != begin);
        }
        end = begin;
    }
    rows = std::move(reversed);
    sameAsPrevious = std::move(same);
}

void sortFolded(std::vector<uint32_t>& rows, const RowText& text, bool descending, std::vector<bool>& sameAsPrevious) {
    sortFolded(rows, text, descending);
    sameAsPrevious.assign(rows.size(), false);
    for (size_t i = 1; i < rows.size(); ++i) sameAsPrevious[i] = compareFolded(text(rows[i - 1]), text(rows[i])) == 0;
}

void sortFolded(std::vector<uint32_t>& rows, const RowText& text, bool descending) {
    sortByKeyWords(
        rows.data(), rows.size(), descending, [&](uint32_t row, unsigned level) { return foldedKey(text(row), qsizetype(level) * 4); },
        [&](uint32_t row, unsigned level) { return text(row).size() <= qsizetype(level + 1) * 4; },
        // Equal folded words and both texts over: they differ at most in trailing U+0000s.
        [&](uint32_t a, uint32_t b) { return text(a).size() < text(b).size(); });
}

namespace {

// A run of rows whose abbreviated keys may tie, put in exact order, stable, and its groups
// of equal cells told. Few rows are compared pair by pair; more by their whole keys.
void sortTiedRun(uint32_t* run, size_t m, const RowText& text, const Collator& collator, bool descending,
                 std::vector<bool>::iterator same) {
    CollationKeys keys;
    if (m <= 16 || !keys.build(collator, m, [&](uint32_t i) { return text(run[i]); })) {
        auto less = [&](uint32_t a, uint32_t b) { return collator.compare(text(a), text(b)) < 0; };
        if (descending) std::stable_sort(run, run + m, [&](uint32_t a, uint32_t b) { return less(b, a); });
        else std::stable_sort(run, run + m, less);
        for (size_t i = 1; i < m; ++i) same[ptrdiff_t(i)] = collator.compare(text(run[i - 1]), text(run[i])) == 0;
        return;
    }
    std::vector<uint32_t> at(m);
    std::iota(at.begin(), at.end(), 0u);
    sortByKeyWords(
        at.data(), m, descending, [&](uint32_t i, unsigned level) { return keys.word(i, level); },
        [&](uint32_t i, unsigned level) { return keys.exhausted(i, level); }, [](uint32_t, uint32_t) { return false; });
    std::vector<uint32_t> sorted(m);
    for (size_t i = 0; i < m; ++i) sorted[i] = run[at[i]];
    std::copy(sorted.begin(), sorted.end(), run);
    for (size_t i = 1; i < m; ++i) same[ptrdiff_t(i)] = keys.equal(at[i - 1], at[i]);
}

}  // namespace

void sortCollated(std::vector<uint32_t>& rows, const RowText& text, qsizetype rowCount, const QLocale& locale,
                  bool descending, std::vector<bool>& sameAsPrevious) {
    sameAsPrevious.assign(rows.size(), false);
    const Collator collator(locale);
    if (collator.valid() && rows.size() < 2) return;
    if (collator.valid()) {
        // Abbreviated keys: the radix sort orders the rows by the first 16 bytes of their sort
        // keys. A row's first word is made when the sort first reads it (at level 0, before
        // any level 1), which keeps the second one here until the second pass.
        PodBuffer<uint64_t> second;
        second.assign(size_t(rowCount), 0);
        sortByKeyWords(
            rows.data(), rows.size(), descending,
            [&](uint32_t row, unsigned level) {
                if (level > 0) return second[row];
                const std::array<uint64_t, 2> key = collator.abbreviatedKey(text(row));
                second[row] = key[1];
                return key[0];
            },
            [&](uint32_t row, unsigned level) { return level > 0 || second[row] == 0; },
            [](uint32_t, uint32_t) { return false; });
        // Rows whose prefixes tie (equal second words; the first ones may tie too) sit next
        // to each other and before or after every other row: only they need the rest of the
        // key. A prefix that holds the whole key is exact; only the groups need telling.
        for (size_t g = 0; g < rows.size();) {
            size_t h = g + 1;
            while (h < rows.size() && second[rows[h]] == second[rows[g]]) ++h;
            if (h - g > 1 && Collator::complete({0, second[rows[g]]})) {
                for (size_t i = g + 1; i < h; ++i)
                    sameAsPrevious[i] = collator.compare(text(rows[i - 1]), text(rows[i])) == 0;
            } else if (h - g > 1) {
                sortTiedRun(rows.data() + g, h - g, text, collator, descending, sameAsPrevious.begin() + ptrdiff_t(g));
            }
            g = h;
        }
        return;
    }
    // No collator of our own for this locale: Qt's, pair by pair.
    QCollator qt(locale);
    qt.setCaseSensitivity(Qt::CaseInsensitive);
    auto less = [&](uint32_t a, uint32_t b) { return qt.compare(text(a), text(b)) < 0; };
    if (descending) std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) { return less(b, a); });
    else std::stable_sort(rows.begin(), rows.end(), less);
    for (size_t i = 1; i < rows.size(); ++i) sameAsPrevious[i] = qt.compare(text(rows[i - 1]), text(rows[i])) == 0;
}

}  // namespace platform
