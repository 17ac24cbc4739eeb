#include "platform/sort/sort_strategies.h"

#include "platform/sort/collation_keys.h"
#include "platform/sort/folded_text.h"
#include "platform/sort/key_sort.h"

#include <QCollator>
#include <algorithm>
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

namespace {

// The level-th four folded characters of a text, and whether the text ends within them.
KeyWord foldedWord(QStringView text, unsigned level) {
    const qsizetype from = qsizetype(level) * 4;
    return {foldedKey(text, from), text.size() <= from + 4};
}

// The same by eight characters, for texts whose folded characters all fit in a byte (Latin-1,
// as most Spanish texts are): half the passes over rows that share long beginnings.
KeyWord narrowFoldedWord(QStringView text, unsigned level) {
    const qsizetype from = qsizetype(level) * 8;
    return {narrowFoldedKey(text, from), text.size() <= from + 8};
}

bool allNarrow(const std::vector<uint32_t>& rows, const RowText& text) {
    bool narrow = true;
    std::vector<uint32_t> scratch;
    keysort_detail::forEachByRowBlock(rows.data(), rows.size(), scratch, [&](size_t i) {
        if (narrow)
            for (QChar c : text(rows[i]))
                if (foldedChar(c.unicode()) > 0xff) narrow = false;
    });
    return narrow;
}

template <class Tied>
void sortFoldedTelling(std::vector<uint32_t>& rows, const RowText& text, bool descending, Tied tied) {
    // Equal folded words and both texts over: they differ at most in trailing U+0000s.
    auto shorter = [&](uint32_t a, uint32_t b) { return text(a).size() < text(b).size(); };
    if (allNarrow(rows, text)) {
        sortByKeyWords(
            rows.data(), rows.size(), descending,
            [&](uint32_t row, unsigned level) { return narrowFoldedWord(text(row), level); }, shorter, tied);
    } else {
        sortByKeyWords(
            rows.data(), rows.size(), descending, [&](uint32_t row, unsigned level) { return foldedWord(text(row), level); },
            shorter, tied);
    }
}

}  // namespace

void sortFolded(std::vector<uint32_t>& rows, const RowText& text, bool descending, std::vector<bool>& sameAsPrevious) {
    sameAsPrevious.assign(rows.size(), false);
    sortFoldedTelling(rows, text, descending, [&](size_t begin, size_t end) {
        for (size_t i = begin + 1; i < end; ++i) sameAsPrevious[i] = text(rows[i - 1]).size() == text(rows[i]).size();
    });
}

void sortFolded(std::vector<uint32_t>& rows, const RowText& text, bool descending) {
    sortFoldedTelling(rows, text, descending, [](size_t, size_t) {});
}

namespace {

// Qt's collator, pair by pair: for a locale without a collator of our own, or keys too long.
void sortByQCollator(uint32_t* rows, size_t n, const RowText& text, const QLocale& locale, bool descending,
                     std::vector<bool>::iterator same) {
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    auto less = [&](uint32_t a, uint32_t b) { return collator.compare(text(a), text(b)) < 0; };
    if (descending) std::stable_sort(rows, rows + n, [&](uint32_t a, uint32_t b) { return less(b, a); });
    else std::stable_sort(rows, rows + n, less);
    for (size_t i = 1; i < n; ++i) same[std::ptrdiff_t(i)] = collator.compare(text(rows[i - 1]), text(rows[i])) == 0;
}

// Sorts rows[0, n) by whole keys, built for just these rows (block by block of rows, see
// forEachByRowBlock: the keys are numbered in that order).
void sortByKeys(CollationKeys& keys, uint32_t* rows, size_t n, const RowText& text, const QLocale& locale,
                bool descending, std::vector<bool>::iterator same) {
    std::vector<uint32_t> placeOf;  // placeOf[k]: the place in rows of the k-th key
    keysort_detail::placesByRowBlock(rows, n, placeOf);
    if (!keys.build(uint32_t(n), [&](uint32_t k) { return text(rows[placeOf[k]]); })) {
        sortByQCollator(rows, n, text, locale, descending, same);
        return;
    }
    // The keys in the rows' current order, so that the sort stays stable.
    std::vector<uint32_t> order(n);
    for (size_t k = 0; k < n; ++k) order[placeOf[k]] = uint32_t(k);
    sortByKeyWords(
        order.data(), n, descending,
        [&](uint32_t k, unsigned level) { return keys.keyWord(k, level); },
        [](uint32_t, uint32_t) { return false; },
        [&](size_t begin, size_t end) {
            for (size_t i = begin + 1; i < end; ++i) same[std::ptrdiff_t(i)] = true;
        });
    const std::vector<uint32_t> before(rows, rows + n);
    for (size_t i = 0; i < n; ++i) rows[i] = before[placeOf[order[i]]];
}

}  // namespace

void sortCollated(std::vector<uint32_t>& rows, const RowText& text, const QLocale& locale,
                  bool descending, std::vector<bool>& sameAsPrevious) {
    sameAsPrevious.assign(rows.size(), false);
    CollationKeys keys;
    if (!keys.open(locale)) {
        sortByQCollator(rows.data(), rows.size(), text, locale, descending, sameAsPrevious.begin());
        return;
    }
    constexpr size_t kSplitFrom = size_t(1) << 16;
    if (rows.size() < kSplitFrom) {
        sortByKeys(keys, rows.data(), rows.size(), text, locale, descending, sameAsPrevious.begin());
        return;
    }
    // Long lists: split by the first bits of the keys, then keyed and sorted part by part, so
    // whole keys are held for one part at a time; small parts side by side go together.
    std::vector<uint16_t> top(rows.size());
    {
        std::vector<uint32_t> placeOf;
        keysort_detail::placesByRowBlock(rows.data(), rows.size(), placeOf);
        const std::vector<uint16_t> byKey =
            keys.firstBits(uint32_t(rows.size()), [&](uint32_t k) { return text(rows[placeOf[k]]); });
        for (size_t k = 0; k < rows.size(); ++k) top[placeOf[k]] = byKey[k];
    }
    // The parts gathered, [from, to), with the rows alone in their parts between them.
    constexpr size_t kTogether = size_t(1) << 16;
    constexpr size_t kNone = SIZE_MAX;
    size_t from = kNone, to = 0;
    auto sortGathered = [&] {
        if (from != kNone)
            sortByKeys(keys, rows.data() + from, to - from, text, locale, descending,
                       sameAsPrevious.begin() + std::ptrdiff_t(from));
        from = kNone;
    };
    keysort_detail::splitByTopBits(rows.data(), rows.size(), descending, std::move(top), [&](size_t begin, size_t end) {
        if (from != kNone && end - from > kTogether) sortGathered();
        if (from == kNone) from = begin;
        to = end;
    });
    sortGathered();
}

}  // namespace platform
