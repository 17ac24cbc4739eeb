#pragma once

#include "platform/row_coordinates.h"
#include "platform/sort/sort_strategies.h"

#include <QLocale>
#include <cstdint>
#include <vector>

namespace platform {

// The order a list shows its stored rows in: a permutation and its inverse, kept by
// sorting by one column at a time. A sort is stable from the order shown now; sorting the
// column just sorted the other way round only reverses its groups of equal cells, without
// comparing again. No widget or model of its own: its owner hands it the cells' texts.
class ShownOrder {
public:
    // `rows` rows in storage order; any sort is forgotten.
    void reset(qsizetype rows);
    // A row appended to the storage, shown last.
    void appendRow();
    qsizetype size() const { return rows_; }

    StorageRow storageOf(ShownRow shown) const {
        Q_ASSERT(shown.value >= 0 && shown.value < rows_);
        return {order_.empty() ? shown.value : qsizetype(order_[size_t(shown.value)])};
    }
    ShownRow shownOf(StorageRow storage) const {
        Q_ASSERT(storage.value >= 0 && storage.value < rows_);
        return {position_.empty() ? storage.value : qsizetype(position_[size_t(storage.value)])};
    }

    // A cell of `column` changed: the next sort by it compares again.
    void cellChanged(int column);
    // Sorts by `column`, whose texts `text` gives by storage row, ignoring case: by the
    // locale's collation, or by case-folded characters in the C locale.
    void sortBy(int column, bool descending, const RowText& text, const QLocale& locale);

    // Changes with every change of the order (a sort, a flip, a row appended, a reset).
    uint64_t stamp() const { return stamp_; }

private:
    void checkInvariants() const;

    qsizetype rows_ = 0;
    std::vector<uint32_t> order_;     // storage row per shown row; empty: storage order
    std::vector<uint32_t> position_;  // shown row per storage row, inverse of order_
    // The last sort, while nothing has changed since: its column, its direction and, per
    // shown row, whether its cell equals the previous row's.
    int sortedColumn_ = -1;
    bool sortedDescending_ = false;
    std::vector<bool> sameAsPrevious_;
    uint64_t stamp_ = 0;
};

}  // namespace platform
