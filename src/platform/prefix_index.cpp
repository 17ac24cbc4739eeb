#include "platform/prefix_index.h"

#include "platform/sort/folded_text.h"
#include "platform/sort/sort_strategies.h"
#include "platform/text_rules.h"

#include <QChar>
#include <algorithm>
#include <numeric>

namespace platform {

void PrefixIndex::clear() {
    built_ = false;
    sorted_.clear();
    displayed_.clear();
    blockMin_.clear();
    stamp_ = ~uint64_t(0);
}

void PrefixIndex::build(qsizetype rows, const TextOf& text) {
    clear();
    // The same folded order the C locale sorts by, on the trimmed texts.
    sorted_.resize(static_cast<size_t>(rows));
    for (uint32_t r = 0; r < uint32_t(rows); ++r) sorted_[r] = r;
    sortFolded(sorted_, [&](uint32_t row) { return TrimView(text(row)); }, false);
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
