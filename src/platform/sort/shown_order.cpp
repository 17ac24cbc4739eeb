#include "platform/sort/shown_order.h"

#include <numeric>

namespace platform {

void ShownOrder::checkInvariants() const {
    Q_ASSERT(order_.empty() || qsizetype(order_.size()) == rows_);
    Q_ASSERT(position_.size() == order_.size());
    Q_ASSERT(sortedColumn_ < 0 || qsizetype(sameAsPrevious_.size()) == rows_);
    for (size_t i = 0; i < order_.size(); ++i) Q_ASSERT(order_[i] < order_.size() && position_[order_[i]] == i);
}

void ShownOrder::reset(qsizetype rows) {
    Q_ASSERT(rows >= 0 && rows <= qsizetype(UINT32_MAX));
    rows_ = rows;
    order_.clear();
    position_.clear();
    sortedColumn_ = -1;
    sameAsPrevious_.clear();
    ++stamp_;
}

void ShownOrder::appendRow() {
    if (!order_.empty()) {
        order_.push_back(uint32_t(rows_));
        position_.push_back(uint32_t(rows_));
    }
    ++rows_;
    sortedColumn_ = -1;
    ++stamp_;
    checkInvariants();
}

void ShownOrder::cellChanged(int column) {
    if (column == sortedColumn_) sortedColumn_ = -1;
}

void ShownOrder::sortBy(int column, bool descending, const RowText& text, const QLocale& locale) {
    if (column == sortedColumn_ && descending == sortedDescending_) return;  // nothing changed since
    // Stable from the order shown now, so equal cells keep their places.
    std::vector<uint32_t> next(static_cast<size_t>(rows_));
    if (order_.empty()) std::iota(next.begin(), next.end(), 0u);
    else next = order_;
    if (column == sortedColumn_) reverseEqualGroups(next, sameAsPrevious_);
    else if (locale.language() == QLocale::C) sortFolded(next, text, descending, sameAsPrevious_);
    else sortCollated(next, text, locale, descending, sameAsPrevious_);
    sortedColumn_ = column;
    sortedDescending_ = descending;
    order_ = std::move(next);
    position_.assign(order_.size(), 0);
    for (size_t i = 0; i < order_.size(); ++i) position_[order_[i]] = uint32_t(i);
    ++stamp_;
    checkInvariants();
}

}  // namespace platform
