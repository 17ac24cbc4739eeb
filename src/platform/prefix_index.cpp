#include "platform/prefix_index.h"

#include "platform/text_rules.h"

#include <QChar>
#include <algorithm>
#include <numeric>

namespace platform {

namespace {

char16_t folded(QChar c) { return char16_t(QChar::toCaseFolded(char32_t(c.unicode()))); }

// Compares the folded texts; 0 when equal.
int compareFolded(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = folded(a[i]), y = folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool startsWithFolded(QStringView text, QStringView key) {
    if (text.size() < key.size()) return false;
    for (qsizetype i = 0; i < key.size(); ++i)
        if (folded(text[i]) != folded(key[i])) return false;
    return true;
}

}  // namespace

void PrefixIndex::clear() {
    built_ = false;
    sorted_.clear();
    displayed_.clear();
    blockMin_.clear();
    stamp_ = ~uint64_t(0);
}

void PrefixIndex::build(qsizetype rows, const TextOf& text) {
    clear();
    struct Entry {
        uint64_t prefix;
        uint32_t row;
    };
    std::vector<Entry> entries(static_cast<size_t>(rows));
    for (uint32_t r = 0; r < uint32_t(rows); ++r) {
        const QStringView t = TrimView(text(r));
        uint64_t prefix = 0;
        for (int k = 0; k < 4; ++k) prefix = (prefix << 16) | (k < t.size() ? folded(t[k]) : 0);
        entries[r] = {prefix, r};
    }
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return compareFolded(TrimView(text(a.row)), TrimView(text(b.row))) < 0;
    });
    sorted_.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) sorted_[i] = entries[i].row;
    built_ = true;
}

void PrefixIndex::refreshPositions(const std::function<qsizetype(uint32_t)>& displayedOf, uint64_t orderStamp) {
    if (!built_ || (stamp_ == orderStamp && displayed_.size() == sorted_.size())) return;
    displayed_.resize(sorted_.size());
    for (size_t i = 0; i < sorted_.size(); ++i) displayed_[i] = uint32_t(displayedOf(sorted_[i]));
    blockMin_.assign((sorted_.size() + kBlock - 1) / kBlock, UINT32_MAX);
    for (size_t i = 0; i < displayed_.size(); ++i) blockMin_[i / kBlock] = std::min(blockMin_[i / kBlock], displayed_[i]);
    stamp_ = orderStamp;
}

qsizetype PrefixIndex::firstMatch(QStringView key, const TextOf& text,
                                  const std::function<qsizetype(uint32_t)>& displayedOf, uint64_t orderStamp) {
    if (!built_ || sorted_.empty()) return -1;
    refreshPositions(displayedOf, orderStamp);
    // The matching rows: from the first not below the key to the first that no longer
    // starts with it.
    const auto lo = std::partition_point(sorted_.begin(), sorted_.end(), [&](uint32_t row) {
        return compareFolded(TrimView(text(row)), key) < 0;
    });
    const auto hi = std::partition_point(lo, sorted_.end(), [&](uint32_t row) {
        return startsWithFolded(TrimView(text(row)), key);
    });
    size_t from = size_t(lo - sorted_.begin());
    const size_t to = size_t(hi - sorted_.begin());
    if (from >= to) return -1;
    uint32_t best = UINT32_MAX;
    while (from < to && from % kBlock != 0) best = std::min(best, displayed_[from++]);
    while (from + kBlock <= to) {
        best = std::min(best, blockMin_[from / kBlock]);
        from += kBlock;
    }
    while (from < to) best = std::min(best, displayed_[from++]);
    return best;
}

}  // namespace platform
