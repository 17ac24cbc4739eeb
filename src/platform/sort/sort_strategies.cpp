#include "platform/sort/sort_strategies.h"

#include "platform/sort/collation_keys.h"
#include "platform/sort/folded_text.h"
#include "platform/sort/key_sort.h"

#include <QCollator>
#include <algorithm>

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

void sortCollated(std::vector<uint32_t>& rows, const RowText& text, qsizetype rowCount, const QLocale& locale,
                  bool descending, std::vector<bool>& sameAsPrevious) {
    CollationKeys keys;
    sameAsPrevious.assign(rows.size(), false);
    if (keys.build(locale, rowCount, text)) {
        sortByKeyWords(
            rows.data(), rows.size(), descending, [&](uint32_t row, unsigned level) { return keys.word(row, level); },
            [&](uint32_t row, unsigned level) { return keys.exhausted(row, level); },
            [](uint32_t, uint32_t) { return false; });
        for (size_t i = 1; i < rows.size(); ++i) sameAsPrevious[i] = keys.equal(rows[i - 1], rows[i]);
        return;
    }
    // No collator of our own for this locale: Qt's, pair by pair.
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    auto less = [&](uint32_t a, uint32_t b) { return collator.compare(text(a), text(b)) < 0; };
    if (descending) std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) { return less(b, a); });
    else std::stable_sort(rows.begin(), rows.end(), less);
    for (size_t i = 1; i < rows.size(); ++i) sameAsPrevious[i] = collator.compare(text(rows[i - 1]), text(rows[i])) == 0;
}

}  // namespace platform
